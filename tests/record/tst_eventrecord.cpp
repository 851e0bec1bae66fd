#include "TestEnvironment.h"

#include "app/Dialogs.h"
#include "app/SettingsStore.h"
#include "details/FieldWriter.h"
#include "record/EventRecord.h"

#include <QDir>
#include <QFile>

using namespace lumarel;

namespace {

void clearStore()
{
    const QString path = SettingsStore::filePath();
    QDir(path).removeRecursively();
    QFile::remove(path);
}

// A folder where the settings file should be: no one, root included, can write the file.
void breakStore()
{
    clearStore();
    QDir().mkpath(SettingsStore::filePath());
}

} // namespace

class EventRecordTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        clearStore();
        Dialogs::takeShown();
    }

    void editorLineBreaksBecomeCrLf_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("record");
        QTest::newRow("a paragraph break") << u"9th Annual\u2029Taco"_qs << "9th Annual\r\nTaco";
        QTest::newRow("a line break inside a paragraph") << u"a\u2028b"_qs << "a\r\nb";
        QTest::newRow("a trailing empty line") << u"a\u2029"_qs << "a\r\n";
        QTest::newRow("non-breaking spaces stay") << u"5\u00a0pm"_qs << u"5\u00a0pm"_qs;
        QTest::newRow("no break") << "Brantwell MA"
                                  << "Brantwell MA";
    }

    void editorLineBreaksBecomeCrLf()
    {
        QFETCH(QString, editor);
        QFETCH(QString, record);
        QCOMPARE(recordTextFromEditor(editor), record);
    }

    void recordLineBreaksBecomeOneEditorBreak_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("editor");
        QTest::newRow("CR LF") << "9th Annual\r\nTaco"
                               << "9th Annual\nTaco";
        QTest::newRow("two CR LF make an empty line") << "a\r\n\r\nb"
                                                      << "a\n\nb";
        QTest::newRow("a lone CR") << "a\rb"
                                   << "a\nb";
        QTest::newRow("a lone LF") << "a\nb"
                                   << "a\nb";
        QTest::newRow("LF CR is two breaks") << "a\n\rb"
                                             << "a\n\nb";
    }

    void recordLineBreaksBecomeOneEditorBreak()
    {
        QFETCH(QString, record);
        QFETCH(QString, editor);
        QCOMPARE(editorTextFromRecord(record), editor);
    }

    void theTableKnowsEveryControlName()
    {
        QCOMPARE(eventFields().size(), std::size_t(9));
        for (const FieldSpec& field : eventFields())
            QCOMPARE(eventField(QLatin1String(field.name)), &field);
        QCOMPARE(eventField("PushButton6"), nullptr);
        QCOMPARE(eventField("txtlocation"), nullptr);
    }

    void writerWritesOnlyChanges()
    {
        FieldWriter writer;
        writer.hold("txtOrgName", "Quenwick");
        writer.changed("txtOrgName", "Quenwick");
        QCOMPARE(SettingsStore::get("txtOrgName", "missing"), QStringLiteral("missing"));
        writer.changed("txtOrgName", "Quen");
        QCOMPARE(SettingsStore::get("txtOrgName"), QStringLiteral("Quen"));
        writer.changed("txtPlans", QString()); // never held: the empty text is written too
        QCOMPARE(SettingsStore::get("txtPlans", "missing"), QString());
        QVERIFY(Dialogs::takeShown().isEmpty());
    }

    void writeFailureIsReportedOnceUntilAWriteSucceeds()
    {
        FieldWriter writer;
        breakStore();
        writer.changed("txtLocation", "a");
        writer.changed("txtLocation", "ab");
        writer.changed("txtItems", "x");
        QList<ShownMessage> shown = Dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].text.startsWith("The event details could not be saved."));
        QVERIFY2(shown[0].text.contains(SettingsStore::filePath()), qPrintable(shown[0].text));
        QCOMPARE(shown[0].icon, MessageIcon::Warning);
        QVERIFY(writer.failing());

        clearStore();
        writer.changed("txtLocation", "abc");
        QCOMPARE(SettingsStore::get("txtLocation"), QStringLiteral("abc"));
        QVERIFY(!writer.failing());

        breakStore();
        writer.changed("txtLocation", "abcd");
        QCOMPARE(Dialogs::takeShown().size(), 1);
        clearStore();
    }
};

LUMAREL_TEST_GUILESS_MAIN(EventRecordTest)
#include "tst_eventrecord.moc"
