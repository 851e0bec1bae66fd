#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace lumarel::bench {

// Times `runs` calls of `work` in milliseconds; `prepare` runs untimed before each.
QList<double> timeRuns(int runs, const std::function<void()>& work,
                       const std::function<void()>& prepare = {});
double median(QList<double> samples);
// One line: name, median, minimum and maximum, in milliseconds.
void report(const QString& name, const QList<double>& samples);

// The benchmarks, one function per area.
void engineBenchmarks();
void flyerBenchmarks();
void cliBenchmarks();

} // namespace lumarel::bench
