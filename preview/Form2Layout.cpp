#include "preview/Form2Layout.h"

#include <algorithm>
#include <cmath>

namespace lumarel {

namespace {

constexpr Form2Layout kDesign{
    {0, 0, 9840, 9390},     {120, 7545, 9330, 255},  {9450, 120, 255, 7425}, {120, 120, 9330, 7425},
    {0, 0, 2340, 3435},     {120, 7860, 9600, 855},  {10320, 480, 735, 375}, {240, 300, 4440, 405},
    {4800, 300, 4560, 405}, {4920, 8850, 4800, 405}, {120, 8850, 4680, 405}};

// The page area never shrinks below this: a page corner must stay recognisable.
constexpr int kSmallestViewport = 2400;
constexpr int kMargin = 120;

// How much the page area changes to make `have` into `room`: it gives up at most `canGive`
// and takes whatever more there is.
int change(double room, int have, int canGive)
{
    return std::max(int(std::floor(room - have)), -std::max(0, canGive));
}

// Narrows (or widens) a control of the bottom row; `origin` is where its parent's coordinates
// start.
void narrow(TwipsRect& r, double factor, int origin)
{
    const int left = origin + int(std::lround((r.left - origin) * factor));
    const int right = origin + int(std::lround((r.left + r.width - origin) * factor));
    r.left = left;
    r.width = right - left;
}

} // namespace

Form2Layout form2Layout(double roomWidth, double roomHeight)
{
    Form2Layout l = kDesign;

    const int dx = change(roomWidth, l.client.width, l.viewport.width - kSmallestViewport);
    l.client.width += dx;
    l.viewport.width += dx;
    l.hScroll.width += dx;
    l.vScroll.left += dx;
    const double factor =
        double(l.client.width - 2 * kMargin) / (kDesign.client.width - 2 * kMargin);
    for (TwipsRect* r : {&l.frame, &l.save, &l.back})
        narrow(*r, factor, kMargin);
    for (TwipsRect* r : {&l.zoomIn, &l.zoomOut})
        narrow(*r, factor, 0);

    const int dy = change(roomHeight, l.client.height, l.viewport.height - kSmallestViewport);
    l.client.height += dy;
    l.viewport.height += dy;
    l.vScroll.height += dy;
    for (TwipsRect* r : {&l.hScroll, &l.frame, &l.save, &l.back})
        r->top += dy;
    return l;
}

Form2Layout form2DesignLayout(double roomWidth, double roomHeight)
{
    return form2Layout(std::min<double>(roomWidth, kDesign.client.width),
                       std::min<double>(roomHeight, kDesign.client.height));
}

TwipsRect pageNoticeArea(const TwipsRect& viewport)
{
    constexpr int kInset = 60;
    constexpr int kHeight = 600;
    return {viewport.left + kInset, viewport.top + kInset, viewport.width - 2 * kInset, kHeight};
}

TwipsSize viewportOuter(const TwipsRect& viewport)
{
    return {static_cast<Single>(viewport.width), static_cast<Single>(viewport.height)};
}

TwipsSize viewportInner(const TwipsRect& viewport, double dpi)
{
    const double border = 2 * Twips::fromPixels(kViewportBorderPixels, dpi);
    return {static_cast<Single>(viewport.width - border),
            static_cast<Single>(viewport.height - border)};
}

} // namespace lumarel
