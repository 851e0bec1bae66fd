#include "details/OneLineBox.h"

#include "record/EventRecord.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QSignalBlocker>

namespace lumarel {

OneLineBox::OneLineBox(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::selectionChanged, this, [this] {
        if (!hasSelectedText() || selectedText().size() != text().size())
            m_wholeSelected = false;
    });
}

void OneLineBox::setValue(const QString& value)
{
    const QString line = hasLineBreak(value) ? singleLineText(value) : value;
    m_wholeSelected = false;
    setText(m_window.set(line));
}

void OneLineBox::selectWhole()
{
    selectAll();
    m_wholeSelected = held() && hasSelectedText();
}

bool OneLineBox::wholeSelected() const
{
    return m_wholeSelected && held();
}

void OneLineBox::moveWindow(qsizetype position)
{
    qsizetype shownPosition = 0;
    const QString part = m_window.moveTo(text(), position, shownPosition);
    {
        // The value stays as it is: nothing to report.
        const QSignalBlocker quiet(this);
        setText(part);
    }
    setCursorPosition(int(shownPosition));
}

void OneLineBox::copyWhole()
{
    QGuiApplication::clipboard()->setText(value());
}

void OneLineBox::clearWholeSelection()
{
    if (!wholeSelected())
        return;
    setValue(QString());
}

void OneLineBox::keyPressEvent(QKeyEvent* event)
{
    if (event == QKeySequence::SelectAll) {
        selectWhole();
        return;
    }
    if (wholeSelected()) {
        if (event == QKeySequence::Copy) {
            copyWhole();
            return;
        }
        if (event == QKeySequence::Cut) {
            copyWhole();
            setValue(QString());
            return;
        }
        const bool printable = !event->text().isEmpty() && event->text()[0].isPrint() &&
                               !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (printable || event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete ||
            event == QKeySequence::Paste) {
            const bool removesOnly = !printable && event != QKeySequence::Paste;
            clearWholeSelection();
            if (removesOnly)
                return;
        }
    }
    if (held() && !hasSelectedText()) {
        const int cursor = cursorPosition();
        // With Shift, Home and End select within the part shown.
        const bool shift = event->modifiers() & Qt::ShiftModifier;
        const bool toStart =
            (event->key() == Qt::Key_Home && !shift) ||
            ((event->key() == Qt::Key_Left || event->key() == Qt::Key_Backspace) && cursor == 0);
        const bool toEnd = (event->key() == Qt::Key_End && !shift) ||
                           ((event->key() == Qt::Key_Right || event->key() == Qt::Key_Delete) &&
                            cursor == text().size());
        if (toStart && !m_window.atStart())
            moveWindow(event->key() == Qt::Key_Home ? 0 : m_window.offset());
        else if (toEnd && !m_window.atEnd())
            moveWindow(event->key() == Qt::Key_End ? value().size()
                                                   : m_window.offset() + text().size());
    }
    QLineEdit::keyPressEvent(event);
}

void OneLineBox::contextMenuEvent(QContextMenuEvent* event)
{
    // The box's own menu acts on the part shown; this one has the same entries.
    if (!held()) {
        QLineEdit::contextMenuEvent(event);
        return;
    }
    QMenu menu;
    const auto add = [&](const char* text, QKeySequence::StandardKey key, bool enabled, auto act) {
        QAction* item = menu.addAction(QCoreApplication::translate("QLineEdit", text) + u'\t' +
                                       QKeySequence(key).toString(QKeySequence::NativeText));
        item->setEnabled(enabled);
        connect(item, &QAction::triggered, this, act);
    };
    const bool whole = wholeSelected();
    const bool selected = hasSelectedText();
    add("&Undo", QKeySequence::Undo, isUndoAvailable(), [this] { undo(); });
    add("&Redo", QKeySequence::Redo, isRedoAvailable(), [this] { redo(); });
    menu.addSeparator();
    add("Cu&t", QKeySequence::Cut, selected, [this, whole] {
        if (!whole)
            return cut();
        copyWhole();
        setValue(QString());
    });
    add("&Copy", QKeySequence::Copy, selected, [this, whole] { whole ? copyWhole() : copy(); });
    add("&Paste", QKeySequence::Paste, !QGuiApplication::clipboard()->text().isEmpty(),
        [this, whole] {
            const QString pasted = QGuiApplication::clipboard()->text();
            if (whole)
                setValue(QString());
            insert(pasted);
        });
    add("Delete", QKeySequence::Delete, selected,
        [this, whole] { whole ? setValue(QString()) : del(); });
    menu.addSeparator();
    add("Select All", QKeySequence::SelectAll, !text().isEmpty(), [this] { selectWhole(); });
    menu.exec(event->globalPos());
}

} // namespace lumarel
