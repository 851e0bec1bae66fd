#pragma once

#include <QRect>

#include <cmath>

namespace lumarel {

// Window geometry is kept in twips (1/1440 inch); 15 twips are one pixel at 96 DPI.
constexpr double kTwipsPerInch = 1440.0;

// To the nearest whole number, halves to the even neighbour (2.5 gives 2, 3.5 gives 4).
inline double roundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode is to nearest, ties to even
}

struct TwipsRect
{
    int left, top, width, height;
};

// Converts twips to pixels at the screen's logical DPI (96 unless the desktop scales).
class Twips
{
public:
    // The logical DPI of the primary screen.
    static double screenDpi();

    static int toPixels(double twips, double dpi = screenDpi())
    {
        return static_cast<int>(roundHalfEven(twips * dpi / kTwipsPerInch));
    }
    static double fromPixels(int pixels, double dpi = screenDpi())
    {
        return pixels * kTwipsPerInch / dpi;
    }
    static QRect toPixels(const TwipsRect& r, double dpi = screenDpi())
    {
        return QRect(toPixels(r.left, dpi), toPixels(r.top, dpi), toPixels(r.width, dpi),
                     toPixels(r.height, dpi));
    }
};

} // namespace lumarel
