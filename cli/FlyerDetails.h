#pragma once

#include "record/EventRecord.h"

#include <QHash>
#include <QString>
#include <QTextStream>

namespace lumarel::cli {

// The texts of the store's keys, as the store holds them, read once.
QHash<QString, QString> storedTexts();

// Throws Failure when the settings file could not be read and a field is not among `given`,
// the keys whose values the command line has from elsewhere: the flyer would show placeholders
// instead. Only says so on `err` when every field is given.
void requireReadableStore(const QStringList& given, QTextStream& err);

// The record made of stored texts with some of them replaced; throws Failure naming the key
// whose date does not parse, lies outside the years the flyer's date text prints, or is
// empty among the keys the user gave (`given`), where empty would silently mean today, or whose
// text is longer than a flyer takes.
EventRecord recordFromTexts(const QHash<QString, QString>& texts, const QStringList& given = {});

// True for a key of the store.
bool isFieldKey(const QString& key);
// The store's keys, in the window's order.
QStringList fieldKeys();

// A value typed on the command line: `\n` is a line break and `\\` a backslash.
QString unescapeValue(const QString& value);
// Line breaks of any kind become CR LF, as the record keeps them.
QString recordLineBreaks(const QString& text);

// The longest name a file may have on Linux file systems, in bytes.
inline constexpr qsizetype kLongestFileName = 255;

// A file name of its own from a wished-for one: no folder parts, no leading dot, nothing a
// file system refuses. `fallback` when nothing is left of the wish. Throws Failure when the
// name with its extension would be longer than kLongestFileName.
QString safeFileName(const QString& wish, const QString& fallback, const QString& extension);

} // namespace lumarel::cli
