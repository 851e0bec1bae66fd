#pragma once

#include <QDateTime>
#include <QString>

namespace lumarel {

// The per-user settings store: one INI file named after the maker (Quenwick.ini) in the user's
// configuration folder, one group for the product, one text value per key. There is no
// system-wide file behind it. Every write goes to disk at once: the program ends by leaving
// the process, so nothing may wait for a destructor.
class SettingsStore
{
public:
    // The stored text, or `fallback` when the key is missing.
    static QString get(const QString& key, const QString& fallback = QString());
    // Creates or overwrites the value and writes the file; throws Failure when it cannot.
    // A file that could not be read completely is first kept beside it under another name.
    static void save(const QString& key, const QString& value);

    // Why the settings file could not be read, at all or completely, in sentences naming the
    // file; empty when it was read whole or does not exist. A file that could not be read at
    // all (a folder, a named pipe, no permission) is never written: save() throws.
    static QString readProblem();
    // True when the file could not be read at all, and save() refuses to write it.
    static bool refusesWrites();

    // What the user should know about the last writes (a settings file kept under another
    // name), once; empty when there is nothing to tell.
    static QString takeNotice();

    static QString filePath();

    // Dates are stored in one locale-independent form, "yyyy-MM-dd" with " HH:mm:ss" added when
    // the time of day is not midnight, so that a change of locale can never misread them.
    static QString dateToText(const QDateTime& value);
    // Throws Failure("Type mismatch") for a text that is not such a date.
    static QDateTime textToDate(const QString& text);
};

} // namespace lumarel
