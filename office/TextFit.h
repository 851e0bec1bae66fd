#pragma once

namespace lumarel {

// How a text is made to fit: in steps of `stepPercent` of the design's size down to
// `floorPercent`. Measured by its lines, it must stay on one line, and at the floor it may take
// `linesAtFloor` lines; measured by its box, it must stay inside the text frame or table row of
// fixed height that holds it (a text in a box that grows with it fits as it is).
struct TextFit
{
    enum class Measure
    {
        Lines,
        FixedBox
    };
    int floorPercent = 100;
    int stepPercent = 5;
    int linesAtFloor = 1;
    Measure measure = Measure::Lines;
};

} // namespace lumarel
