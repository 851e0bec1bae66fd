#include "Benchmarks.h"

#include "app/Dialogs.h"
#include "app/Failure.h"
#include "details/Form1.h"
#include "flyer/OfficeEngine.h"
#include "flyer/OfficeProcess.h"
#include "flyer/ReadyOffice.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace lumarel::bench {

void engineBenchmarks()
{
    // A cache folder of our own, so that the fresh-profile runs never touch the user's.
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    const QString base = baseProfileFolder(officeExecutable());
    const int runs = 5;

    {
        OfficeEngine warmUp;
    } // makes the base profile
    std::unique_ptr<OfficeEngine> engine;
    report(QStringLiteral("engine create + quit (prepared profile)"),
           timeRuns(runs, [] { OfficeEngine().quit(); }));
    const QList<double> create = timeRuns(
        runs, [&] { engine = std::make_unique<OfficeEngine>(); }, [&] { engine.reset(); });
    report(QStringLiteral("  of which create (the office start alone)"), create);
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

    // The program's start: the office in the background, the window built and its values
    // restored meanwhile, the engine check waiting for the office, the window shown.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    Dialogs::setScripted(true);
    const QList<double> startUp = timeRuns(
        runs,
        [] {
            ReadyOffice::start();
            Form1 form;
            form.Form_Load(Form1::EngineCheck::Run);
            if (!form.isVisible() || !Dialogs::takeShown().isEmpty())
                throw Failure(QStringLiteral("the start-up did not show the main window"));
        },
        [] { ReadyOffice::end(); });
    report(QStringLiteral("start-up to main window, with the engine check"), startUp);
    std::printf("%-44s %8.2f\n", "ratio start-up / office start", median(startUp) / median(create));

    reportReadyOfficeMemory("ready office idle after its start");
    ReadyOffice::end();

    report(QStringLiteral("engine create + quit (fresh profile)"),
           timeRuns(
               runs, [] { OfficeEngine().quit(); }, [&] { QDir(base).removeRecursively(); }));
}

} // namespace lumarel::bench
