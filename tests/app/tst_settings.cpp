#include "TestEnvironment.h"

#include "app/Failure.h"
#include "app/SettingsStore.h"

#include <QFile>

using namespace lumarel;

class SettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void storeLivesInTheIsolatedConfigFolder()
    {
        QCOMPARE(SettingsStore::filePath(), test::configFolder() + "/Quenwick.ini");
    }

    void valuesRoundTripExactly_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("plain text") << QStringLiteral("Brantwell MA");
        QTest::newRow("CR LF line breaks") << QStringLiteral("9th Annual\r\nTaco Eating Contest\r\n");
        QTest::newRow("lone CR and LF") << QStringLiteral("a\rb\nc");
        QTest::newRow("commas and quotes") << QStringLiteral("Tacos, beans, \"salsa\"; = [x]");
        QTest::newRow("leading at sign") << QStringLiteral("@Variant(nothing)");
        QTest::newRow("backslashes and spaces") << QStringLiteral("  C:\\path\\ \t end  ");
        QTest::newRow("accents and CJK") << QStringLiteral("Café Müller – 東京");
        QTest::newRow("astral plane") << QString::fromUtf8("Party \xF0\x9F\x8C\xAE\xF0\x9D\x84\x9E");
        QTest::newRow("empty") << QString();
        QTest::newRow("100 000 characters") << QString(100000, QLatin1Char('x')).replace(500, 2, "\r\n");
    }

    void valuesRoundTripExactly()
    {
        QFETCH(QString, value);
        SettingsStore::save("txtMore", value);
        QCOMPARE(SettingsStore::get("txtMore", "missing"), value);
    }

    void emptyTextIsStoredNotRemoved()
    {
        SettingsStore::save("txtItems", "something");
        SettingsStore::save("txtItems", QString());
        QCOMPARE(SettingsStore::get("txtItems", "missing"), QString());
    }

    void everyWriteIsOnDiskAtOnce()
    {
        SettingsStore::save("txtLocation", "abc");
        QFile file(SettingsStore::filePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(content.contains("[Lumarel]"));
        QVERIFY(content.contains("txtLocation=abc"));
    }

    void missingKeyGivesItsDefault()
    {
        QCOMPARE(SettingsStore::get("neverWritten"), QString());
        QCOMPARE(SettingsStore::get("neverWritten", "fallback"), QStringLiteral("fallback"));
    }

    void datesRoundTripWithoutTheLocale_data()
    {
        QTest::addColumn<QDateTime>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("midnight stores the date alone")
            << QDateTime(QDate(2087, 3, 1), QTime(0, 0)) << "2087-03-01";
        QTest::newRow("a time of day is appended")
            << QDateTime(QDate(2026, 12, 8), QTime(15, 5, 9)) << "2026-12-08 15:05:09";
        QTest::newRow("earliest picker date") << QDateTime(QDate(1601, 1, 1), QTime(0, 0)) << "1601-01-01";
        QTest::newRow("latest picker date")
            << QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59)) << "9999-12-31 23:59:59";
    }

    void datesRoundTripWithoutTheLocale()
    {
        QFETCH(QDateTime, value);
        QFETCH(QString, text);
        QCOMPARE(SettingsStore::dateToText(value), text);
        QCOMPARE(SettingsStore::textToDate(text), value);
    }

    void textThatIsNotADateFails_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("words") << "next Friday";
        QTest::newRow("locale short date") << "15/01/27";
        QTest::newRow("impossible day") << "2027-02-30";
        QTest::newRow("trailing junk") << "2027-01-15x";
    }

    void textThatIsNotADateFails()
    {
        QFETCH(QString, text);
        QVERIFY_THROWS_EXCEPTION(Failure, SettingsStore::textToDate(text));
    }
};

LUMAREL_TEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
