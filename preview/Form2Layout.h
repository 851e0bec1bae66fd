#pragma once

#include "app/Twips.h"
#include "preview/PageView.h"

namespace lumarel {

// The preview window's controls in twips; the zoom buttons are placed inside the frame.
struct Form2Layout
{
    TwipsRect client, hScroll, vScroll, viewport, page, frame, zoomSource, zoomIn, zoomOut, save,
        back;
};

// The layout for a client area of `roomWidth` x `roomHeight` twips: the page area takes what
// the window has more or less than its design, down to a smallest viewport. The controls below
// it move down or up, those right of it right or left, and the row of buttons below widens or
// narrows in proportion.
Form2Layout form2Layout(double roomWidth, double roomHeight);
// The window's design size where the screen has room for it, else as much as the room allows.
Form2Layout form2DesignLayout(double roomWidth, double roomHeight);

// The page area's sunken border; the page is placed inside it.
inline constexpr int kViewportBorderPixels = 2;
// The page area's size, with its border and inside it at `dpi`.
TwipsSize viewportOuter(const TwipsRect& viewport);
TwipsSize viewportInner(const TwipsRect& viewport, double dpi);

// A notice about the page lies inside the top of the page area.
TwipsRect pageNoticeArea(const TwipsRect& viewport);

} // namespace lumarel
