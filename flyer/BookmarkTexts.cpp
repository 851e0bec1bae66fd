#include "flyer/BookmarkTexts.h"

#include "flyer/DateTexts.h"

#include <algorithm>

namespace lumarel {

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

} // namespace

bool isBlank(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c == QLatin1Char(' '); });
}

QString orgNameText(const QString& orgName)
{
    return QLatin1Char(' ') +
           (isBlank(orgName) ? QStringLiteral("Your Organisation's Name") : orgName);
}

QString eventNameText(const QString& eventName)
{
    return isBlank(eventName) ? QStringLiteral("Name of Your Event") : eventName;
}

QString eventDateText(const QDate& date)
{
    return QLatin1Char(' ') + fnEventDate(date) + QStringLiteral("  ");
}

QString eventTimeText(const QTime& time)
{
    return fnEventTime(time);
}

QString eventAddrText(const QString& location)
{
    return QLatin1Char(' ') + location;
}

QString eventMoreText(const QString& more, const QString& infoOrg, const QString& plans,
                      const QString& items)
{
    QString joined;
    for (const QString* text : {&more, &infoOrg, &plans}) {
        joined += *text;
        if (!isBlank(*text))
            joined += kLineBreak;
    }
    return joined + items;
}

} // namespace lumarel
