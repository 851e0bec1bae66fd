#pragma once

#include <QList>
#include <QStringList>

namespace lumarel {
class OfficeEngine;
}

namespace lumarel::test {

// Reading the office's active document back, each in a timed call of the office's own.
// The main-text paragraphs.
QStringList paragraphs(OfficeEngine& office);
// The style of each main-text paragraph, by the office's name for it.
QStringList paragraphStyles(OfficeEngine& office);
// The paragraphs of each text box: text frames first, then drawing shapes that hold text.
QList<QStringList> textBoxParagraphs(OfficeEngine& office);
QStringList bookmarkNames(OfficeEngine& office);
// Puts a new empty bookmark at a character offset in the text of the frameIndex-th frame.
// Throws Failure.
void addBookmarkInTextFrame(OfficeEngine& office, int frameIndex, int offset, const QString& name);

} // namespace lumarel::test
