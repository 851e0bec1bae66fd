#include "record/LineBlocks.h"

#include "record/EventRecord.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace lumarel {

namespace {

constexpr int kContinuesLine = QTextFormat::UserProperty + 1;

// What the document's own text insertion would turn into a new block.
bool startsBlock(QChar c)
{
    return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar(0xfdd0) || c == QChar(0xfdd1);
}

// Where the block that starts at `start` ends: after the last blank in its second half, so
// that words stay whole where the line has blanks, and never inside a surrogate pair.
qsizetype blockEnd(const QString& text, qsizetype start, qsizetype lineEnd, qsizetype longest)
{
    if (lineEnd - start <= longest)
        return lineEnd;
    qsizetype end = start + longest;
    for (qsizetype i = end - 1; i > start + longest / 2; --i) {
        if (text[i].isSpace())
            return i + 1;
    }
    if (text[end - 1].isHighSurrogate() && text[end].isLowSurrogate())
        --end;
    return end;
}

QTextBlockFormat lineFormat(const QTextCursor& cursor, bool continues)
{
    QTextBlockFormat format = cursor.blockFormat();
    if (continues)
        format.setProperty(kContinuesLine, true);
    else
        format.clearProperty(kContinuesLine);
    return format;
}

// Inserts lines cut into blocks at the cursor, in the current edit block.
void insertLines(QTextCursor& cursor, const QString& editorText, qsizetype longest)
{
    qsizetype lineStart = 0;
    const qsizetype size = editorText.size();
    while (true) {
        qsizetype lineEnd = lineStart;
        while (lineEnd < size && !startsBlock(editorText[lineEnd]))
            ++lineEnd;
        qsizetype start = lineStart;
        do {
            const qsizetype end = blockEnd(editorText, start, lineEnd, longest);
            if (start > lineStart)
                cursor.insertBlock(lineFormat(cursor, true));
            cursor.insertText(editorText.mid(start, end - start));
            start = end;
        } while (start < lineEnd);
        if (lineEnd == size)
            return;
        insertLineBreak(cursor);
        lineStart = lineEnd + 1;
    }
}

} // namespace

bool hasLineLongerThan(const QString& editorText, qsizetype longest)
{
    qsizetype line = 0;
    for (const QChar c : editorText) {
        line = startsBlock(c) ? 0 : line + 1;
        if (line > longest)
            return true;
    }
    return false;
}

bool continuesLine(const QTextBlock& block)
{
    return block.blockFormat().boolProperty(kContinuesLine);
}

void setDocumentRecordText(QTextDocument& document, const QString& recordText,
                           qsizetype longestBlock)
{
    const bool undo = document.isUndoRedoEnabled();
    // Turning undo off also empties its stack: a restored or replaced text is no step back.
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.setBlockFormat(lineFormat(cursor, false));
    insertLines(cursor, editorTextFromRecord(recordText), longestBlock);
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
}

QString documentRecordText(const QTextDocument& document)
{
    // The raw text keeps non-breaking spaces, which the plain text would turn into blanks. Its
    // characters stand at their document positions, a block separator before each block.
    QString text = document.toRawText();
    // A document has few block formats: each is looked at once, not once for every block.
    int formatIndex = -1;
    bool continues = false;
    qsizetype kept = 0;
    qsizetype copied = 0;
    QChar* out = nullptr;
    for (QTextBlock block = document.begin().next(); block.isValid(); block = block.next()) {
        if (block.blockFormatIndex() != formatIndex) {
            formatIndex = block.blockFormatIndex();
            continues = continuesLine(block);
        }
        if (!continues)
            continue;
        if (!out)
            out = text.data();
        // Moves the text before this block's separator over the separators already dropped.
        const qsizetype separator = block.position() - 1;
        std::copy(out + copied, out + separator, out + kept);
        kept += separator - copied;
        copied = separator + 1;
    }
    if (out) {
        std::copy(out + copied, out + text.size(), out + kept);
        text.truncate(kept + text.size() - copied);
    }
    return recordTextFromEditor(text);
}

void insertLineBreak(QTextCursor& cursor)
{
    cursor.insertBlock(lineFormat(cursor, false));
}

void insertEditorText(QTextCursor& cursor, const QString& text)
{
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    insertLines(cursor, editorTextFromRecord(text), kLongestBlock);
    cursor.endEditBlock();
}

namespace {

// The blocks after the one the selection starts in, up to the one it ends in: the separators
// before them are in the selection.
template <class Visit> void visitSelectedBreaks(const QTextCursor& cursor, Visit visit)
{
    const QTextDocument& document = *cursor.document();
    for (QTextBlock block = document.findBlock(cursor.selectionStart()).next();
         block.isValid() && block.position() <= cursor.selectionEnd(); block = block.next()) {
        if (!visit(block))
            return;
    }
}

} // namespace

QString selectedEditorText(const QTextCursor& cursor)
{
    const QString selected = cursor.selectedText();
    const int start = cursor.selectionStart();
    QString text;
    text.reserve(selected.size());
    qsizetype copied = 0;
    visitSelectedBreaks(cursor, [&](const QTextBlock& block) {
        if (continuesLine(block)) {
            const qsizetype separator = block.position() - 1 - start;
            text += QStringView(selected).mid(copied, separator - copied);
            copied = separator + 1;
        }
        return true;
    });
    text += QStringView(selected).mid(copied);
    // As the box's own copy gives it.
    for (QChar& c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u'\n';
        else if (c == QChar::Nbsp)
            c = u' ';
    }
    return text;
}

bool spansCut(const QTextCursor& cursor)
{
    bool cut = false;
    visitSelectedBreaks(cursor, [&](const QTextBlock& block) {
        cut = continuesLine(block);
        return !cut;
    });
    return cut;
}

} // namespace lumarel
