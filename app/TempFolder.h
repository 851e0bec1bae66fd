#pragma once

#include <QByteArray>
#include <QString>

namespace lumarel {

// The folder for the files of a flyer run: a private folder of the user's own, lumarel-<uid>,
// inside TEMP when it is set and not empty, otherwise inside the system temporary folder. It
// is made with mode 0700 and refused when it is a symbolic link, belongs to someone else or is
// open to others, and so is a TEMP that lets others replace its entries: another user can
// never plant a file or a link among the run's files. Throws Failure when refused.
QString flyerTempFolder();

// Creates a new file and writes all bytes into it. Refuses an existing path, a symbolic link
// included, so a planted link is never followed. Throws Failure naming the file and the cause.
void SaveBytesToFile(const QByteArray& bytes, const QString& path);

// Writes the bytes to a new file in the same folder and renames it over `path`, which
// replaces a link at that path instead of writing through it.
void replaceFile(const QByteArray& bytes, const QString& path);

} // namespace lumarel
