// GLib's headers come before Qt's: they use names that Qt defines as macros.
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>

#include "TestEnvironment.h"
#include "TestFiles.h"

#include "app/Failure.h"
#include "word97/WordBookmarks.h"
#include "word97/WordParagraphs.h"
#include "word97/WordShapes.h"
#include "wordimport/DocumentUnits.h"

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QtEndian>

using namespace lumarel;

Q_DECLARE_METATYPE(lumarel::Story)

namespace {

using Streams = QMap<QString, QByteArray>;

// A file in the test's temporary folder.
QString writeFile(const QString& name, const QByteArray& bytes)
{
    return test::writeFile(test::tempFolder() + "/" + name, bytes);
}

QByteArray resourceBytes(const QString& name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the resource %s is missing", qPrintable(name));
    return file.readAll();
}

QString templatePath()
{
    return writeFile("template.dot", resourceBytes(":/template.dot"));
}

// The streams of a compound file, read with the same library as the reader but independently.
Streams readStreams(const QString& path)
{
    GsfInput* input = gsf_input_stdio_new(QFile::encodeName(path).constData(), nullptr);
    GsfInfile* file = gsf_infile_msole_new(input, nullptr);
    g_object_unref(input);
    if (!file)
        qFatal("%s is not a compound file", qPrintable(path));
    Streams streams;
    for (int i = 0; i < gsf_infile_num_children(file); ++i) {
        GsfInput* child = gsf_infile_child_by_index(file, i);
        QByteArray bytes(gsf_input_size(child), Qt::Uninitialized);
        if (gsf_infile_num_children(GSF_INFILE(child)) < 0 &&
            gsf_input_read(child, bytes.size(), reinterpret_cast<guint8*>(bytes.data())))
            streams.insert(QString::fromUtf8(gsf_infile_name_by_index(file, i)), bytes);
        g_object_unref(child);
    }
    g_object_unref(file);
    return streams;
}

QString writeCompoundFile(const QString& name, const Streams& streams)
{
    const QString path = test::tempFolder() + "/" + name;
    GsfOutput* output = gsf_output_stdio_new(QFile::encodeName(path).constData(), nullptr);
    GsfOutfile* file = gsf_outfile_msole_new(output);
    g_object_unref(output);
    for (auto it = streams.begin(); it != streams.end(); ++it) {
        GsfOutput* child = gsf_outfile_new_child(file, it.key().toUtf8().constData(), false);
        gsf_output_write(child, it.value().size(),
                         reinterpret_cast<const guint8*>(it.value().constData()));
        gsf_output_close(child);
        g_object_unref(child);
    }
    gsf_output_close(GSF_OUTPUT(file));
    g_object_unref(file);
    return path;
}

// Offsets in the Word 97 file information block.
constexpr int kFlagsOffset = 0x0A;
constexpr int kSttbfBkmkOffset = 0x142;
constexpr int kPlcfBklLengthOffset = 0x156;
constexpr int kPlcSpaMomOffset = 0x1DA;
constexpr int kDggInfoOffset = 0x22A;

void put16(QByteArray& bytes, int offset, quint16 value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

void put32(QByteArray& bytes, int offset, quint32 value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

QString fontFor(const QString& fontsConf, const QString& family)
{
    QProcess fcMatch;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("FONTCONFIG_FILE", fontsConf);
    fcMatch.setProcessEnvironment(environment);
    fcMatch.start("fc-match", {"--format=%{family[0]}|%{weight}", family});
    if (!fcMatch.waitForFinished(60000) || fcMatch.exitCode() != 0)
        qFatal("fc-match failed");
    return QString::fromUtf8(fcMatch.readAllStandardOutput());
}

} // namespace

class TemplateTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gsf_init(); }

    void embeddedTemplateIsACompoundFile()
    {
        const QByteArray bytes = resourceBytes(":/template.dot");
        QCOMPARE(bytes.left(8), QByteArray::fromHex("D0CF11E0A1B11AE1"));
    }

    void templateHoldsTheSixEmptyBookmarks()
    {
        const QList<WordBookmark> marks = readWordBookmarks(templatePath());
        QMap<QString, WordBookmark> byName;
        for (const WordBookmark& mark : marks)
            byName.insert(mark.name, mark);
        QCOMPARE(byName.keys(), QStringList({"EventAddr", "EventDate", "EventMore", "EventName",
                                             "EventTime", "OrgName"}));
        for (const WordBookmark& mark : marks)
            QVERIFY2(mark.start == mark.end, qPrintable(mark.name + " is not empty"));

        const WordBookmark orgName = byName["OrgName"];
        QCOMPARE(orgName.story, Story::TextBox);
        QCOMPARE(orgName.textBox, 0);
        QCOMPARE(orgName.start, 0);

        // The main text: the text box's anchor and its paragraph end, the event name's
        // paragraph, an empty one, date, space, time, line break, address, three empty
        // paragraphs, then the long text.
        const QList<std::pair<QString, int>> places = {{"EventName", 2},
                                                       {"EventDate", 4},
                                                       {"EventTime", 5},
                                                       {"EventAddr", 6},
                                                       {"EventMore", 10}};
        for (const auto& [name, place] : places) {
            QCOMPARE(byName[name].story, Story::Main);
            QCOMPARE(byName[name].start, place);
        }
    }

    void notAWordFileFails_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("cause");

        const QByteArray dot = resourceBytes(":/template.dot");
        const Streams streams = readStreams(templatePath());
        const QString tableName = streams.contains("1Table") ? "1Table" : "0Table";

        QTest::newRow("a missing file") << test::tempFolder() + "/missing.dot"
                                        << "No such file";
        QTest::newRow("an empty file") << writeFile("empty.dot", {}) << "not an OLE compound";
        QTest::newRow("a text file")
            << writeFile("text.dot", "This is only text, written to look like a template.\n")
            << "not an OLE compound";
        QTest::newRow("a template cut after its first kilobyte")
            << writeFile("cut.dot", dot.left(1024)) << "not an OLE compound";
        QTest::newRow("a template cut in half")
            << writeFile("half.dot", dot.left(dot.size() / 2)) << "not an OLE compound";
        QTest::newRow("a compound file without a Word document in it")
            << writeCompoundFile("book.xls", {{"Workbook", QByteArray(4096, 'x')}})
            << "has no WordDocument stream";

        Streams noTable = streams;
        noTable.remove(tableName);
        QTest::newRow("a Word file without its table stream")
            << writeCompoundFile("notable.dot", noTable) << "has no " + tableName + " stream";

        Streams shortFib = streams;
        shortFib["WordDocument"] = shortFib["WordDocument"].left(0x100);
        QTest::newRow("a file information block cut short")
            << writeCompoundFile("shortfib.dot", shortFib) << "cut short";

        Streams wrongSignature = streams;
        put16(wrongSignature["WordDocument"], 0, 0x1234);
        QTest::newRow("a wrong signature")
            << writeCompoundFile("signature.dot", wrongSignature) << "not a Word document";

        Streams encrypted = streams;
        const quint16 flags =
            qFromLittleEndian<quint16>(encrypted["WordDocument"].constData() + kFlagsOffset);
        put16(encrypted["WordDocument"], kFlagsOffset, flags | 0x0100);
        QTest::newRow("an encrypted document")
            << writeCompoundFile("encrypted.dot", encrypted) << "encrypted";

        Streams namesOutside = streams;
        put32(namesOutside["WordDocument"], kSttbfBkmkOffset, streams[tableName].size() - 2);
        QTest::newRow("bookmark names placed past the end of the table stream")
            << writeCompoundFile("outside.dot", namesOutside) << "outside the table stream";

        Streams fewerEnds = streams;
        put32(fewerEnds["WordDocument"], kPlcfBklLengthOffset, 4 * 3);
        QTest::newRow("bookmark ends missing from their table")
            << writeCompoundFile("fewerends.dot", fewerEnds) << "is missing";

        Streams noTables = streams;
        noTables[tableName] = QByteArray(16, '\0');
        QTest::newRow("a table stream emptied")
            << writeCompoundFile("emptied.dot", noTables) << "outside the table stream";
    }

    void notAWordFileFails()
    {
        QFETCH(QString, path);
        QFETCH(QString, cause);
        try {
            readWordBookmarks(path);
            QFAIL("no failure");
        } catch (const Failure& failure) {
            QVERIFY2(failure.description().contains(path), qPrintable(failure.description()));
            QVERIFY2(failure.description().contains(cause), qPrintable(failure.description()));
        }
    }

    void templateHoldsItsOwnStylesOnly()
    {
        // Word's built-in styles under their ids (66 is Body Text), then the template's own two.
        const WordParagraphs read = readWordParagraphs(templatePath());
        QStringList styles;
        for (const WordStyle& style : read.styles)
            if (!style.name.isEmpty())
                styles << QString("%1 %2").arg(style.builtInId).arg(style.name);
        QCOMPARE(styles, (QStringList{"0 Normal", "1 Heading 1", "2 Heading 2", "3 Heading 3",
                                      "66 Text Body", "4094 Spacer", "4094 Event Date"}));
    }

    void unitsConvert_data()
    {
        QTest::addColumn<int>("converted");
        QTest::addColumn<int>("expected");
        QTest::newRow("1 pt of letter spacing is 20 twips") << pointsToTwips(1) << 20;
        QTest::newRow("20 twips are 35 hundredths of a millimetre") << twipsToHundredthMm(20) << 35;
        QTest::newRow("35 hundredths of a millimetre are 20 twips") << hundredthMmToTwips(35) << 20;
        QTest::newRow("an inch of EMU is 2540 hundredths of a millimetre")
            << emuToHundredthMm(914400) << 2540;
        QTest::newRow("the strip's 13140 twips are 23178 hundredths of a millimetre")
            << twipsToHundredthMm(13140) << 23178;
    }

    void unitsConvert()
    {
        QFETCH(int, converted);
        QFETCH(int, expected);
        QCOMPARE(converted, expected);
    }

    void templateHoldsTheOrgNameStrip()
    {
        WordShape strip;
        strip.id = readWordShapes(templatePath()).value(0).id;
        strip.left = 763;
        strip.top = 835;
        strip.right = 2322;
        strip.bottom = 13974;
        strip.horizontalTo = strip.verticalTo = ShapeRelation::Page;
        strip.textBox = 0;
        strip.textLeft = strip.textTop = strip.textRight = strip.textBottom = 0;
        strip.wrapLeft = strip.wrapRight = 0;
        strip.textFlow = 2; // bottom to top
        strip.line = false;
        QCOMPARE(readWordShapes(templatePath()), QList<WordShape>{strip});
    }

    void damagedShapeRecordsFail_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("cause");
        const Streams streams = readStreams(templatePath());
        const QString tableName = streams.contains("1Table") ? "1Table" : "0Table";
        const auto changed = [&](const QString& name, int offset, quint32 value) {
            Streams damaged = streams;
            put32(damaged["WordDocument"], offset, value);
            return writeCompoundFile(name, damaged);
        };

        QTest::newRow("anchors past the end of the table stream")
            << changed("anchors.dot", kPlcSpaMomOffset, streams[tableName].size())
            << "outside the table stream";
        QTest::newRow("an anchor table of a wrong size")
            << changed("anchorsize.dot", kPlcSpaMomOffset + 4, 27) << "wrong size";
        QTest::newRow("a drawing cut short")
            << changed("drawing.dot", kDggInfoOffset + 4, 40) << "cut short";

        // A drawing of containers nested deeper than any real one, and one whose shape claims
        // more properties than it holds.
        const auto withDrawing = [&](const QString& name, const QByteArray& drawing) {
            Streams damaged = streams;
            put32(damaged["WordDocument"], kDggInfoOffset, damaged[tableName].size());
            put32(damaged["WordDocument"], kDggInfoOffset + 4, drawing.size());
            damaged[tableName] += drawing;
            return writeCompoundFile(name, damaged);
        };
        const auto record = [](quint16 versionAndInstance, quint16 type, const QByteArray& body) {
            QByteArray bytes(8, '\0');
            put16(bytes, 0, versionAndInstance);
            put16(bytes, 2, type);
            put32(bytes, 4, body.size());
            return bytes + body;
        };
        QByteArray nested;
        for (int i = 0; i < 100; ++i)
            nested = record(0xF, 0xF003, nested);
        const QByteArray start = record(0xF, 0xF000, {}) + QByteArray(1, '\0');
        QTest::newRow("containers nested too deep")
            << withDrawing("deep.dot", start + record(0xF, 0xF002, nested)) << "nests too deep";
        const QByteArray shape = record(0xF, 0xF004,
                                        record(0x2, 0xF00A, QByteArray(8, '\0')) +
                                            record(0x3 | 50 << 4, 0xF00B, QByteArray(12, '\0')));
        QTest::newRow("more properties than the shape holds")
            << withDrawing("properties.dot", start + record(0xF, 0xF002, shape))
            << "properties of a shape are cut short";
    }

    void damagedShapeRecordsFail()
    {
        QFETCH(QString, path);
        QFETCH(QString, cause);
        try {
            readWordShapes(path);
            QFAIL("no failure");
        } catch (const Failure& failure) {
            QVERIFY2(failure.description().contains(path), qPrintable(failure.description()));
            QVERIFY2(failure.description().contains(cause), qPrintable(failure.description()));
        }
    }

    void fontAliasesPickTheStandIns_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("standIn");
        QTest::newRow("Arial is Liberation Sans") << "Arial"
                                                  << "Liberation Sans|80";
        QTest::newRow("Arial Black is bold DejaVu Sans") << "Arial Black"
                                                         << "DejaVu Sans|200";
        QTest::newRow("Garamond is EB Garamond") << "Garamond"
                                                 << "EB Garamond|80";
        QTest::newRow("Tahoma is Wine's Tahoma") << "Tahoma"
                                                 << "Tahoma|80";
        QTest::newRow("Times New Roman is Liberation Serif") << "Times New Roman"
                                                             << "Liberation Serif|80";
        QTest::newRow("Symbol is Wine's Symbol") << "Symbol"
                                                 << "Symbol|80";
    }

    void fontAliasesPickTheStandIns()
    {
        QFETCH(QString, family);
        QFETCH(QString, standIn);
        const QString fontsConf = writeFile("fonts.conf", resourceBytes(":/fonts.conf"));
        QCOMPARE(fontFor(fontsConf, family), standIn);
    }

    void fontAliasesAreNeededForTahoma()
    {
        // Without the aliases the system falls back to another face: the check above is not
        // passing by accident.
        QVERIFY(!fontFor("/etc/fonts/fonts.conf", "Tahoma").startsWith("Tahoma|"));
    }
};

LUMAREL_TEST_GUILESS_MAIN(TemplateTest)
#include "tst_template.moc"
