#include "Benchmarks.h"

#include "app/Failure.h"
#include "app/ProcessMemory.h"

#include <QApplication>

#include <cstdio>
#include <utility>

int main(int argc, char** argv)
{
    // The flyer run drives the real windows, off screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    lumarel::reuseLargeBlocks(); // as the program does
    QApplication app(argc, argv);
    // Name a benchmark area on the command line to run only that one.
    const std::pair<const char*, void (*)()> areas[] = {
        {"engine", lumarel::bench::engineBenchmarks},
        {"flyer", lumarel::bench::flyerBenchmarks},
        {"settings", lumarel::bench::settingsBenchmarks},
        {"export", lumarel::bench::exportBenchmarks},
        {"cli", lumarel::bench::cliBenchmarks},
        {"steps", lumarel::bench::stepBenchmarks},
        {"live", lumarel::bench::liveBenchmarks},
    };
    const QStringList wanted = app.arguments().mid(1);
    try {
        for (const auto& [name, run] : areas)
            if (wanted.isEmpty() || wanted.contains(QLatin1String(name)))
                run();
    } catch (const lumarel::Failure& failure) {
        std::fprintf(stderr, "benchmark failed: %s\n", qPrintable(failure.description()));
        return 1;
    }
    return 0;
}
