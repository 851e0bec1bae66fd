#include "Benchmarks.h"

#include "app/Dialogs.h"
#include "app/Failure.h"
#include "details/Form1.h"
#include "office/OfficeEngine.h"
#include "office/OfficePool.h"
#include "office/OfficeProcess.h"

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
    report(QStringLiteral("engine quit"),
           timeRuns(
               runs, [&] { engine->quit(); }, [&] { engine = std::make_unique<OfficeEngine>(); }));
    engine.reset();
    QTemporaryDir copies;
    int copy = 0;
    report(QStringLiteral("engine start: copying the profile"), timeRuns(runs, [&] {
               copyFolder(base, copies.path() + QStringLiteral("/%1").arg(++copy));
           }));

    // The program's start: the office in the background, the window built and its values
    // restored meanwhile, the engine check waiting for the office, the window shown. Each run
    // is paired with a start of the office alone, so that both see the same load.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    Dialogs::setScripted(true);
    QList<double> alone, startUp;
    for (int i = 0; i < runs; ++i) {
        alone += timeRuns(
            1, [&] { engine = std::make_unique<OfficeEngine>(); }, [&] { engine.reset(); });
        engine.reset();
        startUp += timeRuns(
            1,
            [] {
                programOffices().keep(1);
                Form1 form;
                form.Form_Load(Form1::EngineCheck::Run);
                if (!form.isVisible() || !Dialogs::takeShown().isEmpty())
                    throw Failure(QStringLiteral("the start-up did not show the main window"));
            },
            [] { programOffices().end(); });
    }
    report(QStringLiteral("office start alone (paired)"), alone);
    report(QStringLiteral("start-up to main window, with the engine check"), startUp);
    std::printf("%-44s %8.2f\n", "ratio start-up / office start", median(startUp) / median(alone));
    reportReadyOfficeMemory("ready office idle after its start");
    programOffices().end();

    // The first start ever makes the base profile before the office starts on its copy. Each
    // takes turns with a start that finds the base made.
    const auto [first, later] = timeByTurns(
        runs, [] { OfficeEngine().quit(); }, [] { OfficeEngine().quit(); },
        [&] { QDir(base).removeRecursively(); });
    report(QStringLiteral("first start ever: base profile made, create + quit"), first);
    report(QStringLiteral("later start: create + quit"), later);
    std::printf("%-48s %8.1f ms\n", "cost of the first start ever", median(first) - median(later));
    // The office writes this log when it ran its graphics self-tests.
    std::printf("%-48s %s\n", "graphics self-tests run for the base profile",
                QFile::exists(base + QStringLiteral("/user/GraphicsRenderTests.log")) ? "yes"
                                                                                      : "no");
}

} // namespace lumarel::bench
