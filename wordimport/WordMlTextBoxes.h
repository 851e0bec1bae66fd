#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace lumarel {

class OfficeEngine;

// A flyer bookmark inside a text box of a Word 2007 file: the box's index among the file's text
// boxes in the order of the document, and the character offset in the box's text.
struct BoxBookmark
{
    int box = 0;
    int offset = 0;
    QString name;

    bool operator==(const BoxBookmark&) const = default;
};

struct WordMlTextBoxes
{
    QStringList texts; // each box's text, paragraphs ended by LF but the last
    QList<BoxBookmark> bookmarks;
};

// The text boxes of a Word 2007 file's main text (as a reader that knows drawing shapes reads
// them: the fallback pictures for older readers are skipped) and the flyer bookmarks they hold.
// Throws Failure for a file that is not a Word 2007 file.
WordMlTextBoxes readWordMlTextBoxes(const QString& path);

// The office's import of a Word 2007 file drops the bookmarks inside text boxes: puts back those
// of the flyer's bookmarks that the document just opened from `path` lacks, each in the office's
// text box whose text is the file's box text (the first such box not yet taken), at its offset.
// A file that is not Word 2007 is left as the office opened it. Throws Failure.
void restoreWordMlTextBoxBookmarks(OfficeEngine& office, const QString& path);

} // namespace lumarel
