// The flyer run end to end, with the real office: from the details in the main window to a
// saved flyer, back again, and what is left behind.
#include "TestEnvironment.h"

#include "OfficeProcesses.h"
#include "app/Dialogs.h"
#include "details/Form1.h"
#include "flyer/FlyerTemplate.h"
#include "flyer/OfficeEngine.h"
#include "preview/Form2.h"

#include <QAction>
#include <QDateTimeEdit>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <poppler-qt6.h>
#include <zip.h>

using namespace lumarel;

namespace {

QStringList tempFiles()
{
    return QDir(test::tempFolder()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

struct SavedFlyer
{
    QStringList paragraphs;
    QStringList textBox;
};

SavedFlyer readFlyer(const QString& path)
{
    OfficeEngine office;
    office.open(path, true);
    SavedFlyer flyer{office.paragraphs(), {}};
    for (const QStringList& box : office.textBoxParagraphs())
        flyer.textBox += box;
    office.quit();
    return flyer;
}

// The text of one part of a zip archive (a .docx or .odt), its markup left out.
QString archivePartText(const QString& path, const char* part)
{
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!archive)
        return QString();
    QByteArray bytes;
    zip_stat_t info;
    if (zip_stat(archive, part, 0, &info) == 0) {
        if (zip_file_t* file = zip_fopen(archive, part, 0)) {
            bytes.resize(qsizetype(info.size));
            bytes.resize(qMax<qsizetype>(0, zip_fread(file, bytes.data(), info.size)));
            zip_fclose(file);
        }
    }
    zip_discard(archive);
    return QString::fromUtf8(bytes).remove(QRegularExpression("<[^>]*>"));
}

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

} // namespace

class FlyerRunTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        m_form = std::make_unique<Form1>();
        m_form->Form_Load(Form1::EngineCheck::Skip);
        QVERIFY(Dialogs::takeShown().isEmpty());
        m_form->findChild<QDateTimeEdit*>("dtpEventDate")
            ->setDateTime(QDateTime(QDate(2027, 1, 15), QTime(0, 0)));
        m_form->findChild<QDateTimeEdit*>("dtpTime")->setDateTime(
            QDateTime(QDate(2027, 1, 15), QTime(15, 5)));
    }

    void init() { Dialogs::takeShown(); }

    void sampleDataMakesASavedFlyer()
    {
        m_form->PushButton3_Click();
        m_form->PushButton6_Click();
        QCOMPARE(messageTexts(), QStringList());

        Form2& preview = m_form->preview();
        QVERIFY(preview.isVisible());
        QVERIFY(!m_form->isVisible());
        QVERIFY(!m_form->busy());
        QCOMPARE(m_form->pointer().value(), PointerSetting::Normal);
        QVERIFY(QFile::exists(preview.mWordFile));
        QCOMPARE(QFileInfo(preview.mWordFile).absolutePath(), test::tempFolder());
        // Only the document is left for the preview: the picture and the template copy are gone.
        QCOMPARE(tempFiles(), QStringList{QFileInfo(preview.mWordFile).fileName()});

        // The page arrived at its physical size: a US Letter page.
        preview.Form_Activate();
        QCOMPARE(preview.view().pageSize().width, 12240.0f);
        QCOMPARE(preview.view().pageSize().height, 15840.0f);

        const QString saved = test::rootFolder() + "/My flyer.doc";
        Dialogs::setNextFileName(saved);
        preview.PushButton6_Click();
        QCOMPARE(messageTexts(), QStringList{"Done."});

        const SavedFlyer flyer = readFlyer(saved);
        const QString body = flyer.paragraphs.join('\n');
        QVERIFY2(body.contains("9th Annual\nTaco Eating Contest") ||
                     body.contains(QString("9th Annual") + QChar(0x2028) + "Taco Eating Contest"),
                 qPrintable(body));
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
        OfficeEngine office; // as the office kept ready
        preview.setOfficeEngine(&office);
        const auto unset = qScopeGuard([&] { preview.setOfficeEngine(nullptr); });
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
            QString text = archivePartText(base + file, part);
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

        // Printed to a PDF file: one page, the flyer's page scaled evenly onto the paper.
        const QString printed = test::rootFolder() + "/printed.pdf";
        Dialogs::setNextPrintFile(printed);
        preview.actions().first()->trigger();
        QCOMPARE(messageTexts(), QStringList());
        int pages = 0;
        const QImage paper = pdfPage(printed, &pages);
        QCOMPARE(pages, 1);
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
        QCOMPARE(tempFiles(), QStringList());

        auto* location = m_form->findChild<QLineEdit*>("txtLocation");
        location->setText("12 Harbour Road");
        m_form->PushButton6_Click();
        QCOMPARE(messageTexts(), QStringList());
        QVERIFY(preview.mWordFile != firstDocument);
        preview.Form_Activate();
        QCOMPARE(preview.view().mZoom, 1.0f);

        const SavedFlyer flyer = readFlyer(preview.mWordFile);
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

        m_form->PushButton6_Click();
        QCOMPARE(messageTexts(), QStringList());
        QVERIFY(!QFile::exists(templateCopyPath()));
        const SavedFlyer flyer = readFlyer(m_form->preview().mWordFile);
        QVERIFY(flyer.paragraphs.join('\n').contains("LEFTOVER MARK"));
        m_form->preview().PushButton8_Click();
    }

    void secondPressDuringARunDoesNothing()
    {
        int pressesWhileBusy = 0;
        QTimer press;
        connect(&press, &QTimer::timeout, this, [&] {
            if (m_form->busy()) {
                ++pressesWhileBusy;
                m_form->findChild<QPushButton*>("PushButton6")->click();
            }
        });
        press.start(100);
        m_form->PushButton6_Click();
        press.stop();
        QVERIFY(pressesWhileBusy > 0);
        QCOMPARE(messageTexts(), QStringList());
        // One run, one document.
        QCOMPARE(tempFiles().filter(QRegularExpression("^qtemar[1-9]{8}\\.doc$")).size(), 1);
        m_form->preview().PushButton8_Click();
    }

    void officeUnavailableReportsEachStepAndStaysUsable()
    {
        qputenv("LUMAREL_SOFFICE", "/nonexistent/soffice");
        const auto restore = qScopeGuard([] { qunsetenv("LUMAREL_SOFFICE"); });
        m_form->PushButton6_Click();

        QList<int> runLines, captureLines;
        for (const QString& text : messageTexts()) {
            const int line = text.section("at line ", 1).section('\r', 0, 0).toInt();
            if (text.contains("Form1.PushButton6_Click "))
                runLines << line;
            else if (text.contains("Form1.SaveDocAsJPG "))
                captureLines << line;
        }
        QCOMPARE(runLines,
                 (QList<int>{106, 112, 122, 124, 126, 128, 130, 132, 150, 152, 154, 156, 166}));
        QCOMPARE(captureLines, (QList<int>{116, 118, 120, 122, 124, 126}));
        QVERIFY(!m_form->busy());
        QCOMPARE(m_form->pointer().value(), PointerSetting::Normal);
        QVERIFY(!QFile::exists(templateCopyPath()));
        m_form->preview().PushButton8_Click();
        QVERIFY(m_form->isVisible());
    }

    void closingThePreviewLeavesNothingBehind()
    {
        m_form->PushButton6_Click();
        QCOMPARE(messageTexts(), QStringList());
        test::resetProgramEnds();
        m_form->preview().close();
        QCOMPARE(test::programEnds(), 1);
        QCOMPARE(tempFiles(), QStringList());
        QTRY_COMPARE(test::childProcesses(), QList<qint64>());
    }

private:
    std::unique_ptr<Form1> m_form;
};

LUMAREL_TEST_MAIN(FlyerRunTest)
#include "tst_flyerrun.moc"
