#include "TestEnvironment.h"

#include "flyer/DateTexts.h"

#include <QLocale>
#include <QScopeGuard>

using namespace lumarel;

class DateTextsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void ordinalDay_data()
    {
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1 takes st") << "1"
                                    << "1st";
        QTest::newRow("2 takes nd") << "2"
                                    << "2nd";
        QTest::newRow("3 takes rd") << "3"
                                    << "3rd";
        QTest::newRow("4 takes th") << "4"
                                    << "4th";
        QTest::newRow("10 takes th") << "10"
                                     << "10th";
        QTest::newRow("11 takes th") << "11"
                                     << "11th";
        QTest::newRow("12 takes th") << "12"
                                     << "12th";
        QTest::newRow("13 takes th") << "13"
                                     << "13th";
        QTest::newRow("14 takes th") << "14"
                                     << "14th";
        QTest::newRow("20 takes th") << "20"
                                     << "20th";
        QTest::newRow("21 takes st") << "21"
                                     << "21st";
        QTest::newRow("22 takes nd") << "22"
                                     << "22nd";
        QTest::newRow("23 takes rd") << "23"
                                     << "23rd";
        QTest::newRow("24 takes th") << "24"
                                     << "24th";
        QTest::newRow("30 takes th") << "30"
                                     << "30th";
        QTest::newRow("31 takes st") << "31"
                                     << "31st";
        QTest::newRow("spaces around are removed") << "  7 "
                                                   << "7th";
        QTest::newRow("a tab is not a space") << "\t7"
                                              << "";
        QTest::newRow("a line break is not a space") << "7\n"
                                                     << "";
        QTest::newRow("a leading zero gives nothing") << "07"
                                                      << "";
        QTest::newRow("the empty text gives nothing") << ""
                                                      << "";
        QTest::newRow("only spaces give nothing") << "   "
                                                  << "";
        QTest::newRow("0 gives nothing") << "0"
                                         << "";
        QTest::newRow("32 gives nothing") << "32"
                                          << "";
        QTest::newRow("a sign gives nothing") << "+5"
                                              << "";
        QTest::newRow("a minus gives nothing") << "-1"
                                               << "";
        QTest::newRow("letters give nothing") << "5a"
                                              << "";
        QTest::newRow("a space inside gives nothing") << "1 2"
                                                      << "";
        QTest::newRow("a decimal point gives nothing") << "1.0"
                                                       << "";
        QTest::newRow("other digits give nothing") << QString::fromUtf8("\u0661") << "";
    }

    void ordinalDay()
    {
        QFETCH(QString, day);
        QFETCH(QString, expected);
        QCOMPARE(fnDay(day), expected);
    }

    void eventDate_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("expected");
        QTest::newRow("15 January 2027") << QDate(2027, 1, 15) << "Friday, January 15th, 2027";
        QTest::newRow("1 March 2030") << QDate(2030, 3, 1) << "Friday, March 1st, 2030";
        QTest::newRow("22 December 2031") << QDate(2031, 12, 22) << "Monday, December 22nd, 2031";
        QTest::newRow("the last day of a 31-day month")
            << QDate(2027, 7, 31) << "Saturday, July 31st, 2027";
        QTest::newRow("30 April") << QDate(2027, 4, 30) << "Friday, April 30th, 2027";
        QTest::newRow("11th, not 11st") << QDate(2026, 11, 11) << "Wednesday, November 11th, 2026";
        QTest::newRow("a year below 1000 keeps four digits")
            << QDate(999, 5, 3) << "Friday, May 3rd, 0999";
    }

    void eventDate()
    {
        QFETCH(QDate, date);
        QFETCH(QString, expected);
        QCOMPARE(fnEventDate(date), expected);
    }

    void eventTime_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("expected");
        QTest::newRow("15:05 keeps the leading zero of the minutes") << QTime(15, 5) << "3:05 PM";
        QTest::newRow("15:00 on the full hour has no minutes") << QTime(15, 0) << "3 PM";
        QTest::newRow("9:30 in the morning") << QTime(9, 30) << "9:30 AM";
        QTest::newRow("midnight is 12 AM") << QTime(0, 0) << "12 AM";
        QTest::newRow("just after midnight") << QTime(0, 7) << "12:07 AM";
        QTest::newRow("noon is 12 PM") << QTime(12, 0) << "12 PM";
        QTest::newRow("after noon") << QTime(12, 45) << "12:45 PM";
        QTest::newRow("seconds are ignored") << QTime(23, 59, 58) << "11:59 PM";
        QTest::newRow("the last minute of the morning") << QTime(11, 59) << "11:59 AM";
    }

    void eventTime()
    {
        QFETCH(QTime, time);
        QFETCH(QString, expected);
        QCOMPARE(fnEventTime(time), expected);
    }

    void otherLanguagesWriteTheirOwnForms_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        const auto row = [](const char* name, const char* locale, QString date, QString time) {
            QTest::newRow(name) << QString(locale) << date << time;
        };
        row("US English keeps the English forms", "en_US", "Friday, January 15th, 2027", "6:30 PM");
        row("British English keeps them too", "en_GB", "Friday, January 15th, 2027", "6:30 PM");
        row("German writes the day with a point", "de_DE", "Freitag, 15. Januar 2027", "18:30");
        row("French writes its names in lower case", "fr_FR", "vendredi 15 janvier 2027", "18:30");
        row("Spanish joins the parts with de", "es_ES", "viernes, 15 de enero de 2027", "18:30");
        row("Egyptian Arabic writes its own digits and clock", "ar_EG",
            QString::fromUtf16(u"\u0627\u0644\u062C\u0645\u0639\u0629\u060C \u0661\u0665 "
                               u"\u064A\u0646\u0627\u064A\u0631 \u0662\u0660\u0662\u0667"),
            QString::fromUtf16(u"\u0666:\u0663\u0660 \u0645"));
    }

    void otherLanguagesWriteTheirOwnForms()
    {
        QFETCH(QString, locale);
        QFETCH(QString, date);
        QFETCH(QString, time);
        QCOMPARE(fnEventDate(QDate(2027, 1, 15), QLocale(locale)), date);
        QCOMPARE(fnEventTime(QTime(18, 30, 59), QLocale(locale)), time);
    }

    void theTimeSettingsChooseTheLocale_data()
    {
        // LANG, LC_TIME and LC_ALL, then the date and the time written.
        QTest::addColumn<QByteArrayList>("settings");
        QTest::addColumn<QString>("written");
        const QString english = "Friday, January 15th, 2027 6:30 PM";
        const QString german = "Freitag, 15. Januar 2027 18:30";
        QTest::newRow("LC_TIME over LANG")
            << QByteArrayList{"en_US.UTF-8", "de_DE.UTF-8", ""} << german;
        QTest::newRow("English LC_TIME under German")
            << QByteArrayList{"de_DE", "en_US.UTF-8", ""} << english;
        QTest::newRow("LC_ALL over both")
            << QByteArrayList{"en_US", "en_GB", "de_DE@euro"} << german;
        QTest::newRow("POSIX, or nothing, is C") << QByteArrayList{"de_DE", "POSIX", ""} << english;
    }

    void theTimeSettingsChooseTheLocale()
    {
        QFETCH(QByteArrayList, settings);
        QFETCH(QString, written);
        const test::ScopedEnvironment environment({"LANG", "LC_TIME", "LC_ALL"}, settings);
        const QLocale locale = timeLocale();
        QCOMPARE(fnEventDate(QDate(2027, 1, 15), locale) + ' ' + fnEventTime(QTime(18, 30), locale),
                 written);
    }
};

LUMAREL_TEST_GUILESS_MAIN(DateTextsTest)
#include "tst_datetexts.moc"
