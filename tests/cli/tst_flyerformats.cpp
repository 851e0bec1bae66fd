// The flyer's design in every saved format, read back with readers other than the office (the
// Word 97 records, the .docx and .odt XML, AbiWord, the PDF's outline, the page's pixels), and the
// same flyer from the window and from the command line.
#include "TestEnvironment.h"

#include "MainWindow.h"
#include "TestFiles.h"
#include "app/Dialogs.h"
#include "cli/CommandLine.h"
#include "preview/Form2.h"
#include "word97/WordParagraphs.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QtEndian>
#include <poppler-qt6.h>

using namespace lumarel;

namespace {

const QString kThreeLines = QStringLiteral("Spring\nFair\nDay");
const QStringList kFormats{"doc", "docx", "odt", "pdf"};
const QString kLongName = QStringLiteral("The Brantwell Valley Historical and Architectural "
                                         "Preservation Society of Greater Northern Counties, Inc.");

QStringList matches(const QString& text, const QString& pattern, int group = 1)
{
    QStringList found;
    const QRegularExpression expression(pattern, QRegularExpression::DotMatchesEverythingOption);
    for (const auto& match : expression.globalMatch(text))
        found << match.captured(group);
    return found;
}

// What a reader finds of the design: every style's name, the strip's style, the bottom border
// distance of each event-name paragraph in points, whether every style's complex-script size is
// its Western size, and each paragraph's style with its direct paragraph properties.
struct Design
{
    QStringList styles;
    QString strip;
    int stripSpacing = 0; // in twips
    QList<int> band;
    bool complexSizes = true;
    bool pageBackground = false;
    QStringList paragraphs;
    QString box;           // the text box's name
    QList<int> statistics; // pages, words, characters other than spaces, paragraphs with text
};

// The statistics of a .docx counted from its text: words as runs between spaces, paragraphs
// those with text (the office's way); a text box's text counts once, not again in its fallback.
QList<int> countedStatistics(const QString& docx)
{
    QString body = test::archivePart(docx, "word/document.xml");
    body.remove(QRegularExpression("<mc:Fallback>.*?</mc:Fallback>",
                                   QRegularExpression::DotMatchesEverythingOption));
    int words = 0, characters = 0, paragraphs = 0;
    for (const QString& paragraph : body.split("</w:p>")) {
        QString text = matches(paragraph, "<w:t(?: [^>]*)?>([^<]*)</w:t>").join(QString());
        text.replace("&apos;", "'").replace("&quot;", "\"").replace("&amp;", "&");
        const QStringList parts = text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
        words += parts.size();
        characters += parts.join(QString()).size();
        paragraphs += !parts.isEmpty();
    }
    return {1, words, characters, paragraphs};
}

Design wordDesign(const QString& path)
{
    const WordParagraphs read = readWordParagraphs(path);
    Design design;
    for (int i = 0; i < read.styles.size(); ++i) {
        if (read.styles[i].name.isEmpty())
            continue;
        // Word knows its built-in styles by their ids, whatever name the file gives them.
        design.styles << (read.styles[i].builtInId == 66 ? "Body Text" : read.styles[i].name);
        design.complexSizes &=
            read.styleProperty(i, kSprmCHps, true) == read.styleProperty(i, kSprmCHpsBi, true);
    }
    for (const WordParagraph& paragraph : read.paragraphs) {
        if (paragraph.story == Story::TextBox && design.strip.isEmpty()) {
            design.strip = read.styleName(paragraph);
            design.stripSpacing = qint16(qFromLittleEndian<quint16>(
                read.characterProperty(paragraph, kSprmCDxaSpace).value_or("\0\0").constData()));
        }
        design.paragraphs << read.styleName(paragraph) + paragraph.paragraphSprms.toHex();
        if (paragraph.story == Story::Main && read.styleName(paragraph) == "Heading 2")
            design.band << borderSpacePoints(
                kSprmPBrcBottom, read.paragraphProperty(paragraph, kSprmPBrcBottom).value_or(""));
    }
    return design;
}

// The text AbiWord reads from a document, empty when it cannot read it.
QString abiWordText(const QString& path)
{
    QProcess abiword;
    const QString text = path + ".txt";
    abiword.start("abiword", {"--to=txt", "-o", text, path});
    if (!abiword.waitForFinished(60000) || abiword.exitCode() != 0)
        return QString();
    QFile file(text);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

Design docxDesign(const QString& path)
{
    const QString styles = test::archivePart(path, "word/styles.xml");
    const QString body = test::archivePart(path, "word/document.xml");
    Design design;
    design.styles = matches(styles, "<w:name w:val=\"([^\"]+)\"");
    for (const QString& style : matches(styles, "<w:style .*?</w:style>", 0))
        design.complexSizes &=
            matches(style, "<w:sz w:val=\"(\\d+)\"") == matches(style, "<w:szCs w:val=\"(\\d+)\"");
    const QString stripId =
        matches(body, "<w:txbxContent>.*?<w:pStyle w:val=\"([^\"]+)\"").value(0);
    design.strip =
        matches(styles, QString("w:styleId=\"%1\".*?<w:name w:val=\"([^\"]+)\"").arg(stripId))
            .value(0);
    design.stripSpacing =
        matches(styles, QString("w:styleId=\"%1\".*?<w:spacing w:val=\"(\\d+)\"").arg(stripId))
            .value(0)
            .toInt();
    design.paragraphs = matches(body, "<w:pPr>(.*?)</w:pPr>");
    design.pageBackground = body.contains("<w:background");
    design.box = matches(body, "<wp:docPr [^>]*name=\"([^\"]+)\"").value(0);
    const QString app = test::archivePart(path, "docProps/app.xml");
    for (const char* figure : {"Pages", "Words", "Characters", "Paragraphs"})
        design.statistics << matches(app, QString("<%1>(\\d+)<").arg(figure)).value(0).toInt();
    for (const QString& pPr : matches(body, "<w:pStyle w:val=\"Heading2\"/>(.*?)</w:pPr>"))
        design.band << matches(pPr, "<w:bottom [^>]*w:space=\"(\\d+)\"").value(0).toInt();
    return design;
}

double inchesToPoints(const QString& length)
{
    return length.endsWith("in") ? length.chopped(2).toDouble() * 72 : length.chopped(2).toDouble();
}

Design odtDesign(const QString& path)
{
    const QString styles = test::archivePart(path, "styles.xml");
    const QString content = test::archivePart(path, "content.xml");
    Design design;
    design.pageBackground =
        !matches(styles, "<style:page-layout-properties [^>]*fo:background-color=\"#", 0).isEmpty();
    for (const QString& style : matches(styles, "<style:style [^>]*family=\"paragraph\".*?>", 0))
        design.styles << matches(style, "style:(?:display-)?name=\"([^\"]+)\"").last();
    for (const QString& props : matches(styles, "<style:text-properties [^>]*>", 0))
        design.complexSizes &= matches(props, "fo:font-size=\"([^\"]+)\"") ==
                               matches(props, "style:font-size-complex=\"([^\"]+)\"");
    design.box = matches(content, "<draw:frame [^>]*draw:name=\"([^\"]+)\"").value(0);
    const QString meta = test::archivePart(path, "meta.xml");
    for (const char* figure : {"page", "word", "non-whitespace-character", "paragraph"})
        design.statistics
            << matches(meta, QString("meta:%1-count=\"(\\d+)\"").arg(figure)).value(0).toInt();
    design.strip = matches(content, "<draw:text-box>\\s*<text:h text:style-name=\"([^\"]+)\"")
                       .value(0)
                       .replace("_20_", " ");
    design.stripSpacing =
        qRound(inchesToPoints(
                   matches(styles, "style:name=\"Heading_20_1\".*?fo:letter-spacing=\"([^\"]+)\"")
                       .value(0)) *
               20);
    for (const QString& name : matches(content, "<text:[hp] text:style-name=\"([^\"]+)\""))
        design.paragraphs << matches(content,
                                     QString("style:name=\"%1\".*?</style:style>").arg(name), 0)
                                 .value(0, name);
    for (const QString& name :
         matches(content, "<text:h text:style-name=\"([^\"]+)\" text:outline-level=\"2\"")) {
        const QString style =
            matches(content, QString("style:name=\"%1\".*?</style:style>").arg(name), 0).value(0);
        design.band << qRound(
            inchesToPoints(matches(style, "fo:padding-bottom=\"([^\"]+)\"").value(0)));
    }
    return design;
}

// A PDF keeps only the headings, as its outline: the strip's and the event name's.
Design pdfDesign(const QString& path)
{
    const auto pdf = Poppler::Document::load(path);
    Design design;
    QVector<Poppler::OutlineItem> items = pdf->outline();
    while (!items.isEmpty()) {
        const Poppler::OutlineItem item = items.takeFirst();
        design.styles << item.name().trimmed();
        items += item.children();
    }
    return design;
}

Design designOf(const QString& path)
{
    const QString format = QFileInfo(path).suffix();
    return format == "doc"    ? wordDesign(path)
           : format == "docx" ? docxDesign(path)
           : format == "odt"  ? odtDesign(path)
                              : pdfDesign(path);
}

// How far the shaded band reaches below the event name's last ink, in pixels of the picture:
// the first band is sampled inside its left edge, the ink is the heading's colour.
int bandDepth(const QImage& page)
{
    const auto near = [](QRgb pixel, QRgb colour, int within) {
        return qAbs(qRed(pixel) - qRed(colour)) < within &&
               qAbs(qGreen(pixel) - qGreen(colour)) < within &&
               qAbs(qBlue(pixel) - qBlue(colour)) < within;
    };
    int inkBottom = 0, bandBottom = 0;
    for (int y = 0; y < page.height() / 2; ++y) {
        if (near(page.pixel(470, y), qRgb(0xEB, 0xF0, 0xC8), 10))
            bandBottom = y;
        else if (bandBottom > 0 && y > bandBottom + 10)
            break; // the event name's band is the first
        int ink = 0;
        for (int x = 470; x < 1840; ++x)
            ink += near(page.pixel(x, y), qRgb(0xAF, 0xB4, 0x87), 25);
        if (ink >= 3 && bandBottom == y)
            inkBottom = y;
    }
    return bandBottom - inkBottom;
}

int runCli(const QStringList& arguments, QString* err)
{
    QString out;
    QTextStream outStream(&out), errStream(err);
    cli::Console console{outStream, errStream, false};
    return cli::runCommandLine(QStringList{"lumarel"} + arguments, console);
}

} // namespace

class FlyerFormatsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_form = test::loadedMainWindow();
        m_form->PushButton3_Click();
        m_form->findChild<QLineEdit*>("txtOrgName")->setText("Quenwick");
        m_form->findChild<QLineEdit*>("txtLocation")->setText(u8"רחוב הנמל 12");
        setEventName(kThreeLines);
        m_out = test::rootFolder();
    }

    void cleanup() { test::cleanUpAfterTest(*m_form); }

    void formatsHoldTheDesign_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString& format : kFormats)
            QTest::newRow(qPrintable("the command line's " + format)) << cliFlyer(format);
    }

    void formatsHoldTheDesign()
    {
        QFETCH(QString, path);
        const Design design = designOf(path);
        QCOMPARE(QSet<QString>(design.styles.begin(), design.styles.end()).size(),
                 design.styles.size());
        if (path.endsWith(".pdf")) {
            QVERIFY2(design.styles.contains("Quenwick") && design.styles.contains("Spring"),
                     qPrintable(design.styles.join('|')));
            return;
        }
        QCOMPARE(design.styles.count("Body Text") + design.styles.count("Text body"), 1);
        QCOMPARE(design.strip, QString("Heading 1"));
        QCOMPARE(design.stripSpacing, 20);
        QCOMPARE(design.band, (QList<int>{31, 31, 31}));
        QVERIFY(design.complexSizes);
        QVERIFY(!design.pageBackground);
        // The Word 97 format keeps no frame's name; what is made from the .doc carries it.
        if (!path.endsWith(".doc")) {
            QCOMPARE(design.box, QString("OrgNameBox"));
            QCOMPARE(design.statistics, countedStatistics(m_out + "/cli.docx"));
        }
        if (path.endsWith(".docx"))
            QVERIFY(abiWordText(path).contains("Spring\nFair\nDay"));
    }

    void bandIsAsDeepUnderThreeLinesAsUnderOne()
    {
        setEventName("Day"); // the last line of the three, so that the ink ends alike
        const QImage oneLine(cliFlyer("png"));
        setEventName(kThreeLines);
        const QImage threeLines(cliFlyer("png"));
        QVERIFY2(bandDepth(oneLine) > 90 && qAbs(bandDepth(threeLines) - bandDepth(oneLine)) <= 15,
                 qPrintable(QString("%1 %2").arg(bandDepth(oneLine)).arg(bandDepth(threeLines))));
    }

    void windowAndCommandLineMakeTheSameFlyer()
    {
        QVERIFY(test::press(*m_form));
        Form2& preview = m_form->preview();
        for (const QString& format : kFormats) {
            const QString windowPath = m_out + "/window." + format;
            Dialogs::setNextFileName(windowPath);
            m_form->preview().PushButton6_Click();
            const Design window = designOf(windowPath), cli = designOf(cliFlyer(format));
            QCOMPARE(window.styles, cli.styles);
            QCOMPARE(window.strip, cli.strip);
            QCOMPARE(window.band, cli.band);
            QCOMPARE(window.paragraphs, cli.paragraphs);
        }
        QCOMPARE(preview.view().zoomSource().convertToFormat(QImage::Format_RGB32),
                 QImage(cliFlyer("png")).convertToFormat(QImage::Format_RGB32));
        m_form->preview().PushButton8_Click();
    }

    void flyerOfManyPagesIsMadeAndSaidSo()
    {
        m_form->findChild<QPlainTextEdit*>("txtMore")->setPlainText(
            QString("word ").repeated(4000));
        QString err;
        const QString path = m_out + "/long.pdf";
        QCOMPARE(runCli({"--output", path}, &err), 0);
        QVERIFY(QFile::exists(path));
        const QRegularExpressionMatch said =
            QRegularExpression(path + ": The flyer runs to (\\d+) pages").match(err);
        QVERIFY2(said.hasMatch() && said.captured(1).toInt() > 1, qPrintable(err));
        QVERIFY2(err.contains("The file holds every page"), qPrintable(err));
        // A page picture holds the first page alone, and says so.
        err.clear();
        QCOMPARE(runCli({"--output", m_out + "/long.png"}, &err), 0);
        QVERIFY2(err.contains("The picture holds the first page only.") &&
                     !err.contains("The file holds every page"),
                 qPrintable(err));

        // With a name that does not fit as well: two notices, each read whole.
        QLineEdit* orgName = m_form->findChild<QLineEdit*>("txtOrgName");
        const QString name = orgName->text();
        const auto restore = qScopeGuard([&] { orgName->setText(name); });
        orgName->setText(QString("Quenwick Garden Club ").repeated(5));
        QVERIFY(test::press(*m_form));
        const QLabel* notice = m_form->preview().findChild<QLabel*>("PageNotice");
        QVERIFY(notice && notice->isVisibleTo(&m_form->preview()));
        QVERIFY2(notice->text().startsWith(said.captured(0).mid(path.size() + 2)) &&
                     notice->text().contains("did not fit"),
                 qPrintable(notice->text()));
        QVERIFY(notice->height() >= notice->heightForWidth(notice->width()));
        m_form->preview().PushButton8_Click();
        orgName->setText(name);
        m_form->findChild<QPlainTextEdit*>("txtMore")->setPlainText(QString());
        QVERIFY(test::press(*m_form));
        QVERIFY(!notice->isVisibleTo(&m_form->preview()));
        m_form->preview().PushButton8_Click();
    }

    // A list's office keeps the template open: the second row's paragraph turns back.
    void rightToLeftParagraphsReadRightToLeftAndTurnBack()
    {
        const QString hebrew = u8"ברוכים הבאים! " + QString(u8"שורה ארוכה של מילים ").repeated(6);
        const QString list =
            test::writeFile(m_out + "/rtl.csv",
                            ("name,txtMore\nrtl,\"" + hebrew + "\"\nltr,Welcome all!\n").toUtf8());
        QString err;
        for (const char* format : {"docx", "odt", "pdf"})
            QVERIFY2(runCli({"--batch", list, "--format", format, "-d", m_out}, &err) == 0,
                     qPrintable(err));
        const auto paragraphOf = [](const QString& body, const QString& text, const char* end) {
            return matches(body, QString("[^>]*>(?:(?!%1).)*%2").arg(end, text.left(6)), 0)
                .value(0);
        };
        const QString rtl = test::archivePart(m_out + "/rtl.docx", "word/document.xml");
        const QString ltr = test::archivePart(m_out + "/ltr.docx", "word/document.xml");
        const QRegularExpression bidi("<w:bidi(?: w:val=\"(?:1|true)\")?/>");
        QVERIFY(paragraphOf(rtl, hebrew, "<w:p>").contains(bidi));
        QVERIFY(!paragraphOf(ltr, "Welcome", "<w:p>").contains(bidi));
        QVERIFY(!ltr.contains("w:right=\"720\""));
        const QString odt = test::archivePart(m_out + "/rtl.odt", "content.xml");
        const QString style =
            matches(paragraphOf(odt, hebrew, "<text:p"), "text:style-name=\"([^\"]+)\"").last();
        QVERIFY(
            odt.contains(QRegularExpression(QString("style:name=\"%1\"[^>]*>[^/]*<style:paragraph-"
                                                    "properties[^>]*rl-tb")
                                                .arg(style))));
        // Right-aligned, from the right margin, and as clear of the strip as the left-to-right
        // text.
        const auto wordsOf = [](const QString& pdf) {
            return Poppler::Document::load(pdf)->page(0)->textList();
        };
        double hebrewLeft = 612, hebrewRight = 0, latinLeft = 612;
        for (const auto& word : wordsOf(m_out + "/rtl.pdf"))
            if (word->text().front().script() == QChar::Script_Hebrew &&
                word->boundingBox().top() > 300) {
                hebrewLeft = qMin(hebrewLeft, word->boundingBox().left());
                hebrewRight = qMax(hebrewRight, word->boundingBox().right());
            }
        for (const auto& word : wordsOf(m_out + "/ltr.pdf"))
            if (word->text() == "Welcome")
                latinLeft = word->boundingBox().left();
        QVERIFY2(qAbs(hebrewRight - 522) < 2 && hebrewLeft > latinLeft - 2,
                 qPrintable(QString("%1 %2 %3").arg(hebrewLeft).arg(hebrewRight).arg(latinLeft)));
    }

    void everyNameIsWholeInsideThePageOrSaidNotToFit_data()
    {
        QTest::addColumn<QString>("design");
        for (const char* design : {"classic", "poster", "handout"})
            QTest::newRow(design) << design;
    }
    // Names of every length in every script, one list per design: each is printed whole and
    // inside the page, or the flyer says it did not fit.
    void everyNameIsWholeInsideThePageOrSaidNotToFit()
    {
        QFETCH(QString, design);
        const QList<std::pair<const char*, QString>> scripts{
            {"latin", "Brantwell Historical Society of the Valley "},
            {"hebrew", u8"עמותת הגן הקהילתי של העמק "},
            {"arabic", u8"جمعية الحديقة المجتمعية في الوادي "},
            {"mixed", u8"Quenwick עמותה 2027 "},
            {"cjk", u8"社区花园协会春季集市와 정원 모임"},
            {"emoji", u8"🌷🌼 Garden Club 🎉 "}};
        QMap<QString, QString> names{{"word", QString("Abcdefghijklmnopqrstuvwxyz").repeated(3)}};
        for (const auto& [script, words] : scripts)
            for (const int length : {1, 28, 60, 105}) {
                // Counted in characters, so that an emoji is never cut in half.
                const QList<uint> characters = words.repeated(8).toUcs4().mid(0, length);
                names.insert(QString("%1-%2").arg(script).arg(length),
                             QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.data()),
                                               characters.size())
                                 .trimmed());
            }
        QString rows = "name,txtOrgName\n";
        for (auto name = names.cbegin(); name != names.cend(); ++name)
            rows += name.key() + ",\"" + name.value() + "\"\n";
        const QString list = test::writeFile(m_out + "/names-" + design + ".csv", rows.toUtf8());
        const QString folder = m_out + "/" + design;
        QVERIFY(QDir().mkpath(folder));
        QString err;
        for (const char* format : {"pdf", "odt"})
            QVERIFY2(runCli({"--batch", list, "--design", design, "--format", format, "-d", folder},
                            &err) == 0,
                     qPrintable(err));
        // The classic strip, turned on its side, shows both directions as they read.
        QVERIFY2(!err.contains("mixes right-to-left"), qPrintable(err));
        for (auto name = names.cbegin(); name != names.cend(); ++name) {
            // The .odt of a turned mixed name keeps the import's shape, its text as typed.
            if (design == "classic" && name.key().startsWith("mixed-") && name.key() != "mixed-1")
                QVERIFY2(test::archivePart(folder + "/" + name.key() + ".odt", "content.xml")
                             .section("draw:transform=\"rotate (1.57", 1)
                             .remove(QRegularExpression("<[^>]*>"))
                             .contains(name.value()),
                         qPrintable(name.key()));
            if (err.contains(name.key() + ".pdf: \"Your organization's name\" did not fit")) {
                QVERIFY2(name.key().endsWith("-60") || name.key().endsWith("-105") ||
                             name.key() == "word",
                         qPrintable(name.key()));
                continue;
            }
            const auto pdf = Poppler::Document::load(folder + "/" + name.key() + ".pdf");
            QVERIFY2(pdf && pdf->numPages() == 1, qPrintable(name.key()));
            const auto page = pdf->page(0);
            QString shown;
            for (const auto& word : page->textList()) {
                shown += word->text();
                QVERIFY2(QRectF(QPointF(), page->pageSizeF()).contains(word->boundingBox()),
                         qPrintable(name.key() + ": " + word->text()));
                // A turned word of either direction reads from the bottom up, never upside down.
                const QPointF along = word->charBoundingBox(word->text().size() - 1).center() -
                                      word->charBoundingBox(0).center();
                QVERIFY2(qAbs(along.y()) <= qAbs(along.x()) || along.y() < 0,
                         qPrintable(name.key() + ": " + word->text()));
            }
            // Every character of the name, as often as it is there, in the page's text; the
            // poster prints it in capitals.
            shown = shown.toUpper();
            const QString wanted = name.value().toUpper().remove(' ');
            for (const QChar c : wanted) {
                const qsizetype at = shown.indexOf(c);
                QVERIFY2(at >= 0, qPrintable(name.key() + ": " + c));
                shown.remove(at, 1);
            }
        }
        QVERIFY2(!err.contains("no installed font can draw"), qPrintable(err));
    }

    // Rows after a name that does not fit, from the same open template: each starts again from
    // the design's size.
    void nameFitsTheStripOrIsSaidNotTo_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<bool>("fullSize");
        QTest::newRow("one letter fits") << "Q" << true << true;
        QTest::newRow("a short name fits") << "Brantwells" << true << true;
        QTest::newRow("a name that wrapped at full size fits on one line")
            << "Brantwell Historical Society" << true << false;
        QTest::newRow("a long name fits on two lines")
            << "Brantwell Valley Historical and Architectural Society Assoc." << true << false;
        QTest::newRow("a name too long for two lines is said not to fit")
            << kLongName << false << false;
        QTest::newRow("a word longer than the strip is said not to fit")
            << QString("Abcdefghijklmnopqrstuvwxyz").repeated(3).left(76) << false << false;
    }

    void nameFitsTheStripOrIsSaidNotTo()
    {
        QFETCH(QString, name);
        QFETCH(bool, fits);
        QFETCH(bool, fullSize);
        const QString list = test::writeFile(
            m_out + "/names.csv",
            ("name,txtOrgName\nlong,\"" + kLongName + "\"\nrow,\"" + name + "\"\n").toUtf8());
        QString err;
        QVERIFY2(runCli({"--batch", list, "--format", "pdf", "-d", m_out, "--overwrite"}, &err) ==
                     0,
                 qPrintable(err));
        QCOMPARE(err.contains("row.pdf: \"Your organization's name\" did not fit"), !fits);
        QVERIFY(err.contains("long.pdf: \"Your organization's name\" did not fit"));
        // The strip's frame on the page, in points; a glyph's box reaches a little past its ink.
        const QRectF strip = QRectF(38.15, 41.75, 78, 657).adjusted(-2, -2, 2, 2);
        QString shown;
        double deepest = 0; // a line of capitals at the design's 42 pt is 55 pt deep
        for (const auto& word : Poppler::Document::load(m_out + "/row.pdf")->page(0)->textList())
            if (word->boundingBox().center().x() < strip.right()) {
                shown += word->text();
                deepest = qMax(deepest, word->boundingBox().width());
                QVERIFY2(!fits || strip.contains(word->boundingBox()), qPrintable(word->text()));
            }
        QCOMPARE(shown, name.toUpper().remove(' '));
        QCOMPARE(deepest > 50, fullSize);

        QLineEdit* orgName = m_form->findChild<QLineEdit*>("txtOrgName");
        const auto restore = qScopeGuard([&, was = orgName->text()] { orgName->setText(was); });
        orgName->setText(name);
        QVERIFY(test::press(*m_form));
        const QLabel* notice = m_form->preview().findChild<QLabel*>("PageNotice");
        QCOMPARE(notice->text().contains("\"Your organization's name\" did not fit"), !fits);
    }

private:
    void setEventName(const QString& name)
    {
        m_form->findChild<QPlainTextEdit*>("txtEventName")->setPlainText(name);
    }

    QString cliFlyer(const QString& format)
    {
        const QString path = m_out + "/cli." + format;
        QString err;
        if (runCli({"--output", path}, &err) != 0)
            qWarning("%s", qPrintable(err));
        return path;
    }

    std::unique_ptr<Form1> m_form;
    QString m_out;
};

LUMAREL_TEST_MAIN(FlyerFormatsTest)
#include "tst_flyerformats.moc"
