#include "preview/PageKeys.h"

#include "preview/PageView.h"

#include <QCoreApplication>
#include <QPoint>

#include <algorithm>

namespace lumarel {

namespace {

// One notch of a mouse wheel, in eighths of a degree.
constexpr int kNotch = 120;

// Moves the bar by `values`, held inside its range; false when it cannot move at all.
bool moveBar(ScrollBarModel& bar, int values)
{
    if (!bar.enabled() || bar.maximum() <= 0)
        return false;
    bar.setValue(std::clamp(bar.value() + values, 0, int(bar.maximum())));
    return true;
}

// How many values of the bar a viewport's extent is: the page moves `step` twips per value.
int pageValues(Single viewportExtent, Integer step)
{
    return step > 0 ? std::max(1, int(viewportExtent / step)) : 1;
}

} // namespace

bool scrollPageByKey(PageView& view, int key, Qt::KeyboardModifiers modifiers)
{
    const bool sideways = modifiers & Qt::ShiftModifier;
    ScrollBarModel& across = sideways ? view.HScroll1 : view.VScroll1;
    const int page = sideways ? pageValues(view.viewportInner().width, view.mHStep)
                              : pageValues(view.viewportInner().height, view.mVStep);
    switch (key) {
    case Qt::Key_Left:
        return moveBar(view.HScroll1, -1);
    case Qt::Key_Right:
        return moveBar(view.HScroll1, 1);
    case Qt::Key_Up:
        return moveBar(view.VScroll1, -1);
    case Qt::Key_Down:
        return moveBar(view.VScroll1, 1);
    case Qt::Key_PageUp:
        return moveBar(across, -page);
    case Qt::Key_PageDown:
        return moveBar(across, page);
    case Qt::Key_Home:
        return moveBar(across, -across.maximum());
    case Qt::Key_End:
        return moveBar(across, across.maximum());
    default:
        return false;
    }
}

bool scrollPageByWheel(PageView& view, QPoint delta, Qt::KeyboardModifiers modifiers, int lines,
                       int& pending)
{
    // A wheel turned with Shift arrives as a sideways turn on some systems, as a plain one with
    // the modifier on others.
    const bool sideways = delta.y() == 0 || (modifiers & Qt::ShiftModifier);
    const int eighthsPerValue = std::max(1, kNotch / std::max(1, lines));
    pending += delta.y() != 0 ? delta.y() : delta.x();
    const int values = pending / eighthsPerValue;
    pending %= eighthsPerValue;
    if (values == 0)
        return false;
    // Turning the wheel away from the user scrolls up.
    return moveBar(sideways ? view.HScroll1 : view.VScroll1, -values);
}

int wheelZoomSteps(int turn, int& pending)
{
    pending += turn;
    const int steps = pending / kNotch;
    pending %= kNotch;
    return steps;
}

QString pageAccessibleName(const PageView& view)
{
    return QCoreApplication::translate("lumarel::Form2", "Flyer page, zoom %1 %")
        .arg(qRound(view.mZoom * 100.0));
}

int buttonCode(Qt::MouseButtons buttons)
{
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= 1;
    if (buttons & Qt::RightButton)
        code |= 2;
    if (buttons & Qt::MiddleButton)
        code |= 4;
    return code;
}

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    int code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

} // namespace lumarel
