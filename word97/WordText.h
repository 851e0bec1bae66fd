#pragma once

#include <QString>

namespace lumarel {

// The main text of a Word 97-2003 file as its piece table holds it, with Word's own marks
// (0x0D paragraph end, 0x0B line break, 0x08 drawn object, 0x13 to 0x15 fields, ...). Throws
// Failure, naming the file and the cause, for anything that is not a readable Word 97 file.
QString readWordMainText(const QString& path);

} // namespace lumarel
