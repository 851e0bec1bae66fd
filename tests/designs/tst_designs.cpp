#include "DocumentReading.h"
#include "TestEnvironment.h"
#include "TestFiles.h"

#include "app/Failure.h"
#include "app/SettingsStore.h"
#include "cli/CommandLine.h"
#include "designs/DesignCheck.h"
#include "designs/Designs.h"
#include "designs/PaperSize.h"
#include "flyer/BookmarkTexts.h"
#include "flyer/FlyerRun.h"
#include "flyer/PageCapture.h"
#include "flyer/RecordFields.h"
#include "office/OfficeEngine.h"
#include "office/OfficeSession.h"
#include "record/EventRecord.h"
#include "word97/WordParagraphs.h"
#include "wordimport/WordImportRepair.h"

#include <poppler-qt6.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QTcpServer>
#include <QTextStream>

#include <algorithm>
#include <memory>

using namespace lumarel;

namespace lumarel {
char* toString(const DesignBookmark& bookmark)
{
    return QTest::toString(bookmark.name + ": " + designPlaceText(bookmark.place));
}
} // namespace lumarel

namespace {

const char* const kHeader = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.text">
<office:automatic-styles><style:page-layout style:name="pm1"/></office:automatic-styles>
<office:master-styles><style:master-page style:name="Standard" style:page-layout-name="pm1">
<style:header><text:p>%1</text:p></style:header></style:master-page></office:master-styles>
<office:body><office:text>%2</office:text></office:body></office:document>)";

QString bookmark(const char* name)
{
    return QStringLiteral("<text:bookmark text:name=\"%1\"/>").arg(QLatin1String(name));
}

// Designs written as a user's tools write them: the EventName bookmark over a formatted word
// and a plainer one.
const char* const kRunsDocx = R"(import sys, docx; from docx.oxml import OxmlElement as X
d = docx.Document(); p = d.add_paragraph(); big = p.add_run('Big'); rest = p.add_run(' event')
big.bold = big.italic = rest.underline = True; big.font.size = docx.shared.Pt(28)
big.font.color.rgb = docx.shared.RGBColor(255, 0, 0); start, end = X('w:bookmarkStart'), X('w:bookmarkEnd')
for mark in start, end: mark.set(docx.oxml.ns.qn('w:id'), '0')
start.set(docx.oxml.ns.qn('w:name'), 'EventName'); big._r.addprevious(start); rest._r.addnext(end)
d.save(sys.argv[1]))";
const char* const kSpansOdt = R"(import sys; from odf import opendocument, style, text
d = opendocument.OpenDocumentText(); big = style.Style(name='Big', family='text')
big.addElement(style.TextProperties(fontsize='26pt', color='#0000ff', fontweight='bold', fontstyle='italic'))
d.automaticstyles.addElement(big); p = text.P(); d.text.addElement(p)
for part in text.BookmarkStart(name='EventName'), text.Span(stylename=big, text='Big'), text.Span(text=' event'), text.BookmarkEnd(name='EventName'): p.addElement(part)
d.save(sys.argv[1]))";
// The same text in a frame whose style names no parent, which the office reads as a shape.
const QString kFramedOdt =
    QString(kSpansOdt)
        .replace(
            "p = text.P(); d.text.addElement(p)",
            "fr = style.Style(name='fr1', family='graphic'); d.automaticstyles.addElement(fr)\n"
            "f = draw.Frame(stylename=fr, anchortype='paragraph', width='9cm', height='4cm')\n"
            "box = draw.TextBox(); f.addElement(box); q = text.P(); q.addElement(f); "
            "d.text.addElement(q)\n"
            "p = text.P(); box.addElement(p)")
        .replace("text\n", "text, draw\n");
// A design with a bookmark in each of the places a user may put one; the other two left out.
QString placesDesign()
{
    const QString body =
        "<text:p>" + bookmark("EventName") + "</text:p>" +
        "<table:table><table:table-column/><table:table-row><table:table-cell><text:p>" +
        bookmark("EventDate") + "</text:p></table:table-cell></table:table-row></table:table>" +
        "<text:p><draw:frame text:anchor-type=\"paragraph\" svg:width=\"2in\" svg:height=\"1in\">"
        "<draw:text-box><text:p>" +
        bookmark("EventMore") + "</text:p></draw:text-box></draw:frame></text:p>";
    return QString::fromUtf8(kHeader).arg(bookmark("OrgName"), body);
}

// A Word 97 design's turned text box, which the office imports as a drawing shape, after a
// plain text box, which it imports as a frame.
QString turnedBoxDesign()
{
    const QString turned =
        "<style:style style:name=\"fr1\" style:family=\"graphic\" "
        "style:parent-style-name=\"Frame\"><style:graphic-properties style:wrap=\"run-through\" "
        "style:run-through=\"foreground\" style:vertical-pos=\"from-top\" "
        "style:vertical-rel=\"page\" style:horizontal-pos=\"from-left\" "
        "style:horizontal-rel=\"page\" style:writing-mode=\"bt-lr\"/></style:style>";
    const QString body =
        "<text:p>" + bookmark("EventName") +
        "</text:p><text:p><draw:frame "
        "text:anchor-type=\"paragraph\" svg:width=\"3in\" svg:height=\"1in\"><draw:text-box>"
        "<text:p>More " +
        bookmark("EventMore") +
        "</text:p></draw:text-box></draw:frame></text:p>"
        "<text:p><draw:frame draw:style-name=\"fr1\" draw:name=\"Side\" "
        "text:anchor-type=\"paragraph\" svg:x=\"0.5in\" svg:y=\"2in\" svg:width=\"1in\" "
        "svg:height=\"5in\"><draw:text-box><text:h text:outline-level=\"1\">" +
        bookmark("OrgName") + "</text:h><text:p/></draw:text-box></draw:frame></text:p>";
    return QString::fromUtf8(kHeader)
        .replace("<office:automatic-styles>", "<office:automatic-styles>" + turned)
        .arg(QString(), body);
}

// A design whose event name stands in a box two lines deep: a table row of fixed height or a
// frame of fixed size.
QString fixedBoxDesign(bool frame)
{
    const QString styles =
        "<style:style style:name=\"narrow\" style:family=\"table\"><style:table-properties "
        "style:width=\"2in\" table:align=\"left\"/></style:style>"
        "<style:style style:name=\"fixed\" style:family=\"table-row\"><style:table-row-"
        "properties style:row-height=\"0.45in\" style:use-optimal-row-height=\"false\"/>"
        "</style:style><style:style style:name=\"big\" style:family=\"paragraph\">"
        "<style:text-properties fo:font-size=\"14pt\"/></style:style>";
    const QString name = "<text:p text:style-name=\"big\">" + bookmark("EventName") + "</text:p>";
    const QString body =
        frame ? "<text:p><draw:frame text:anchor-type=\"paragraph\" svg:width=\"2in\" "
                "svg:height=\"0.45in\"><draw:text-box>" +
                    name + "</draw:text-box></draw:frame></text:p>"
              : "<table:table table:style-name=\"narrow\"><table:table-column/><table:table-row "
                "table:style-name=\"fixed\"><table:table-cell>" +
                    name + "</table:table-cell></table:table-row></table:table>";
    return QString::fromUtf8(kHeader)
        .replace("xmlns:style=", "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-"
                                 "compatible:1.0\" xmlns:style=")
        .replace("<office:automatic-styles>", "<office:automatic-styles>" + styles)
        .arg(QString(), body);
}

QString relationship(const char* id, const char* type, const QString& target, bool external)
{
    return QStringLiteral("<Relationship Id=\"%1\" Target=\"%2\" TargetMode=\"%3\" Type=\"http:"
                          "//schemas.openxmlformats.org/officeDocument/2006/relationships/%4\"/>")
        .arg(id, target, external ? "External" : "Internal", type);
}

// A design written part by part: `body` after its EventName bookmark; a .docx with the main
// document's relationships and further parts.
QString writeDesign(const QString& path, const QString& body, const QString& rels = {},
                    const QList<QPair<QString, QByteArray>>& more = {})
{
    const auto odf =
        R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:xlink="http://www.w3.org/1999/xlink" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"><office:body><office:text><text:p><text:bookmark text:name="EventName"/>%1</text:p></office:text></office:body></office:document-content>)";
    const auto manifest =
        R"(<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0"><manifest:file-entry manifest:full-path="/" manifest:media-type="application/vnd.oasis.opendocument.text"/><manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/></manifest:manifest>)";
    const auto types =
        R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/></Types>)";
    const auto word =
        R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing" xmlns:pic="http://schemas.openxmlformats.org/drawingml/2006/picture"><w:body><w:p><w:bookmarkStart w:id="0" w:name="EventName"/><w:bookmarkEnd w:id="0"/>%1</w:p></w:body></w:document>)";
    const QString links =
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">%1</Relationships>)";
    if (path.endsWith(".odt"))
        return test::writeArchive(path, {{"mimetype", "application/vnd.oasis.opendocument.text"},
                                         {"content.xml", QString(odf).arg(body).toUtf8()},
                                         {"META-INF/manifest.xml", manifest}});
    const QString main = relationship("rId1", "officeDocument", "word/document.xml", false);
    return test::writeArchive(path,
                              QList<QPair<QString, QByteArray>>{
                                  {"[Content_Types].xml", types},
                                  {"_rels/.rels", links.arg(main).toUtf8()},
                                  {"word/document.xml", QString(word).arg(body).toUtf8()},
                                  {"word/_rels/document.xml.rels", links.arg(rels).toUtf8()}} +
                                  more);
}

// Where two pages differ, in pixels; empty when they are the same.
QRect changedArea(const QImage& a, const QImage& b)
{
    QRect area;
    for (int y = 0; y < qMin(a.height(), b.height()); ++y)
        for (int x = 0; x < qMin(a.width(), b.width()); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                area |= QRect(x, y, 1, 1);
    return area;
}

} // namespace

class TestDesigns : public QObject
{
    Q_OBJECT

    std::unique_ptr<OfficeEngine> m_office;

    // The design converted by the office into the format of `filter`.
    QString convert(const QString& source, const QString& name, const QString& filter)
    {
        const QString path = test::tempFolder() + "/" + name;
        m_office->open(source, true);
        m_office->saveAs(path, filter);
        m_office->closeDocuments();
        return path;
    }

    QImage render(const QString& path, int* pages = nullptr)
    {
        openWordDocument(*m_office, path, true, ImportRepair::Page);
        const QImage page = m_office->renderFirstPage(kPageDotsPerMeter);
        if (pages)
            *pages = m_office->pageCount();
        m_office->closeDocuments();
        return page;
    }

private slots:
    void initTestCase() { m_office = std::make_unique<OfficeEngine>(); }
    void cleanupTestCase() { m_office.reset(); }

    void readsWhereTheBookmarksAre_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("name");
        QTest::newRow("a Word 97 design") << "MS Word 97"
                                          << "places.doc";
        QTest::newRow("a Word 2007 design") << "MS Word 2007 XML"
                                            << "places.docx";
        QTest::newRow("an OpenDocument design") << "writer8"
                                                << "places.odt";
    }
    void readsWhereTheBookmarksAre()
    {
        QFETCH(QString, filter);
        QFETCH(QString, name);
        const QString source =
            test::writeFile(test::tempFolder() + "/places.fodt", placesDesign().toUtf8());
        const QList<DesignBookmark> expected{{"OrgName", DesignPlace::HeaderFooter},
                                             {"EventName", DesignPlace::MainText},
                                             {"EventDate", DesignPlace::Table},
                                             {"EventMore", DesignPlace::TextBox}};
        QCOMPARE(readDesignBookmarks(convert(source, name, filter)), expected);
    }

    void fillsTheBookmarksADesignHolds_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("held"); // how many of the six the design holds
        QTest::newRow("a Word 97 design") << "MS Word 97"
                                          << "places.doc" << placesDesign() << 4;
        QTest::newRow("a Word 2007 design") << "MS Word 2007 XML"
                                            << "places.docx" << placesDesign() << 4;
        QTest::newRow("an OpenDocument design") << "writer8"
                                                << "places.odt" << placesDesign() << 4;
        QTest::newRow("a Word 97 design whose turned box follows another box")
            << "MS Word 97"
            << "turned.doc" << turnedBoxDesign() << 3;
    }
    // Each bookmark present gets its text where it lies, those missing are no failure, and the
    // saved flyer keeps every bookmark in its place.
    void fillsTheBookmarksADesignHolds()
    {
        QFETCH(QString, filter);
        QFETCH(QString, name);
        QFETCH(QString, source);
        QFETCH(int, held);
        const QString design = convert(
            test::writeFile(test::tempFolder() + "/fill.fodt", source.toUtf8()), name, filter);
        const FlyerFields fields{
            QDate(2027, 3, 4), QTime(18, 30), "Quill Club", "Spring Fair", "1 Elm Road", "", "", "",
            "Bring a friend."};
        const QHash<QString, QString> expected{{"OrgName", orgNameText(fields.orgName)},
                                               {"EventName", eventNameText(fields.eventName)},
                                               {"EventDate", eventDateText(fields.eventDate)},
                                               {"EventTime", eventTimeText(fields.eventTime)},
                                               {"EventAddr", eventAddrText(fields.location)},
                                               {"EventMore", "Bring a friend."}};
        QStringList failures;
        const FlyerRun::StepRunner step = [&](FlyerStage stage, const std::function<void()>& body) {
            try {
                body();
                return true;
            } catch (const Failure& failure) {
                failures << QString::number(int(stage)) + ": " + failure.description();
                return false;
            }
        };
        OfficeSession use(*m_office);
        FlyerRun run(use);
        run.setDesign(chosenDesign(design));
        run.fill(fields, step);
        const QString flyer = test::tempFolder() + "/filled-" + name + ".doc";
        const bool saved = run.save(flyer, step);
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
        QVERIFY(saved);

        // Each story's paragraphs, each after a bar.
        QHash<Story, QString> texts;
        for (const WordParagraph& paragraph : readWordParagraphs(flyer).paragraphs)
            texts[paragraph.story] += '|' + paragraph.text;
        const QList<DesignBookmark> marks = readDesignBookmarks(design);
        QCOMPARE(marks.size(), held);
        for (const QString& mark : designBookmarkNames()) {
            const auto found =
                std::find_if(marks.cbegin(), marks.cend(),
                             [&](const DesignBookmark& m) { return m.name == mark; });
            const QString text = expected[mark];
            const Story story = found == marks.cend()                       ? Story::Main
                                : found->place == DesignPlace::TextBox      ? Story::TextBox
                                : found->place == DesignPlace::HeaderFooter ? Story::Other
                                                                            : Story::Main;
            const bool filled =
                (texts[story] + '|').contains('|' + text.trimmed()) || texts[story].contains(text);
            QVERIFY2(filled == (found != marks.cend()),
                     qPrintable(mark + " in " + texts.value(story)));
        }
        QCOMPARE(readDesignBookmarks(flyer), marks);
    }

    void textInAFixedBoxIsMadeSmallerOrSaidNotToFit_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("frame");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fits");
        const QString wrapped =
            "Spring Fair and Plant Sale at the Old Mill by the River with Music";
        const QString endless = QString("Spring Fair and Plant Sale ").repeated(12).trimmed();
        const QString hebrew = "יריד האביב ומכירת צמחים בטחנה הישנה ליד הנהר עם מוזיקה";
        for (const auto& [filter, name] : {std::pair{"MS Word 97", "box.doc"},
                                           {"MS Word 2007 XML", "box.docx"},
                                           {"writer8", "box.odt"}})
            for (const bool frame : {false, true}) {
                const char* box = frame ? "a frame" : "a table row";
                QTest::addRow("a short text fits %s (%s)", box, name)
                    << filter << name << frame << "Fair" << true;
                QTest::addRow("several lines fit %s in smaller type (%s)", box, name)
                    << filter << name << frame << wrapped << true;
                QTest::addRow("Hebrew on several lines fits %s in smaller type (%s)", box, name)
                    << filter << name << frame << hebrew << true;
                QTest::addRow("a text far too long for %s is said not to fit (%s)", box, name)
                    << filter << name << frame << endless << false;
            }
    }
    // Where the text fits, every word is inside the box, two lines deep; where it does not, the
    // field is named.
    void textInAFixedBoxIsMadeSmallerOrSaidNotToFit()
    {
        QFETCH(QString, filter);
        QFETCH(QString, name);
        QFETCH(bool, frame);
        QFETCH(QString, text);
        QFETCH(bool, fits);
        const QString design = convert(
            test::writeFile(test::tempFolder() + "/box.fodt", fixedBoxDesign(frame).toUtf8()), name,
            filter);
        const FlyerRun::StepRunner step = [](FlyerStage, const std::function<void()>& body) {
            body();
            return true;
        };
        OfficeSession use(*m_office);
        FlyerRun run(use);
        run.setDesign(chosenDesign(design));
        run.fill(FlyerFields{QDate(2027, 3, 4), QTime(18, 30), "", text, "", "", "", "", ""}, step);
        const QString pdf = test::tempFolder() + "/box.pdf";
        m_office->exportPdf(pdf);
        run.save(test::tempFolder() + "/box-filled.doc", step);
        QCOMPARE(run.unfitted(), fits ? QStringList() : QStringList("EventName"));
        if (!fits)
            return;
        // Clipped words are in the text layer too, below the box. Poppler gives a right-to-left
        // word's letters in the order they are drawn.
        QString shown;
        QRectF drawn;
        for (const auto& word : Poppler::Document::load(pdf)->page(0)->textList()) {
            shown += word->text();
            drawn |= word->boundingBox();
        }
        QVERIFY2(drawn.height() < 0.45 * 72 + 1, qPrintable(QString::number(drawn.height())));
        QString words = QString(text).remove(' ');
        std::sort(shown.begin(), shown.end());
        std::sort(words.begin(), words.end());
        QCOMPARE(shown, words);
    }

    void refusesADesignWithNoneOfTheBookmarks()
    {
        const QString source = test::writeFile(
            test::tempFolder() + "/none.fodt",
            QString::fromUtf8(kHeader).arg(bookmark("Title"), "<text:p/>").toUtf8());
        const QString path = convert(source, "none.docx", "MS Word 2007 XML");
        try {
            readDesignBookmarks(path);
            QFAIL("a design without the bookmarks was taken");
        } catch (const Failure& failure) {
            QCOMPARE(failure.description(), noDesignBookmarksText(path));
            QVERIFY(failure.description().contains("OrgName, EventName, EventDate, EventTime, "
                                                   "EventAddr, EventMore"));
        }
    }

    void designCheckReadsNoMoreThanADesignNeeds_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("refusal"); // empty for a design that is taken
        const QString folder = test::tempFolder() + "/check/";
        const QByteArray spaces = "<hdr>" + QByteArray(40 << 20, ' ') + "</hdr>";
        QTest::newRow("a design's parts that its document does not refer to are not read")
            << writeDesign(folder + "unreferenced.docx", "", "", {{"word/header1.xml", "<w:hdr"}})
            << "";
        QTest::newRow("a design whose parts unpack to too much is refused")
            << writeDesign(folder + "unpacking.docx", "",
                           relationship("rId1", "header", "header1.xml", false) +
                               relationship("rId2", "footer", "/word/footer1.xml", false),
                           {{"word/header1.xml", spaces}, {"word/footer1.xml", spaces}})
            << "its parts together are too large";
        QTest::newRow("a design with more text than a flyer shows is refused")
            << writeDesign(folder + "long.odt", QString(kMaxFlyerText + 1, 'x'))
            << "holds more text than a flyer design can";
    }
    void designCheckReadsNoMoreThanADesignNeeds()
    {
        QFETCH(QString, path);
        QFETCH(QString, refusal);
        try {
            QCOMPARE(readDesignBookmarks(path).size(), 1);
            QVERIFY(refusal.isEmpty());
        } catch (const Failure& failure) {
            QVERIFY2(!refusal.isEmpty() && failure.description().contains(refusal) &&
                         failure.description().contains(path),
                     qPrintable(failure.description()));
        }
    }

    void contentLinkedOnTheWebIsNotLoaded_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("body"); // %1 the address
        const QString frame =
            R"(<draw:frame svg:width="2in" svg:height="2in"><draw:%1 xlink:href="%2"/></draw:frame>)";
        QTest::newRow("an OpenDocument design's linked picture") << "a.odt" << frame.arg("image");
        QTest::newRow("an OpenDocument design's linked object") << "b.odt" << frame.arg("object");
        QTest::newRow("a Word 2007 design's linked picture")
            << "c.docx"
            << R"(<w:r><w:drawing><wp:inline><wp:extent cx="914400" cy="914400"/><wp:docPr id="1" name="linked"/><a:graphic><a:graphicData uri="http://schemas.openxmlformats.org/drawingml/2006/picture"><pic:pic><pic:nvPicPr><pic:cNvPr id="1" name="linked"/><pic:cNvPicPr/></pic:nvPicPr><pic:blipFill><a:blip r:link="rId5"/></pic:blipFill><pic:spPr/></pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>)";
    }
    // The flyer is made without a request to the server, and the command says once that the
    // design's content on the web was left out.
    void contentLinkedOnTheWebIsNotLoaded()
    {
        QFETCH(QString, name);
        QFETCH(QString, body);
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        const QString url = QStringLiteral("http://127.0.0.1:%1/a.png").arg(server.serverPort());
        const QString design = writeDesign(test::tempFolder() + "/" + name, body.arg(url),
                                           relationship("rId5", "image", url, true));
        QString err;
        QTextStream errStream(&err);
        cli::Console console{errStream, errStream, false};
        const QString flyer = test::tempFolder() + "/linked.pdf";
        QCOMPARE(cli::runCommandLine({"lumarel", "-o", flyer, "--design", design}, console), 0);
        errStream.flush();
        QCOMPARE(err.count(webContentText(design)), 1);
        QVERIFY(QFileInfo(flyer).size() > 0);
        QVERIFY(!server.waitForNewConnection(0));
    }

    void builtInDesignFilledLiesInsideItsPage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Paper>("paper");
        for (const BuiltInDesign& design : builtInDesigns())
            for (Paper paper : {Paper::Letter, Paper::A4})
                QTest::addRow("%s on %s", design.name, qPrintable(paperName(paper)))
                    << QString::fromLatin1(design.name) << paper;
    }
    // Filled with the sample data as the flyer run fills the template, the design's texts stay
    // on its one page, clear of the paper's edges.
    void builtInDesignFilledLiesInsideItsPage()
    {
        QFETCH(QString, name);
        QFETCH(Paper, paper);
        name += "-" + paperName(paper);
        const FlyerDesign builtIn{builtInDesign(name.section('-', 0, 0)), QString(), paper};
        const QString design = test::tempFolder() + "/" + name + ".dot";
        QFile::remove(design);
        QVERIFY(QFile::copy(builtIn.resource(), design));
        QCOMPARE(readDesignBookmarks(design).size(), designBookmarkNames().size());

        EventRecord record;
        record.dtpEventDate = QDateTime(QDate(2027, 1, 15), QTime());
        record.dtpTime = QDateTime(QDate(2027, 1, 15), QTime(15, 5));
        for (const FieldSpec& field : eventFields())
            if (field.text)
                record.*field.text = QString::fromUtf8(field.sample);
        const FlyerFields fields = flyerFields(record);
        const QString texts[] = {
            orgNameText(fields.orgName),
            eventNameText(fields.eventName),
            eventDateText(fields.eventDate),
            eventTimeText(fields.eventTime),
            eventAddrText(fields.location),
            eventMoreText(fields.more, fields.infoOrg, fields.plans, fields.items)};
        const QString flyer = test::tempFolder() + "/" + name + "-filled.doc";
        openWordDocument(*m_office, design, true);
        for (int i = 0; i < designBookmarkNames().size(); ++i)
            m_office->setBookmarkText(designBookmarkNames()[i], texts[i]);
        m_office->saveAs(flyer);
        // Two flyers more from the open design, as a list makes them: each keeps every bookmark.
        for (const char* again : {"b", "c"})
            for (int i = 0; i < designBookmarkNames().size(); ++i)
                m_office->setBookmarkText(designBookmarkNames()[i], again);
        for (const QString& mark : designBookmarkNames())
            QVERIFY2(test::bookmarkNames(*m_office).contains(mark), qPrintable(mark));
        m_office->closeDocuments();

        int pages = 0;
        const QImage filled = render(flyer, &pages);
        filled.save(test::rootFolder() + "/" + name + ".png");
        QCOMPARE(pages, 1);
        const QRect written = changedArea(render(design), filled);
        // A quarter inch: no printer reaches closer to the edge.
        const int edge = kPageDotsPerMeter * 254 / 40000;
        const QRect inside = filled.rect().adjusted(edge, edge, -edge, -edge);
        QCOMPARE(written & inside, written);
        QVERIFY(written.height() > filled.height() / 4);
    }

    void ownDesignFilledAsMade_data()
    {
        // The script that writes the design, then the formatting of the .docx flyer's text.
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("design");
        QTest::addColumn<QString>("format");
        QTest::newRow("a Word design's text takes its first run, not the underline of the second")
            << kRunsDocx << "runs.docx"
            << R"(<w:b/><w:i/><w:color w:val="FF0000"/><w:sz w:val="56"/>)";
        QTest::newRow("an OpenDocument design's text takes its first span")
            << kSpansOdt << "spans.odt"
            << R"(<w:b/><w:i/><w:color w:val="0000FF"/><w:sz w:val="52"/>)";
        QTest::newRow("an OpenDocument frame that the office reads as a shape is filled too")
            << kFramedOdt << "framed.odt"
            << R"(<w:b/><w:i/><w:color w:val="0000FF"/><w:sz w:val="52"/>)";
    }
    void ownDesignFilledAsMade()
    {
        QFETCH(QString, script);
        QFETCH(QString, design);
        QFETCH(QString, format);
        design = test::tempFolder() + "/" + design;
        QCOMPARE(QProcess::execute("/usr/bin/python3", {"-c", script, design}), 0);
        const QString flyer = test::tempFolder() + "/as-made.docx";
        QString err;
        QTextStream errStream(&err);
        cli::Console console{errStream, errStream, false};
        QCOMPARE(cli::runCommandLine({"lumarel", "-o", flyer, "--design", design, "--set",
                                      "txtEventName=Spring Fair"},
                                     console),
                 0);
        const QString text = test::archivePart(flyer, "word/document.xml");
        QVERIFY2(text.contains("<w:r><w:rPr>" + format + "</w:rPr><w:t>Spring Fair</w:t></w:r>"),
                 qPrintable(text));
        // One style per name, and a reader other than the office opens the file.
        QStringList names;
        for (const auto& name : QRegularExpression("<w:name w:val=\"([^\"]*)\"")
                                    .globalMatch(test::archivePart(flyer, "word/styles.xml")))
            names << name.captured(1);
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
        QCOMPARE(QProcess::execute("abiword", {"--to=txt", "-o", flyer + ".txt", flyer}), 0);
    }

    void pageFollowsThePaper_data()
    {
        // LC_ALL, LC_PAPER, PAPERSIZE, the stored paper, then the page that pdfinfo reads.
        QTest::addColumn<QString>("design");
        QTest::addColumn<QByteArrayList>("settings");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("size");
        QTest::newRow("a German LC_PAPER gives the classic on A4")
            << "classic" << QByteArrayList{"", "de_DE.UTF-8", "letter", ""} << QStringList()
            << "595.304 x 841.89";
        QTest::newRow("LC_ALL over LC_PAPER gives the poster on Letter")
            << "poster" << QByteArrayList{"en_CA.UTF-8", "de_DE.UTF-8", "", ""} << QStringList()
            << "612 x 792";
        QTest::newRow("the system's paper without a locale gives the poster on A4")
            << "poster" << QByteArrayList{"C.UTF-8", "", "a4", ""} << QStringList()
            << "595.304 x 841.89";
        QTest::newRow("the stored paper over the system's gives the handout on A5")
            << "handout" << QByteArrayList{"", "en_US.UTF-8", "", "a4"} << QStringList()
            << "419.556 x 595.304";
        QTest::newRow("--paper over the stored paper gives the handout on half-letter")
            << "handout" << QByteArrayList{"", "", "a4", "a4"} << QStringList{"--paper", "letter"}
            << "396 x 612";
        const QString own = test::tempFolder() + "/own.dot";
        QFile::copy(":/designs/handout.dot", own);
        QTest::newRow("a design file keeps its own page")
            << own << QByteArrayList{"", "", "", ""} << QStringList{"--paper", "a4"} << "396 x 612";
    }
    // The whole command, from the settings to the page that pdfinfo reads.
    void pageFollowsThePaper()
    {
        QFETCH(QString, design);
        QFETCH(QByteArrayList, settings);
        QFETCH(QStringList, arguments);
        QFETCH(QString, size);
        const test::ScopedEnvironment environment({"LC_ALL", "LC_PAPER", "PAPERSIZE"},
                                                  settings.mid(0, 3));
        SettingsStore::save(PaperSetting::key(), QString::fromLatin1(settings[3]));
        const QString flyer = test::tempFolder() + "/paper.pdf";
        QString err;
        QTextStream errStream(&err);
        cli::Console console{errStream, errStream, false};
        QCOMPARE(cli::runCommandLine(
                     QStringList{"lumarel", "-o", flyer, "--design", design} + arguments, console),
                 0);
        QProcess pdfinfo;
        pdfinfo.start("pdfinfo", {flyer});
        QVERIFY(pdfinfo.waitForFinished(-1));
        const QString info = pdfinfo.readAllStandardOutput();
        QVERIFY2(info.contains(QRegularExpression("Page size: +" + size + " pts")),
                 qPrintable(info));
    }

    void commandsListAndCheckDesigns_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        const QString design = test::tempFolder() + "/classic.dot";
        QFile::copy(":/template.dot", design);
        const QString text = test::writeFile(test::tempFolder() + "/notes.doc", "Bring a chair.");
        QTest::newRow("the built-in designs, the default first")
            << QStringList{"--designs"} << 0 << "classic    the event's name";
        QTest::newRow("a design's bookmarks one a line, with their places")
            << QStringList{"--check-design", design} << 0
            << "OrgName    text box\nEventName  main text\nEventDate  main text\n";
        QTest::newRow("a text file named as a Word file is no design")
            << QStringList{"--check-design", text} << 2 << "notes.doc\" is not a design";
        const QString flyer = test::tempFolder() + "/flyer.pdf";
        const QString twice =
            writeDesign(test::tempFolder() + "/twice.odt", bookmark("EventName") + "again");
        QTest::newRow("a bookmark named twice is named by the check")
            << QStringList{"--check-design", twice} << 2
            << "holds the bookmark EventName more than once";
        const QString shape = writeDesign(test::tempFolder() + "/shape.odt",
                                          "<draw:custom-shape><text:p>" + bookmark("OrgName") +
                                              "</text:p></draw:custom-shape>");
        QTest::newRow("a bookmark in a drawn shape's text, which is never filled, is refused")
            << QStringList{"--check-design", shape} << 2
            << "holds the bookmark OrgName in the text of a drawn shape";
        QTest::newRow("an unknown design name is bad usage")
            << QStringList{"--output", flyer, "--design", "fancy"} << 2
            << "--design fancy: There is no built-in design named \"fancy\"";
        QTest::newRow("a file that is no design is bad usage")
            << QStringList{"--batch", text, "--output-dir", test::tempFolder(), "--design", text}
            << 2 << "notes.doc\" is not a design";
        QTest::newRow("a paper the designs are not made for is bad usage")
            << QStringList{"--output", flyer, "--paper", "legal"} << 2
            << "--paper legal: there is no such paper; the papers are a4, letter.";
        QTest::newRow("a design is for the flyers only")
            << QStringList{"--designs", "--design", "poster"} << 2
            << "--design cannot be used with --designs";
        QTest::newRow("one command at a time") << QStringList{"--designs", "--check-design", text}
                                               << 2 << "--designs and --check-design cannot";
    }
    void commandsListAndCheckDesigns()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, said);
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        cli::Console console{outStream, errStream, false};
        QCOMPARE(cli::runCommandLine(QStringList{"lumarel"} + arguments, console), status);
        outStream.flush();
        errStream.flush();
        QVERIFY2((out + err).contains(said), qPrintable(out + err));
    }
};

LUMAREL_TEST_GUILESS_MAIN(TestDesigns)
#include "tst_designs.moc"
