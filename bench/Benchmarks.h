#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

namespace lumarel {
class Form1;
}

namespace lumarel::bench {

// Times `runs` calls of `work` in milliseconds; `prepare` runs untimed before each.
QList<double> timeRuns(int runs, const std::function<void()>& work,
                       const std::function<void()>& prepare = {});
// Times `ours` and `reference` by turns, `runs` of each, so that the load of the machine at any
// moment weighs on both alike; `prepare` runs untimed before each of ours.
std::pair<QList<double>, QList<double>> timeByTurns(int runs, const std::function<void()>& ours,
                                                    const std::function<void()>& reference,
                                                    const std::function<void()>& prepare = {});
double median(QList<double> samples);
// One line: name, median, minimum and maximum, in milliseconds.
void report(const QString& name, const QList<double>& samples);

// The ready office's resident memory at rest, a few seconds after `when`.
void reportReadyOfficeMemory(const char* when);
// A press of the window's button, to its end.
void pressToPreview(Form1& form);
// Keeps a benchmark's temporary files and settings in `folder`, out of the user's own.
void useFolder(const QString& folder);

// A copy, in `folder`, of the base profile that this program's offices start from (made first
// when missing): the office's own conversion started on it pays no first-start self-tests
// either, so both sides compare on equal terms.
QString conversionProfile(const QString& folder);
// One `soffice --headless --convert-to pdf` call for `files`, writing into `outFolder`, on the
// profile in `profileFolder`. Throws Failure.
void convertToPdf(const QString& profileFolder, const QString& outFolder, const QStringList& files);
// `soffice --headless --convert-to pdf` of `source` into `folder`, on a conversion profile.
QList<double> commandLineConversion(const QString& source, const QString& folder, int runs);
// Runs the lumarel program built beside the benchmarks, as a process of its own, in this
// process's environment. Throws Failure unless it exits 0.
void runProgram(const QStringList& arguments);
// One line: a ratio of two medians, and the goal it should meet when there is one.
void ratio(const char* name, double ours, double reference, double goal = 0);

// The benchmarks, one function per area.
void engineBenchmarks();
void flyerBenchmarks();
void settingsBenchmarks();
void exportBenchmarks();
void cliBenchmarks();
void stepBenchmarks();
void liveBenchmarks();

} // namespace lumarel::bench
