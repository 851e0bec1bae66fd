// Flyer lists as people write them: each case a CSV text and what its last row makes.
#include "TestEnvironment.h"

#include "app/SettingsStore.h"
#include "cli/FlyerDetails.h"
#include "cli/FlyerList.h"

using namespace lumarel;
using namespace lumarel::cli;

class FlyerListTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SettingsStore::save("txtLocation", "Stored Street");
        SettingsStore::save("dtpEventDate", "2027-01-15");
    }

    // `made` is what the last row makes: "file|org|event|location|date", or its problem.
    void lastRowMakes_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("made");
        QTest::newRow("plain values, stored ones for missing columns")
            << QByteArray("name,txtOrgName,txtEventName\nfair,Quenwick,Spring Fair\n")
            << "fair.pdf|Quenwick|Spring Fair|Stored Street|2027-01-15";
        QTest::newRow("quotes, commas and doubled quotes")
            << QByteArray("txtOrgName,txtEventName\n\"A, B & Co\",\"The \"\"Big\"\" Day\"\n")
            << "flyer-2.pdf|A, B & Co|The \"Big\" Day|Stored Street|2027-01-15";
        QTest::newRow("line breaks inside quotes become CR LF, rows counted as records")
            << QByteArray("txtEventName\r\n\"one\r\ntwo\"\r\n\"three\nfour\"\r\n")
            << "flyer-3.pdf||three\r\nfour|Stored Street|2027-01-15";
        QTest::newRow("byte-order mark before the header")
            << QByteArray("\xEF\xBB\xBFtxtLocation,dtpEventDate\nCafé Müller,2027-06-01 18:30:00\n")
            << "flyer-2.pdf|||Café Müller|2027-06-01";
        QTest::newRow("blanks and a stray quote are kept")
            << QByteArray("txtOrgName\n  5\" wide  \n")
            << "flyer-2.pdf|  5\" wide  ||Stored Street|2027-01-15";
        QTest::newRow("bad date") << QByteArray("dtpEventDate\n2027-02-30\n")
                                  << "dtpEventDate: \"2027-02-30\" is not a date";
        QTest::newRow("unknown column")
            << QByteArray("txtOrgName,colour\nA,red\n") << "unknown column \"colour\"";
        QTest::newRow("too many values")
            << QByteArray("txtOrgName\nA,B\n") << "2 values where the header names 1 columns";
        QTest::newRow("quoted value never closed")
            << QByteArray("txtOrgName\nA\n\"B\nC\n")
            << "line 3: the list cannot be read from here on: a quoted value is not closed";
        QTest::newRow("rows are named by their line, past blank lines and quoted line breaks")
            << QByteArray("txtEventName,dtpEventDate\n\n\"a\nb\",2027-01-01\n\nx,soon\n")
            << "line 6: dtpEventDate: \"soon\" is not a date";
        QTest::newRow("a header that is not UTF-8")
            << QByteArray("txt\xE9\n") << "the first line is not UTF-8 text";
        QTest::newRow("not UTF-8")
            << QByteArray("txtOrgName\n\xE9t\xE9\n") << "\"txtOrgName\" is not UTF-8 text";
        QTest::newRow("hostile name loses its folders and its leading dots")
            << QByteArray("name\n../../.ssh/authorized_keys\n") << "_.._.ssh_authorized_keys.pdf||";
        QTest::newRow("name of refused characters and an extension")
            << QByteArray("name\n\"..a:b*c?\t\x7f.PDF\"\n") << "a_b_c___.pdf||";
        QTest::newRow("name of dots only falls back to the row")
            << QByteArray("name\n...\n") << "flyer-2.pdf||";
        QTest::newRow("name of 251 bytes and its extension is taken whole")
            << "name\n" + QByteArray(249, 'n') + "\xC3\xA9\n"
            << QString(249, 'n') + u"\u00e9.pdf||"_qs;
        QTest::newRow("name longer than a file name may be is refused, naming the row")
            << "name,txtOrgName\n" + QByteArray(249, 'n') + "\xC3\xA9\xC3\xA9,Org\n"
            << "line 2: name: the name would make a file name of 257 bytes";
    }

    void lastRowMakes()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QString, made);
        const FlyerList list = parseFlyerList(csv);
        QString result = list.headerProblem;
        if (result.isEmpty()) {
            QVERIFY(!list.rows.isEmpty());
            const ListRow& row = list.rows.back();
            const RowFlyer flyer = rowFlyer(row, storedTexts(), "pdf");
            const FlyerFields& f = flyer.fields;
            result = flyer.problem.isEmpty()
                         ? QStringList{flyer.fileName, f.orgName, f.eventName, f.location,
                                       f.eventDate.toString(Qt::ISODate)}
                               .join('|')
                         : QString("line %1: %2").arg(row.line).arg(flyer.problem);
        }
        QVERIFY2(result.contains(made), qPrintable(result));
    }
};

LUMAREL_TEST_GUILESS_MAIN(FlyerListTest)
#include "tst_flyerlist.moc"
