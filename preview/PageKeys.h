#pragma once

#include <QPoint>
#include <QString>
#include <Qt>

namespace lumarel {

class PageView;

// The keyboard and the wheel move the page through the same scroll bars as the mouse does, so
// the bars' change handlers place the page. Arrows move a bar by one value, Page Up and Page
// Down by a viewport's height (Shift with them: its width), Home and End to either end.
// Returns false for a key that does not scroll (or a bar that is disabled), which the caller
// then passes on.
bool scrollPageByKey(PageView& view, int key, Qt::KeyboardModifiers modifiers);
// The wheel scrolls the vertical bar (with Shift or a sideways wheel, the horizontal one) by
// `lines` arrow steps per notch of 120 eighths of a degree. Touchpads and fine wheels send less
// than a notch at a time: what does not yet make a step is kept in `pending` for the next turn.
bool scrollPageByWheel(PageView& view, QPoint delta, Qt::KeyboardModifiers modifiers, int lines,
                       int& pending);
// Whole zoom steps in the wheel's turns, one per notch (positive: zoom in), with the rest of
// the turn kept in `pending` like the scrolling keeps it.
int wheelZoomSteps(int turn, int& pending);

// Button and modifier codes as the page's mouse handlers know them: left 1, right 2, middle
// 4; Shift 1, Ctrl 2, Alt 4.
int buttonCode(Qt::MouseButtons buttons);
int shiftCode(Qt::KeyboardModifiers modifiers);

// What a screen reader says of the page: "Flyer page, zoom 75 %".
QString pageAccessibleName(const PageView& view);

} // namespace lumarel
