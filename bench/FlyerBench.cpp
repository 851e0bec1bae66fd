// The flyer's office work, and a whole flyer run from the press to the preview shown, against
// the office's own command-line conversion of the same template.
#include "Benchmarks.h"

#include "app/Dialogs.h"
#include "app/Failure.h"
#include "designs/FlyerTemplate.h"
#include "details/Form1.h"
#include "flyer/FlyerRun.h"
#include "flyer/PageCapture.h"
#include "office/OfficeEngine.h"
#include "office/OfficePool.h"
#include "office/OfficeSession.h"
#include "office/TextFit.h"
#include "preview/Form2.h"
#include "wordimport/WordImportRepair.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace lumarel::bench {

namespace {

void requireNoMessages(const char* what)
{
    const QList<ShownMessage> shown = Dialogs::takeShown();
    if (!shown.isEmpty())
        throw Failure(QStringLiteral("%1 reported: %2").arg(QLatin1String(what), shown[0].text));
}

} // namespace

void flyerBenchmarks()
{
    constexpr int kRuns = 5;
    QTemporaryDir folder;
    useFolder(folder.path());
    Dialogs::setScripted(true);

    const QString templatePath = folder.path() + QStringLiteral("/bench-template.dot");
    QFile::remove(templatePath);
    QFile(QStringLiteral(":/template.dot")).copy(templatePath);
    const QString document = folder.path() + QStringLiteral("/bench-flyer.doc");

    // The phases of a run on one office that stays, as the ready office does.
    const FlyerFields fields{QDate(2027, 1, 15),
                             QTime(15, 5),
                             QStringLiteral("Quenwick"),
                             QStringLiteral("Spring Fair"),
                             QStringLiteral("Brantwell MA"),
                             QStringLiteral("Bring a chair."),
                             QString(),
                             QString(),
                             QString()};
    const auto noFailure = [](FlyerStage stage, const std::function<void()>& body) {
        try {
            body();
            return true;
        } catch (const Failure& failure) {
            throw Failure(
                QStringLiteral("stage %1: %2").arg(int(stage)).arg(failure.description()));
        }
    };
    OfficeEngine office;
    const QList<double> fill = timeRuns(
        kRuns,
        [&] {
            OfficeSession use(office);
            FlyerRun run(use);
            run.fill(fields, noFailure);
            run.save(document, noFailure);
        },
        [&] { QFile::remove(document); });
    report(QStringLiteral("open template + fill six + save + close"), fill);
    report(QStringLiteral("open .doc + render page"), timeRuns(kRuns, [&] {
               openWordDocument(office, document, false, ImportRepair::Page);
               office.renderFirstPage(kPageDotsPerMeter);
               office.closeDocuments();
           }));
    const QList<double> capture = timeRuns(kRuns, [&] {
        OfficeSession use(office);
        FlyerRun(use).capturePage(document, noFailure);
    });
    report(QStringLiteral("open .doc + render + close"), capture);

    // The strip's fit as a run makes it, once the name is in: at no cost to a name that fits
    // at the design's size, and for one that must step down to take two lines.
    openWordDocument(office, templatePath, true);
    for (const QString& name :
         {QStringLiteral("Quenwick"), QStringLiteral("Brantwell Valley Historical Society")}) {
        office.setBookmarkText(QStringLiteral("OrgName"), name);
        report(QStringLiteral("fit of the strip's name, %1 characters").arg(name.size()),
               timeRuns(4 * kRuns, [&] {
                   office.fitBookmarkText(QStringLiteral("OrgName"), TextFit{60, 5, 2});
               }));
    }
    office.closeDocuments();

    // As the program does: from the start and between flyers, the office holds the template
    // opened ahead; the copy the runs above left would be taken for an earlier run's.
    QFile::remove(templateCopyPath());
    Form1 form;
    form.Form_Load(Form1::EngineCheck::Skip);
    form.PushButton3_Click();
    requireNoMessages("loading the sample data");
    // Back to the main window, and the pause that a user makes between two flyers: the
    // template is opened ahead there, outside the timed press.
    const auto back = [&] {
        if (form.preview().isVisible())
            form.preview().PushButton8_Click();
        if (const QString failure = programOffices().waitUntilConnected(); !failure.isEmpty())
            throw Failure(failure);
    };
    // The first run waits for the office to start; the later ones find it ready. Each later
    // one takes turns with a conversion of the template by the office's own command line.
    const QString profile = conversionProfile(folder.path());
    // The first press of a session, once the office has started and the event loop has had
    // the turn that a user's first look at the window gives.
    if (const QString failure = programOffices().waitUntilConnected(); !failure.isEmpty())
        throw Failure(failure);
    const QList<double> first = timeRuns(1, [&] { pressToPreview(form); });
    requireNoMessages("the first flyer run");
    const auto [run, cli] = timeByTurns(
        kRuns,
        [&] {
            pressToPreview(form);
            requireNoMessages("the flyer run");
        },
        [&] { convertToPdf(profile, folder.path(), {templatePath}); }, back);
    back();
    report(QStringLiteral("first press of a session, office started"), first);
    report(QStringLiteral("whole flyer run, press to preview shown"), run);
    report(QStringLiteral("soffice --headless --convert-to pdf (template)"), cli);
    reportReadyOfficeMemory("ready office idle after the runs");
    programOffices().end();

    ratio("ratio fill + save / convert-to", median(fill), median(cli));
    ratio("ratio capture / convert-to", median(capture), median(cli));
    ratio("ratio press to preview / convert-to", median(run), median(cli), 0.3);
}

} // namespace lumarel::bench
