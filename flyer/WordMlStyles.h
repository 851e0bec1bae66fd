#pragma once

#include <QString>

namespace lumarel {

// Makes the office's Word 2007 export of a flyer read as Word reads it, in place:
// - a font that the office writes as its list of alternatives ("Liberation Sans;Arial"), which
//   no font is named and which stops other readers opening the file, becomes the first of them;
// - a style that the export gave the name of another (a design's "List 2" written as a second
//   "List Bullet 3") takes back the name its identifier was made from.
// Throws Failure naming the file.
void tidyWordMlExport(const QString& path);

} // namespace lumarel
