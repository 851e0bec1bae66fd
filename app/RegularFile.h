#pragma once

#include <QByteArray>
#include <QString>

namespace lumarel {

// Opening a named pipe waits for a writer, and reading a device may never end: files the
// program reads are looked at through a descriptor opened without waiting, and only regular
// files are read.

// Why `path` is no regular file to read, in words that follow "it": "is a folder", "is a named
// pipe (FIFO), not a file", "does not exist", "may not be read (no permission)"; empty for a
// regular file that can be opened.
QString regularFileProblem(const QString& path);

// The whole of a regular file of at most `maxBytes`. Throws Failure whose description follows
// "it" as regularFileProblem() does, or says that the file is larger than the limit.
QByteArray readRegularFile(const QString& path, qint64 maxBytes);

} // namespace lumarel
