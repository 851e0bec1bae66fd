#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// The values of an INI file as QSettings writes them: its quoting, its escapes and its lists.
namespace lumarel::ini {

// The value's texts with QSettings' quoting and escapes undone; more than one when the value
// is a comma-separated list. `utf8` becomes false for bytes that are not UTF-8 text.
QStringList unescapeValue(QByteArrayView bytes, bool& utf8);

// QSettings' escaping of a text value, appended to `bytes`.
void appendValue(QByteArray& bytes, const QString& value);

} // namespace lumarel::ini
