#include "flyer/DateTexts.h"

#include <QLocale>

namespace lumarel {

namespace {

// The first letter of every word upper case, all other letters lower case.
QString properCase(const QString& text, const QLocale& locale)
{
    QString result;
    result.reserve(text.size());
    bool wordStart = true;
    for (const QChar c : text) {
        if (c.isLetter()) {
            result += wordStart ? locale.toUpper(QString(c)) : locale.toLower(QString(c));
            wordStart = false;
        } else {
            result += c;
            wordStart = !c.isDigit() && c != QLatin1Char('\'');
        }
    }
    return result;
}

// The English forms are kept for every English variant; C is what a system without language
// settings reports.
bool writesEnglish(const QLocale& locale)
{
    return locale.language() == QLocale::English || locale.language() == QLocale::C;
}

// The locale's long date without a time zone or era, as its own speakers write an event date.
QString localDate(const QDate& date, const QLocale& locale)
{
    return locale.toString(date, QLocale::LongFormat);
}

} // namespace

QLocale timeLocale()
{
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (value.isEmpty())
            continue;
        // "de_DE.UTF-8@euro": the codeset and the modifier say nothing of the language.
        const QString name = value.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
        if (name == QLatin1String("C") || name == QLatin1String("POSIX"))
            return QLocale::c();
        return QLocale(name);
    }
    return QLocale::c();
}

QString fnDay(const QString& day)
{
    // Spaces only: a tab or a line break is not trimmed and makes the text no day number.
    qsizetype first = 0;
    qsizetype last = day.size();
    while (first < last && day[first] == QLatin1Char(' '))
        ++first;
    while (last > first && day[last - 1] == QLatin1Char(' '))
        --last;
    const QString trimmed = day.mid(first, last - first);
    // Exactly the digits of 1 to 31: no sign, no leading zero, nothing else.
    if (trimmed.isEmpty() || trimmed.size() > 2 || trimmed.front() == QLatin1Char('0'))
        return QString();
    for (const QChar c : trimmed)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return QString();
    const int number = trimmed.toInt();
    if (number > 31)
        return QString();
    switch (number) {
    case 1:
    case 21:
    case 31:
        return trimmed + QStringLiteral("st");
    case 2:
    case 22:
        return trimmed + QStringLiteral("nd");
    case 3:
    case 23:
        return trimmed + QStringLiteral("rd");
    default:
        return trimmed + QStringLiteral("th");
    }
}

QString fnEventDate(const QDate& date, const QLocale& locale)
{
    if (!writesEnglish(locale))
        return localDate(date, locale);
    const QString weekdayAndMonth =
        locale.dayName(date.dayOfWeek(), QLocale::LongFormat) + QStringLiteral(", ") +
        locale.standaloneMonthName(date.month(), QLocale::LongFormat) + QLatin1Char(' ');
    const QString year =
        QStringLiteral(", ") + QString::number(date.year()).rightJustified(4, u'0');
    return properCase(weekdayAndMonth, locale) + fnDay(QString::number(date.day())) +
           properCase(year, locale);
}

QString fnEventTime(const QTime& time, const QLocale& locale)
{
    if (!writesEnglish(locale))
        return locale.toString(QTime(time.hour(), time.minute()), QLocale::ShortFormat);
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    QString text = QString::number(hour);
    if (time.minute() != 0)
        text += QLatin1Char(':') + QString::number(time.minute()).rightJustified(2, u'0');
    return text + (time.hour() < 12 ? QStringLiteral(" AM") : QStringLiteral(" PM"));
}

} // namespace lumarel
