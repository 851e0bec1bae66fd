#pragma once

#include <QDate>
#include <QString>
#include <QTime>

namespace lumarel {

// The event details as the flyer needs them; texts keep CR LF line breaks.
struct FlyerFields
{
    QDate eventDate;
    QTime eventTime;
    QString orgName;
    QString eventName;
    QString location;
    QString more;
    QString infoOrg;
    QString plans;
    QString items;
};

// Empty or made of spaces only.
bool isBlank(const QString& text);

// The text each bookmark of the flyer template receives.
QString orgNameText(const QString& orgName);
QString eventNameText(const QString& eventName);
QString eventDateText(const QDate& date);
QString eventTimeText(const QTime& time);
QString eventAddrText(const QString& location);
// The four long texts joined: each of the first three that is not blank is followed by a line
// break, even when nothing follows it; the items text never is.
QString eventMoreText(const QString& more, const QString& infoOrg, const QString& plans,
                      const QString& items);

} // namespace lumarel
