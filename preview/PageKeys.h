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
// `lines` arrow steps per notch; `delta` is in eighths of a degree, 120 to a notch.
bool scrollPageByWheel(PageView& view, QPoint delta, Qt::KeyboardModifiers modifiers, int lines);

// What a screen reader says of the page: "Flyer page, zoom 75 %".
QString pageAccessibleName(const PageView& view);

} // namespace lumarel
