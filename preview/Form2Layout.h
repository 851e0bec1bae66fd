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

// The window's own layout when the screen has room for it. Otherwise the page area gives up
// what is missing, down to a smallest viewport: the controls below it move up, those right of
// it move left, and the row of buttons below narrows in proportion. `roomWidth` and
// `roomHeight` are the client area the screen leaves the window, in twips.
Form2Layout form2Layout(double roomWidth, double roomHeight);

// The page area's sunken border; the page is placed inside it.
inline constexpr int kViewportBorderPixels = 2;
// The page area's size, with its border and inside it at `dpi`.
TwipsSize viewportOuter(const TwipsRect& viewport);
TwipsSize viewportInner(const TwipsRect& viewport, double dpi);

// A notice about the page lies inside the top of the page area.
TwipsRect pageNoticeArea(const TwipsRect& viewport);

} // namespace lumarel
