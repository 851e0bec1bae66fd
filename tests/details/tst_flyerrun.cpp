// The flyer run end to end, with the real office: from the details in the main window to a
// saved flyer, back again, and what is left behind.
#include "TestEnvironment.h"

#include "MainWindow.h"
#include "OfficeProcesses.h"
#include "SavedDocument.h"
#include "TestFiles.h"
#include "app/Dialogs.h"
#include "app/SettingsStore.h"
#include "designs/DesignCheck.h"
#include "designs/Designs.h"
#include "designs/FlyerTemplate.h"
#include "details/Form1.h"
#include "flyer/FlyerJobs.h"
#include "flyer/PageCapture.h"
#include "office/OfficeCallWatch.h"
#include "office/OfficeEngine.h"
#include "office/OfficePool.h"
#include "office/OfficeProcess.h"
#include "preview/Form2.h"
#include "word97/WordBookmarks.h"
#include "word97/WordParagraphs.h"
#include "word97/WordShapes.h"
#include "wordimport/WordImportRepair.h"

#include <QAccessible>
#include <QAction>
#include <QDateTimeEdit>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>

#include <atomic>
#include <csignal>
#include <tuple>

#include <poppler-qt6.h>

using namespace lumarel;

namespace {

// A PDF's first page in grey at 40 dots per inch, with its number of pages.
QImage pdfPage(const QString& path, int* pages, double zoom = 1.0)
{
    const auto pdf = Poppler::Document::load(path);
    *pages = pdf ? pdf->numPages() : 0;
    if (pdf) {
        pdf->setRenderHint(Poppler::Document::Antialiasing);
        pdf->setRenderHint(Poppler::Document::TextAntialiasing);
    }
    return *pages ? pdf->page(0)
                        ->renderToImage(40 * zoom, 40 * zoom)
                        .convertToFormat(QImage::Format_Grayscale8)
                  : QImage();
}

QRect inkBounds(const QImage& page)
{
    QRect bounds;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 160)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

QStringList messageTexts()
{
    QStringList texts;
    for (const ShownMessage& message : Dialogs::takeShown())
        texts << message.text;
    return texts;
}

// What the window last told a screen reader as an alert.
QString announced(QWidget& window)
{
    auto* alert = window.findChild<QWidget*>("Announcement");
    if (!alert || !alert->isVisibleTo(&window))
        return QString();
    QAccessibleInterface* said = QAccessible::queryAccessibleInterface(alert);
    return said->role() == QAccessible::AlertMessage ? said->text(QAccessible::Name) : QString();
}

qint64 readyOffice()
{
    OfficeEngine& office = programOffices().take();
    const qint64 pid = office.processId();
    programOffices().giveBack(office, false);
    return pid;
}

} // namespace

class FlyerRunTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_form = test::loadedMainWindow();
        QVERIFY(Dialogs::takeShown().isEmpty());
    }

    void init() { Dialogs::takeShown(); }

    void sampleDataMakesASavedFlyer()
    {
        m_form->PushButton3_Click();
        QVERIFY(test::press(*m_form));
        QCOMPARE(messageTexts(), QStringList());

        Form2& preview = m_form->preview();
        QVERIFY(preview.isVisible());
        QVERIFY(!m_form->isVisible());
        QVERIFY(!m_form->busy());
        QCOMPARE(m_form->pointer().value(), PointerSetting::Normal);
        QVERIFY(QFile::exists(preview.mWordFile));
        QCOMPARE(QFileInfo(preview.mWordFile).absolutePath(), test::tempFolder());
        // Out of other users' reach: its folder is closed to them.
        QCOMPARE(QFileInfo(test::tempFolder()).permissions() & 0x0077, QFileDevice::Permissions());
        // Only the document is left for the preview: the picture and the template copy are gone.
        QCOMPARE(test::tempFiles(), QStringList{QFileInfo(preview.mWordFile).fileName()});

        // The page arrived at its physical size: a US Letter page.
        preview.Form_Activate();
        QCOMPARE(preview.view().zoomSourceSize().width, 12240.0f);
        QCOMPARE(preview.view().zoomSourceSize().height, 15840.0f);

        const QString saved = test::rootFolder() + "/My flyer.doc";
        Dialogs::setNextFileName(saved);
        preview.PushButton6_Click();
        QCOMPARE(messageTexts(), QStringList{"Done."});

        const test::SavedDocument flyer = test::readSavedDocument(saved);
        const QString body = flyer.paragraphs.join('\n');
        // Each CR LF made a paragraph of the style it split: one bordered heading of two
        // paragraphs, and a justified paragraph per long text, none stretched by a line break.
        const qsizetype name = flyer.paragraphs.indexOf("9th Annual");
        QCOMPARE(flyer.paragraphs.mid(name, 2), QStringList({"9th Annual", "Taco Eating Contest"}));
        QCOMPARE(flyer.styles.mid(name, 2), QStringList({"Heading 2", "Heading 2"}));
        const qsizetype more = flyer.paragraphs.indexOf("Throw-up bag") - 3;
        QVERIFY(flyer.paragraphs.value(more).startsWith("The first 20 people"));
        QCOMPARE(flyer.paragraphs.value(more + 2), QStringLiteral("None"));
        QCOMPARE(flyer.styles.mid(more, 4), QStringList(4, "Text body"));
        QVERIFY2(body.contains(" Friday, January 15th, 2027   3:05 PM"), qPrintable(body));
        QVERIFY(body.contains(" Brantwell MA"));
        QVERIFY(body.contains("The first 20 people to sign up"));
        QVERIFY(body.contains("Throw-up bag"));
        QVERIFY2(flyer.textBox.join('\n').contains(" Quenwick"),
                 qPrintable(flyer.textBox.join('|')));
    }

    void sampleFlyerSavedInEveryFormatAndPrinted()
    {
        Form2& preview = m_form->preview();
        const QString base = test::rootFolder() + "/exported";
        const QStringList sample{"Taco Eating Contest", "Brantwell MA", "The first 20 people",
                                 "555-014-2287",        "Throw-up bag", "Quenwick"};
        for (const auto& [filter, file, part] :
             {std::tuple{"Word 2007-365 Files (*.docx)", ".docx", "word/document.xml"},
              std::tuple{"OpenDocument Text (*.odt)", ".odt", "content.xml"},
              std::tuple{"PDF Files (*.pdf)", ".pdf", ""}}) {
            Dialogs::setNextFileName(base, filter);
            preview.PushButton6_Click();
            QCOMPARE(messageTexts(), QStringList{"Done."});
            QString text =
                test::archivePart(base + file, part).remove(QRegularExpression("<[^>]*>"));
            if (!*part) {
                const auto pdf = Poppler::Document::load(base + file);
                QVERIFY(pdf && pdf->numPages() == 1);
                text = pdf->page(0)->text(QRectF()).simplified();
                for (const Poppler::FontInfo& font : pdf->fonts())
                    QVERIFY2(font.isEmbedded(), qPrintable(font.name()));
            }
            for (const QString& expected : sample)
                QVERIFY2(text.contains(expected, Qt::CaseInsensitive),
                         qPrintable(file + (": " + text)));
        }

        // Printed to a PDF file: one page with the texts, the flyer's page scaled evenly onto
        // the paper.
        const QString printed = test::rootFolder() + "/printed.pdf";
        Dialogs::setNextPrintFile(printed);
        preview.actions().first()->trigger();
        QCOMPARE(messageTexts(), QStringList());
        int pages = 0;
        const QImage paper = pdfPage(printed, &pages);
        QCOMPARE(pages, 1);
        const QString text = Poppler::Document::load(printed)->page(0)->text(QRectF()).simplified();
        for (const QString& expected : sample)
            QVERIFY2(text.contains(expected, Qt::CaseInsensitive), qPrintable(text));
        const QImage flyer = pdfPage(base + ".pdf", &pages);
        const QRect onPaper = inkBounds(paper);
        const QRect onFlyer = inkBounds(flyer);
        const double scale = double(onPaper.width()) / onFlyer.width();
        QVERIFY2(qAbs(onPaper.height() - onFlyer.height() * scale) <= 2 && scale > 0.85,
                 qPrintable(QString("%1 %2").arg(scale).arg(onPaper.height())));
        const QImage expected = pdfPage(base + ".pdf", &pages, scale);
        const QRect expectedInk = inkBounds(expected);
        // A pixel differs when no pixel next to its place on the flyer is alike (edges fall a
        // pixel apart between the two renderings).
        int differing = 0, ink = 0;
        for (int y = 0; y < onPaper.height(); ++y)
            for (int x = 0; x < onPaper.width(); ++x) {
                const int printedGrey = qGray(paper.pixel(onPaper.topLeft() + QPoint(x, y)));
                ink += printedGrey < 160;
                bool alike = false;
                for (int d = 0; d < 9 && !alike; ++d) {
                    const QPoint at = expectedInk.topLeft() + QPoint(x + d % 3 - 1, y + d / 3 - 1);
                    alike = expected.rect().contains(at) &&
                            qAbs(qGray(expected.pixel(at)) - printedGrey) < 64;
                }
                differing += !alike;
            }
        QVERIFY2(ink > 1000 && differing < ink / 20,
                 qPrintable(QString("%1 of %2").arg(differing).arg(ink)));
    }

    void backThenAChangedFieldMakesANewFlyer()
    {
        Form2& preview = m_form->preview();
        const QString firstDocument = preview.mWordFile;
        preview.PushButton8_Click();
        QVERIFY(m_form->isVisible());
        QVERIFY(!preview.isVisible());
        QVERIFY(!QFile::exists(firstDocument));
        QCOMPARE(test::tempFiles(), QStringList());

        auto* location = m_form->findChild<QLineEdit*>("txtLocation");
        location->setText("12 Harbour Road");
        const qint64 office = readyOffice();
        QVERIFY(test::press(*m_form));
        QCOMPARE(announced(preview),
                 QStringLiteral("The flyer is made; the preview shows its page."));
        QCOMPARE(messageTexts(), QStringList());
        QCOMPARE(readyOffice(), office); // one office for every run
        QVERIFY(preview.mWordFile != firstDocument);
        preview.Form_Activate();
        QCOMPARE(preview.view().mZoom, 1.0f);

        const test::SavedDocument flyer = test::readSavedDocument(preview.mWordFile);
        QVERIFY(flyer.paragraphs.join('\n').contains(" 12 Harbour Road"));
        QVERIFY(!flyer.paragraphs.join('\n').contains("Brantwell"));
        preview.PushButton8_Click();
    }

    void leftoverTemplateIsUsedUnchangedAndDeleted()
    {
        // A template copy left by an earlier run, marked so that its use shows on the flyer.
        {
            OfficeEngine office;
            const QString original = test::rootFolder() + "/original.dot";
            QFile::remove(original);
            QFile resource(":/template.dot");
            QVERIFY(resource.copy(original));
            office.open(original, true);
            repairWordImport(office, original);
            office.setBookmarkText("EventMore", "LEFTOVER MARK ");
            office.saveAs(templateCopyPath(), "MS Word 97 Vorlage");
            office.quit();
        }
        const QByteArray leftover = [] {
            QFile file(templateCopyPath());
            file.open(QIODevice::ReadOnly);
            return file.readAll();
        }();
        QVERIFY(leftover != embeddedTemplate());

        QVERIFY(test::press(*m_form));
        QCOMPARE(messageTexts(), QStringList());
        QVERIFY(!QFile::exists(templateCopyPath()));
        const test::SavedDocument flyer = test::readSavedDocument(m_form->preview().mWordFile);
        QVERIFY(flyer.paragraphs.join('\n').contains("LEFTOVER MARK"));
        m_form->preview().PushButton8_Click();
    }

    void secondPressDuringARunDoesNothing()
    {
        // The press returns to the event loop at once, busy until its flyer is shown.
        QSignalSpy ended(m_form.get(), &Form1::pressEnded);
        m_form->PushButton6_Click();
        QVERIFY(m_form->busy() && ended.isEmpty());
        m_form->findChild<QPushButton*>("PushButton6")->click();
        QVERIFY(ended.wait(600000));
        QVERIFY(!m_form->busy());
        QCOMPARE(ended.size(), 1);
        QCOMPARE(messageTexts(), QStringList());
        // One run, one document.
        QCOMPARE(test::tempFiles().filter(QRegularExpression("^qtemar[1-9]{8}\\.doc$")).size(), 1);
        m_form->preview().PushButton8_Click();
    }

    void officeKilledBetweenRunsIsReplacedQuietly()
    {
        const qint64 office = readyOffice();
        kill(pid_t(office), SIGKILL);
        QTRY_VERIFY(test::processGone(office));
        QVERIFY(test::press(*m_form));
        QCOMPARE(messageTexts(), QStringList());
        QVERIFY(m_form->preview().isVisible());
        QVERIFY(readyOffice() != office);
        m_form->preview().PushButton8_Click();
    }

    void templateOpenedAheadMakesTheSameFlyerAndGoesWithAKilledOffice()
    {
        m_form->PushButton3_Click();
        // The saved flyer as the Word 97 readers see it, and as the office reads it back.
        const auto press = [&] {
            if (!test::press(*m_form))
                qFatal("the press did not end");
            const QString path = m_form->preview().mWordFile;
            const auto flyer = std::make_tuple(readWordBookmarks(path), readWordShapes(path),
                                               test::readSavedDocument(path));
            m_form->preview().PushButton8_Click();
            return flyer;
        };
        // Without the template opened ahead, for comparison.
        programOffices().prepareWith(QString(), nullptr);
        readyOffice(); // its giveBack closes what the preparation left
        const auto opened = press();
        m_form->jobs().openAhead(FlyerDesign());
        QVERIFY(programOffices().waitUntilConnected().isEmpty()); // once the template is open
        QVERIFY(!QFile::exists(templateCopyPath()));
        QVERIFY(press() == opened);
        QCOMPARE(messageTexts(), QStringList());

        const qint64 office = readyOffice();
        QVERIFY(programOffices().waitUntilConnected().isEmpty());
        kill(pid_t(office), SIGKILL);
        QTRY_VERIFY(test::processGone(office));
        QVERIFY(press() == opened);
        QCOMPARE(messageTexts(), QStringList());
        QVERIFY(readyOffice() != office);
    }

    void officeFaultDuringARunGivesOneMessageAndNoPreview_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("hung") << int(SIGSTOP);
        QTest::newRow("killed") << int(SIGKILL);
    }

    void officeFaultDuringARunGivesOneMessageAndNoPreview()
    {
        QFETCH(int, signal);
        const qint64 office = readyOffice();
        // Strikes as the run puts its first text in.
        std::atomic_bool struck = false;
        watchOfficeCallsForTests([&](const QString& doing) {
            if (doing.startsWith("setting the text of the bookmark") && !struck.exchange(true))
                test::signalChild(office, signal);
        });
        const auto unwatch = qScopeGuard([] { watchOfficeCallsForTests(nullptr); });
        QVERIFY(test::press(*m_form));

        const QStringList texts = messageTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].startsWith("The office ") &&
                     texts[0].contains("Form1.PushButton6_Click at line 122\r"),
                 qPrintable(texts[0]));
        expectMainWindowWithoutPreview();
        // Only the fresh office is left, and the next press works with it.
        QTRY_COMPARE(test::childProcesses(), QList<qint64>{readyOffice()});
        QVERIFY(readyOffice() != office);
        QVERIFY(test::press(*m_form));
        QCOMPARE(messageTexts(), QStringList());
        QVERIFY(m_form->preview().isVisible());
        m_form->preview().PushButton8_Click();
    }

    void officeUnavailableGivesOneMessageAndNoPreview()
    {
        programOffices().end();
        qputenv("LUMAREL_SOFFICE", "/nonexistent/soffice");
        const auto restore = qScopeGuard([] { qunsetenv("LUMAREL_SOFFICE"); });
        QVERIFY(test::press(*m_form));
        QCOMPARE(announced(*m_form), QStringLiteral("No flyer was made."));
        const QStringList texts = messageTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].startsWith("The office program \"/nonexistent/soffice\"") &&
                     texts[0].contains("Form1.PushButton6_Click at line 106\r"),
                 qPrintable(texts[0]));
        expectMainWindowWithoutPreview();
    }

    void pagePictureNotMadeShowsTheReasonAndTheFlyerStillSaves()
    {
        // A folder where the office's PDF of the page should go: the flyer is saved, but its
        // page cannot be rendered.
        QVERIFY(programOffices().waitUntilConnected().isEmpty());
        const QDir offices(instanceFoldersRoot());
        for (const QString& office : offices.entryList({QString(kInstanceFolderPrefix) + '*'}))
            QVERIFY(offices.mkpath(office + "/page.pdf"));
        QVERIFY(test::press(*m_form));
        const QStringList texts = messageTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].contains("Form1.SaveDocAsJPG at line 120\r"), qPrintable(texts[0]));

        Form2& preview = m_form->preview();
        QVERIFY(preview.isVisible());
        preview.Form_Activate();
        QCOMPARE(preview.view().zoomSourceSize().width, 12240.0f);
        const QImage page = preview.view().pageImage();
        int ink = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                ink += qGray(page.pixel(x, y)) < 128;
        QVERIFY(ink > 200); // the reason, written on the page

        const QString saved = test::rootFolder() + "/Saved anyway.doc";
        Dialogs::setNextFileName(saved);
        preview.PushButton6_Click();
        QCOMPARE(messageTexts(), QStringList{"Done."});
        QCOMPARE(test::readFile(saved), test::readFile(preview.mWordFile));
        preview.PushButton8_Click();
    }

    // The design chosen in the window's menu is stored, checked after a restart and used; a
    // file with none of the bookmarks is refused, and a stored file that is gone is told once.
    void chosenDesignIsStoredAndAMissingOneFallsBack()
    {
        const auto designMenu = [&] { return m_form->findChild<QMenu*>("DesignMenu"); };
        const auto item = [&](const QString& start) -> QAction* {
            emit designMenu()->aboutToShow();
            for (QAction* action : designMenu()->actions())
                if (QString(action->text()).remove(QLatin1Char('&')).startsWith(start))
                    return action;
            return nullptr;
        };
        const auto orgNameStory = [](const QString& flyer) {
            for (const WordParagraph& paragraph : readWordParagraphs(flyer).paragraphs)
                if (paragraph.text.contains(" Quenwick"))
                    return paragraph.story;
            return Story::Other;
        };
        QVERIFY(item("Classic")->isChecked());
        const QString none = test::rootFolder() + "/no marks.docx";
        {
            OfficeEngine office;
            office.open(test::writeFile(test::rootFolder() + "/no marks.fodt",
                                        "<office:document xmlns:office=\"urn:oasis:names:tc:"
                                        "opendocument:xmlns:office:1.0\"><office:body><office:"
                                        "text/></office:body></office:document>"),
                        true);
            office.saveAs(none, "MS Word 2007 XML");
        }
        Dialogs::setNextFileName(none);
        item("Choose file")->trigger();
        QCOMPARE(messageTexts(), QStringList{noDesignBookmarksText(none)});
        QCOMPARE(SettingsStore::get("design"), QString());

        item("Poster")->trigger();
        m_form = test::loadedMainWindow(); // a restart
        QVERIFY(item("Poster")->isChecked() && !item("Classic")->isChecked());
        m_form->PushButton3_Click();
        QVERIFY(test::press(*m_form));
        QCOMPARE(messageTexts(), QStringList());
        QCOMPARE(orgNameStory(m_form->preview().mWordFile), Story::Main);
        m_form->preview().PushButton8_Click();

        const QString mine = test::rootFolder() + "/Club design.dot";
        QFile::remove(mine);
        QVERIFY(QFile::copy(":/template.dot", mine));
        Dialogs::setNextFileName(mine);
        item("Choose file")->trigger();
        QCOMPARE(SettingsStore::get("design"), mine);
        QVERIFY(item("Club design.dot")->isChecked());
        QVERIFY(QFile::remove(mine));
        for (int press = 0; press < 2; ++press) {
            QVERIFY(test::press(*m_form));
            QCOMPARE(messageTexts(), press ? QStringList() : QStringList{designFallbackText(mine)});
            QCOMPARE(orgNameStory(m_form->preview().mWordFile), Story::TextBox);
            m_form->preview().PushButton8_Click();
        }
        item("Classic")->trigger();
        QCOMPARE(test::tempFiles(), QStringList());
        // The built-in designs' paper is chosen in the same menu and kept beside the design.
        item("A4 Paper")->trigger();
        QCOMPARE(SettingsStore::get("paper"), "a4");
        QVERIFY(item("A4 Paper")->isChecked() && !item("Letter Paper")->isChecked());
        item("Letter Paper")->trigger();
    }

    void closingThePreviewLeavesNothingBehind()
    {
        QVERIFY(test::press(*m_form));
        QCOMPARE(messageTexts(), QStringList());
        test::resetProgramEnds();
        m_form->preview().close();
        QCOMPARE(test::programEnds(), 1);
        QCOMPARE(test::tempFiles(), QStringList());
        QTRY_COMPARE(test::childProcesses(), QList<qint64>());
    }

private:
    void expectMainWindowWithoutPreview()
    {
        QVERIFY(!m_form->preview().isVisible());
        QVERIFY(m_form->isVisible());
        QVERIFY(!m_form->busy());
        QCOMPARE(m_form->pointer().value(), PointerSetting::Normal);
        QCOMPARE(test::tempFiles(), QStringList());
    }

    std::unique_ptr<Form1> m_form;
};

LUMAREL_TEST_MAIN(FlyerRunTest)
#include "tst_flyerrun.moc"
