#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace lumarel::bench {

// Times `runs` calls of `work` in milliseconds; `prepare` runs untimed before each.
QList<double> timeRuns(int runs, const std::function<void()>& work,
                       const std::function<void()>& prepare = {});
double median(QList<double> samples);
// One line: name, median, minimum and maximum, in milliseconds.
void report(const QString& name, const QList<double>& samples);

// The ready office's resident memory at rest, a few seconds after `when`.
void reportReadyOfficeMemory(const char* when);
// Keeps a benchmark's temporary files and settings in `folder`, out of the user's own.
void useFolder(const QString& folder);

// One `soffice --headless --convert-to pdf` call for `files`, writing into `outFolder`, on the
// profile in `profileFolder` (made by the first call). Throws Failure.
void convertToPdf(const QString& profileFolder, const QString& outFolder, const QStringList& files);
// `soffice --headless --convert-to pdf` of `source` into `folder`, on a profile of its own
// that the first, untimed, conversion prepares.
QList<double> commandLineConversion(const QString& source, const QString& folder, int runs);
// One line: a ratio of two medians.
void ratio(const char* name, double ours, double reference);

// The benchmarks, one function per area.
void engineBenchmarks();
void flyerBenchmarks();
void settingsBenchmarks();
void exportBenchmarks();
void cliBenchmarks();

} // namespace lumarel::bench
