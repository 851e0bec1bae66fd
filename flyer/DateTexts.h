#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

namespace lumarel {

// The event's date and time as the flyer writes them, in the language of `locale` (the user's
// time settings unless given). English settings (and the C locale) write the English forms below;
// other languages write the date in their own long order, with their own names and no English
// ordinal, and the time on their own clock.

// The locale of the user's time settings: LC_ALL, else LC_TIME, else LANG, the first that is
// set, as the C library orders them. The program makes it the default locale at its start:
// the system locale would take the names of days and months from LC_TIME but the language,
// and with it the English forms and the clock, from LANG.
QLocale timeLocale();

// The ordinal of a day of the month given as text ("1" to "31", spaces around allowed):
// "1st", "22nd"...; any other text gives an empty text.
QString fnDay(const QString& day);
// "Friday, January 15th, 2027"; in German "Freitag, 15. Januar 2027".
QString fnEventDate(const QDate& date, const QLocale& locale = QLocale());
// "3:05 PM", "3 PM", "12 AM": 12-hour clock, minutes only when not zero, seconds ignored; in
// German "15:05".
QString fnEventTime(const QTime& time, const QLocale& locale = QLocale());

} // namespace lumarel
