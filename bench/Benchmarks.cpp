#include "Benchmarks.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

namespace lumarel::bench {

QList<double> timeRuns(int runs, const std::function<void()>& work,
                       const std::function<void()>& prepare)
{
    QList<double> samples;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        samples << timer.nsecsElapsed() / 1e6;
    }
    return samples;
}

double median(QList<double> samples)
{
    if (samples.isEmpty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const qsizetype middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

void report(const QString& name, const QList<double>& samples)
{
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    std::printf("%-48s median %8.1f ms  (min %.1f, max %.1f, %lld runs)\n", qPrintable(name),
                median(samples), samples.isEmpty() ? 0 : *low, samples.isEmpty() ? 0 : *high,
                static_cast<long long>(samples.size()));
    std::fflush(stdout);
}

} // namespace lumarel::bench
