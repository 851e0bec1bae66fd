#pragma once

#include <QByteArray>
#include <QString>

namespace lumarel {

// The folder for the files of a flyer run: TEMP when it is set and not empty, otherwise a
// private folder of the user's own under the system temporary folder (created with mode 0700;
// refused when it is a symbolic link or belongs to someone else), never the shared folder
// itself, where another user could plant a file or a link. Throws Failure when refused.
QString flyerTempFolder();

// Creates a new file and writes all bytes into it. Refuses an existing path, a symbolic link
// included, so a planted link is never followed. Throws Failure naming the file and the cause.
void SaveBytesToFile(const QByteArray& bytes, const QString& path);

// Writes the bytes to a new file in the same folder and renames it over `path`, which
// replaces a link at that path instead of writing through it.
void replaceFile(const QByteArray& bytes, const QString& path);

} // namespace lumarel
