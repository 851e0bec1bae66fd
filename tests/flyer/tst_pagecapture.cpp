// The page picture of a filled flyer, made by the real office.
#include "TestEnvironment.h"

#include "OfficeProcesses.h"
#include "app/Dialogs.h"
#include "app/Failure.h"
#include "designs/FlyerTemplate.h"
#include "flyer/FlyerRun.h"
#include "flyer/PageCapture.h"
#include "office/OfficeEngine.h"
#include "office/OfficeSession.h"
#include "word97/WordShapes.h"
#include "wordimport/WordImportRepair.h"

#include <QFile>
#include <QImage>

#include <poppler-qt6.h>

#include <optional>

using namespace lumarel;

namespace {

// A filled flyer document, saved as the flyer run saves it.
QString makeFlyer(const QString& name, const QString& orgName)
{
    const QString templatePath = test::rootFolder() + "/template.dot";
    if (!QFile::exists(templatePath))
        QFile(":/template.dot").copy(templatePath);
    const QString path = test::rootFolder() + "/" + name;
    try {
        OfficeEngine office;
        office.open(templatePath, true);
        repairWordImport(office, templatePath);
        if (!orgName.isEmpty())
            office.setBookmarkText("OrgName", orgName);
        office.setBookmarkText("EventName", "Spring Fair");
        office.setBookmarkText("EventMore", "Bring a friend.\r\nBring a chair.");
        office.saveAs(path);
        office.quit();
    } catch (const Failure& failure) {
        QTest::qFail(qPrintable(failure.description()), __FILE__, __LINE__);
        return QString();
    }
    return path;
}

// Runs a stage, and notes it when it fails.
bool noteFailure(QList<FlyerStage>& failed, FlyerStage stage, const std::function<void()>& body)
{
    try {
        body();
        return true;
    } catch (const Failure&) {
        failed << stage;
        return false;
    }
}

// The page picture of the saved file, opened anew in the ready office; null when none was made.
QImage capture(const QString& document, QList<FlyerStage>* failed = nullptr)
{
    QList<FlyerStage> stages;
    OfficeSession use(programOffices());
    FlyerRun run(use);
    run.capturePage(document, [&](FlyerStage stage, const std::function<void()>& body) {
        return noteFailure(stages, stage, body);
    });
    use.setFailed(run.officeFailed());
    if (failed)
        *failed = stages;
    return run.page();
}

// Inked pixels in a rectangle given in twips from the page's top-left corner.
int darkPixels(const QImage& page, int left, int top, int width, int height)
{
    const auto px = [](int twips) { return twips * 254 / 1440; }; // 10000 dots per metre
    int dark = 0;
    for (int y = px(top); y < px(top + height); ++y)
        for (int x = px(left); x < px(left + width); ++x)
            dark += qGray(page.pixel(x, y)) < 200; // ink, not the white page or the light bands
    return dark;
}

// The rectangle, in twips, of the ink in the band left of the main text (the strip's place).
QRect stripInk(const QImage& page)
{
    QRect ink;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 500 * 254 / 1440; x < 2400 * 254 / 1440; ++x)
            if (qGray(page.pixel(x, y)) < 200)
                ink |= QRect(x * 1440 / 254, y * 1440 / 254, 1, 1);
    return ink;
}

} // namespace

class PageCaptureTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { Dialogs::takeShown(); }

    void pageHasItsPhysicalSizeAndTheOrgNameStrip()
    {
        const QString document = makeFlyer("with-org.doc", " Quenwick Community Trust");
        QVERIFY(!document.isEmpty());
        const QImage page = capture(document);
        QCOMPARE(Dialogs::takeShown().size(), 0);
        QCOMPARE(page.size(), QSize(2159, 2794));
        QCOMPARE(page.dotsPerMeterX(), 10000);
        QCOMPARE(page.dotsPerMeterY(), 10000);
        // 2159 / 10000 m is 8.5 inches: 12240 x 15840 twips, the Letter page.
        QCOMPARE(qRound(page.width() / 10000.0 / 0.0254 * 1440), 12240);
        QCOMPARE(qRound(page.height() / 10000.0 / 0.0254 * 1440), 15840);
        // The heading band and the long text are on the page.
        QVERIFY(darkPixels(page, 2520, 1440, 7920, 12960) > 1000);
        // The organisation's name reads upward from the lower end of the template's strip
        // (763 to 2322 by 835 to 13974 twips); its ink starts where the line's top meets the
        // strip's left edge, below the letters' ascent.
        const QRect ink = stripInk(page);
        QVERIFY2(ink.top() >= 835 - 60 && ink.bottom() <= 13974 + 60 &&
                     ink.bottom() >= 13974 - 600 && ink.left() >= 763 && ink.left() < 763 + 200 &&
                     ink.right() <= 2322,
                 qPrintable(QStringLiteral("ink %1..%2 x %3..%4")
                                .arg(ink.top())
                                .arg(ink.bottom())
                                .arg(ink.left())
                                .arg(ink.right())));

        // The saved file's strip has the template's place (within 15 twips), no inner margins,
        // bottom-to-top text, and the template's fill and line.
        const WordShape designed = readWordShapes(test::rootFolder() + "/template.dot").value(0);
        WordShape saved = readWordShapes(document).value(0);
        for (auto edge :
             {&WordShape::left, &WordShape::top, &WordShape::right, &WordShape::bottom}) {
            QVERIFY2(qAbs(saved.*edge - designed.*edge) <= 15,
                     qPrintable(QString::number(saved.*edge)));
            saved.*edge = designed.*edge;
        }
        saved.id = designed.id;
        QCOMPARE(saved, designed);

        const QString withoutOrgDocument = makeFlyer("without-org.doc", QString());
        QVERIFY(!withoutOrgDocument.isEmpty());
        const QImage withoutOrg = capture(withoutOrgDocument);
        QCOMPARE(darkPixels(withoutOrg, 763, 835, 1560, 13140), 0);
    }

    void windowPictureOfTheKeptDocumentIsThePictureOfTheSavedFile()
    {
        // The window renders the document the office still holds after storing it; the file,
        // opened anew, must show the same page.
        const FlyerFields fields{QDate(2027, 9, 29),
                                 QTime(18, 30),
                                 " Quenwick Trust",
                                 "Harvest Supper\r\nand Dance",
                                 "12 Harbour Road\nBrantwell",
                                 QString("Music, food and stories. ").repeated(20),
                                 "עמותת קהילה",
                                 "Doors at six.\r\nSupper at seven.",
                                 "A plate to share."};
        const QString document = test::rootFolder() + "/kept.doc";
        std::optional<OfficeSession> use(std::in_place, programOffices());
        FlyerRun run(*use);
        const FlyerRun::StepRunner step = [](FlyerStage, const std::function<void()>& body) {
            body();
            return true;
        };
        run.fill(fields, step);
        QVERIFY(run.save(document, step, FlyerRun::AfterSave::KeepForPage));
        QVERIFY(run.capturePage(document, step));
        use->setFailed(run.officeFailed());
        use.reset();
        const QImage kept = run.page();
        const QImage reopened = capture(document);
        QCOMPARE(Dialogs::takeShown().size(), 0);
        QCOMPARE(kept.size(), reopened.size());
        QCOMPARE(kept.dotsPerMeterX(), reopened.dotsPerMeterX());
        // The file keeps the turned box's place in whole twips, so its edges may fall a pixel
        // (under six twips) apart: a pixel counts as differing when no pixel within one of its
        // place in the other picture matches it.
        const auto near = [](const QImage& a, const QImage& b, int x, int y) {
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (b.valid(x + dx, y + dy) &&
                        qAbs(qGray(a.pixel(x, y)) - qGray(b.pixel(x + dx, y + dy))) <= 64)
                        return true;
            return false;
        };
        int differing = 0;
        for (int y = 0; y < kept.height(); ++y)
            for (int x = 0; x < kept.width(); ++x)
                differing += !near(kept, reopened, x, y) || !near(reopened, kept, x, y);
        QVERIFY2(differing == 0, qPrintable(QString::number(differing)));
    }

    void pageUsesTheChosenStandInFonts()
    {
        const QString document = makeFlyer("fonts.doc", " Quenwick");
        QVERIFY(!document.isEmpty());
        const QString pdf = test::rootFolder() + "/fonts.pdf";
        {
            OfficeEngine office;
            office.open(document, true);
            office.exportPdf(pdf);
            office.quit();
        }
        const std::unique_ptr<Poppler::Document> rendered = Poppler::Document::load(pdf);
        QVERIFY(rendered);
        QStringList fonts;
        for (const Poppler::FontInfo& font : rendered->fonts())
            fonts << font.name().section('+', 1);
        fonts.sort();
        // Tahoma for the date and the long text, a bold face for Arial Black; no name fell to
        // the fallback face.
        QVERIFY2(fonts.contains("WineTahoma"), qPrintable(fonts.join(", ")));
        QVERIFY2(fonts.contains("DejaVuSans-Bold"), qPrintable(fonts.join(", ")));
        QVERIFY2(!fonts.contains("DejaVuSans"), qPrintable(fonts.join(", ")));
    }

    void missingDocumentReportsItsStepsAndLeavesNothing()
    {
        QList<FlyerStage> failed;
        QVERIFY(capture(test::rootFolder() + "/no such flyer.doc", &failed).isNull());
        // One office fault, one failure: what needs the document is not attempted.
        QCOMPARE(failed, QList<FlyerStage>{FlyerStage::OpenSaved});
        programOffices().end();
        QCOMPARE(test::childProcesses(), QList<qint64>());
    }
};

LUMAREL_TEST_MAIN(PageCaptureTest)
#include "tst_pagecapture.moc"
