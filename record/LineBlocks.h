#pragma once

#include <QString>

class QTextBlock;
class QTextCursor;
class QTextDocument;

namespace lumarel {

// A multi-line box holds each very long line of its value as several blocks of its document:
// the text layout works a block at a time, and a line of megabytes in one block takes seconds
// at the start and at every keystroke. A block that goes on with the line of the block before
// it carries a mark in its block format; the value joins it to that block without a break.
// Undo and redo keep block formats, so they keep the marks as well.

// The longest block a long line is cut into; a shorter line stays one block.
inline constexpr qsizetype kLongestBlock = 10000;

// Whether an editor text (LF line breaks) holds a line the document would cut into blocks.
bool hasLineLongerThan(const QString& editorText, qsizetype longest = kLongestBlock);
// Replaces the document's content with a record text (CR LF line breaks); no undo step.
void setDocumentRecordText(QTextDocument& document, const QString& recordText,
                           qsizetype longestBlock = kLongestBlock);
// The record text the document holds: CR LF between lines, nothing between the blocks of one.
QString documentRecordText(const QTextDocument& document);
bool continuesLine(const QTextBlock& block);
// A line break typed or pasted at the cursor: the block after it starts a line of its own.
void insertLineBreak(QTextCursor& cursor);
// Text typed or pasted at the cursor, in place of its selection; one undo step.
void insertEditorText(QTextCursor& cursor, const QString& text);

// Whether the selection holds the mark between two blocks of a line.
bool spansCut(const QTextCursor& cursor);
// The selection's text as a copy gives it: LF line breaks, the blocks of a line joined.
QString selectedEditorText(const QTextCursor& cursor);

} // namespace lumarel
