#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace lumarel::test {

// Writes the bytes to a new or replaced file, making its folder; a test cannot go on without
// its file, so a failure ends the test program.
QString writeFile(const QString& path, const QByteArray& bytes);
// The file's bytes, or nothing when it cannot be read.
QByteArray readFile(const QString& path);

// One part of a zip archive (a .docx or .odt) as text; empty when it cannot be read.
QString archivePart(const QString& path, const char* part);

// Writes a zip archive (a .docx or .odt) of these parts, in this order, the first stored and
// the others compressed, as the formats want a mimetype part.
QString writeArchive(const QString& path, const QList<QPair<QString, QByteArray>>& parts);

// A real Windows cursor file: an icon as Qt writes it, marked as a cursor with a hot spot.
QByteArray cursorFileBytes(quint16 hotX = 0, quint16 hotY = 0);

} // namespace lumarel::test
