#pragma once

#include <QDate>
#include <QString>
#include <QTime>

namespace lumarel {

// The event's date and time as the flyer writes them. Weekday and month names come from the
// default locale.

// The ordinal of a day of the month given as text ("1" to "31", spaces around allowed):
// "1st", "22nd"...; any other text gives an empty text.
QString fnDay(const QString& day);
// "Friday, January 15th, 2027".
QString fnEventDate(const QDate& date);
// "3:05 PM", "3 PM", "12 AM": 12-hour clock, minutes only when not zero, seconds ignored.
QString fnEventTime(const QTime& time);

} // namespace lumarel
