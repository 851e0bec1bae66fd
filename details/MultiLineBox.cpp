#include "details/MultiLineBox.h"

#include "record/LineBlocks.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

namespace lumarel {

void MultiLineBox::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    QTextCursor cursor = textCursor();
    if (isReadOnly()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    // The box's own Return would give the new block the format of the one it splits.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        modifiers == Qt::NoModifier) {
        insertLineBreak(cursor);
        setTextCursor(cursor);
        ensureCursorVisible();
        return;
    }
    // The mark between two blocks of a line is no character: Backspace and Delete reach the
    // character beyond it.
    if (!cursor.hasSelection() && modifiers == Qt::NoModifier) {
        const QTextCursor before = cursor;
        if (event->key() == Qt::Key_Backspace) {
            while (cursor.atBlockStart() && continuesLine(cursor.block()))
                cursor.movePosition(QTextCursor::PreviousCharacter);
        } else if (event->key() == Qt::Key_Delete) {
            while (cursor.atBlockEnd() && continuesLine(cursor.block().next()))
                cursor.movePosition(QTextCursor::NextCharacter);
        }
        if (cursor != before)
            setTextCursor(cursor);
    }
    QPlainTextEdit::keyPressEvent(event);
}

QMimeData* MultiLineBox::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    if (!spansCut(cursor))
        return QPlainTextEdit::createMimeDataFromSelection();
    auto* data = new QMimeData;
    data->setText(selectedEditorText(cursor));
    return data;
}

void MultiLineBox::insertFromMimeData(const QMimeData* source)
{
    if (isReadOnly() || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QTextCursor cursor = textCursor();
    insertEditorText(cursor, source->text());
    setTextCursor(cursor);
    ensureCursorVisible();
}

} // namespace lumarel
