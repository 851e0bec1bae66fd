// The flyer's office work, and a whole flyer run from the press to the preview shown, against
// the office's own command-line conversion of the same template.
#include "Benchmarks.h"

#include "app/Dialogs.h"
#include "app/Failure.h"
#include "details/Form1.h"
#include "flyer/FlyerTemplate.h"
#include "flyer/OfficeEngine.h"
#include "flyer/PageCapture.h"
#include "preview/Form2.h"

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
    // The runs' files and settings stay out of the user's own folders.
    qputenv("TEMP", QFile::encodeName(folder.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.path() + QStringLiteral("/config")));
    Dialogs::setScripted(true);

    const QString templatePath = folder.path() + QStringLiteral("/bench-template.dot");
    QFile::remove(templatePath);
    QFile(QStringLiteral(":/template.dot")).copy(templatePath);
    const QString document = folder.path() + QStringLiteral("/bench-flyer.doc");

    const QList<double> fill = timeRuns(
        kRuns,
        [&] {
            OfficeEngine word;
            word.open(templatePath, true);
            word.setBookmarkText(QStringLiteral("OrgName"), QStringLiteral(" Quenwick"));
            word.setBookmarkText(QStringLiteral("EventName"), QStringLiteral("Spring Fair"));
            word.setBookmarkText(QStringLiteral("EventDate"), QStringLiteral(" Friday  "));
            word.setBookmarkText(QStringLiteral("EventTime"), QStringLiteral("3 PM"));
            word.setBookmarkText(QStringLiteral("EventAddr"), QStringLiteral(" Brantwell MA"));
            word.setBookmarkText(QStringLiteral("EventMore"), QStringLiteral("Bring a chair."));
            word.saveAs(document);
            word.quit();
        },
        [&] { QFile::remove(document); });
    report(QStringLiteral("open template + fill six + save + quit"), fill);

    const QList<double> capture = timeRuns(kRuns, [&] {
        SaveDocAsJPG(document);
        requireNoMessages("the page capture");
    });
    report(QStringLiteral("open .doc + render + write temp.bmp + quit"), capture);

    Form1 form;
    form.Form_Load(Form1::EngineCheck::Skip);
    form.PushButton3_Click();
    requireNoMessages("loading the sample data");
    const QList<double> run = timeRuns(
        kRuns,
        [&] {
            form.PushButton6_Click();
            requireNoMessages("the flyer run");
        },
        [&] {
            if (form.preview().isVisible())
                form.preview().PushButton8_Click();
        });
    form.preview().PushButton8_Click();
    report(QStringLiteral("whole flyer run, press to preview shown"), run);

    const QList<double> cli = commandLineConversion(templatePath, folder.path(), kRuns);
    report(QStringLiteral("soffice --headless --convert-to pdf (template)"), cli);
    ratio("ratio fill / convert-to", median(fill), median(cli));
    ratio("ratio capture / convert-to", median(capture), median(cli));
    ratio("ratio whole run / convert-to", median(run), median(cli));
}

} // namespace lumarel::bench
