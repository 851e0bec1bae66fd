#pragma once

#include <QtGlobal>

namespace lumarel {

// The length units the document formats use: Word's twips (1/1440 inch) and EMU (1/914400
// inch), the office's hundredths of a millimetre, and points. Every conversion between them is
// here, rounded to the nearest whole unit.
constexpr int kTwipsPerPoint = 20;

constexpr int twipsToHundredthMm(double twips)
{
    return qRound(twips * 127.0 / 72.0); // 2540 per 1440
}

constexpr int hundredthMmToTwips(double hundredthMm)
{
    return qRound(hundredthMm * 72.0 / 127.0);
}

constexpr int emuToHundredthMm(double emu)
{
    return qRound(emu / 360.0); // 914400 per 2540
}

constexpr int pointsToTwips(double points)
{
    return qRound(points * kTwipsPerPoint);
}

} // namespace lumarel
