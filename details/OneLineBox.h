#pragma once

#include "record/TextWindow.h"

#include <QLineEdit>

namespace lumarel {

// The box of a one-line field. A value of more than TextWindow::kLongest characters is held
// in part: the box shows the part around its cursor and moves it when the cursor reaches its
// edge. Select all, and what follows it (typing, deleting, copying, cutting), act on the whole
// value. Moving the part, or replacing a whole value held in part, starts the box's undo anew.
class OneLineBox : public QLineEdit
{
public:
    explicit OneLineBox(QWidget* parent = nullptr);

    QString value() const { return m_window.whole(text()); }
    void setValue(const QString& value);
    void selectWhole();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool held() const { return !m_window.atStart() || !m_window.atEnd(); }
    bool wholeSelected() const;
    void moveWindow(qsizetype position);
    void copyWhole();
    // Empties the value when the whole of one held in part is selected, before an edit
    // replaces it: the box alone would replace only its part.
    void clearWholeSelection();

    TextWindow m_window;
    bool m_wholeSelected = false;
};

} // namespace lumarel
