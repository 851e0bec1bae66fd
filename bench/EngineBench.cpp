#include "Benchmarks.h"

#include "flyer/OfficeEngine.h"
#include "flyer/OfficeProcess.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

namespace lumarel::bench {

void engineBenchmarks()
{
    // A cache folder of our own, so that the fresh-profile runs never touch the user's.
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    const QString base = baseProfileFolder(officeExecutable());
    const int runs = 7;

    {
        OfficeEngine warmUp;
    } // makes the base profile
    std::unique_ptr<OfficeEngine> engine;
    report(QStringLiteral("engine create + quit (prepared profile)"),
           timeRuns(runs, [] { OfficeEngine().quit(); }));
    report(QStringLiteral("  of which create"),
           timeRuns(
               runs, [&] { engine = std::make_unique<OfficeEngine>(); }, [&] { engine.reset(); }));
    engine.reset();
    report(QStringLiteral("  of which quit"),
           timeRuns(
               runs, [&] { engine->quit(); }, [&] { engine = std::make_unique<OfficeEngine>(); }));
    engine.reset();
    QTemporaryDir copies;
    int copy = 0;
    report(QStringLiteral("  of which copying the profile"), timeRuns(runs, [&] {
               copyFolder(base, copies.path() + QStringLiteral("/%1").arg(++copy));
           }));
    report(QStringLiteral("engine create + quit (fresh profile)"),
           timeRuns(
               runs, [] { OfficeEngine().quit(); }, [&] { QDir(base).removeRecursively(); }));
}

} // namespace lumarel::bench
