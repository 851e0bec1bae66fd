#include "details/Form1Layout.h"

#include <QCoreApplication>

#include <array>

namespace lumarel {

namespace {

constexpr int kLabelLeft = 240;
constexpr int kInputLeft = 2640;
constexpr int kInputWidth = 6135;

// In the order of eventFields(): caption, label index, label, input, tab index, restore step,
// reset step.
const std::array<FieldLayout, 9> kFieldLayouts{{
    {QT_TRANSLATE_NOOP("lumarel::Form1", "Event date:"),
     4,
     {kLabelLeft, 345, 2370, 225},
     {kInputLeft, 300, kInputWidth, 345},
     0,
     128,
     0},
    {QT_TRANSLATE_NOOP("lumarel::Form1", "Event time:"),
     52,
     {kLabelLeft, 795, 2370, 225},
     {kInputLeft, 750, kInputWidth, 345},
     1,
     130,
     0},
    {QT_TRANSLATE_NOOP("lumarel::Form1", "Your organization's name:"),
     51,
     {kLabelLeft, 1245, 2340, 225},
     {kInputLeft, 1200, kInputWidth, 345},
     2,
     132,
     100},
    {QT_TRANSLATE_NOOP("lumarel::Form1", "Name of your event:"),
     48,
     {kLabelLeft, 1695, 1680, 225},
     {kInputLeft, 1650, kInputWidth, 720},
     3,
     134,
     102},
    {QT_TRANSLATE_NOOP("lumarel::Form1", "Street address:"),
     47,
     {kLabelLeft, 2515, 1320, 225},
     {kInputLeft, 2470, kInputWidth, 345},
     4,
     136,
     104},
    {QT_TRANSLATE_NOOP("lumarel::Form1", "More about your event:"),
     0,
     {kLabelLeft, 2955, 2100, 225},
     {kInputLeft, 2910, kInputWidth, 720},
     5,
     138,
     106},
    {QT_TRANSLATE_NOOP("lumarel::Form1", "Information about your organization:"),
     1,
     {kLabelLeft, 3765, 1740, 450},
     {kInputLeft, 3720, kInputWidth, 720},
     6,
     140,
     108},
    {QT_TRANSLATE_NOOP("lumarel::Form1", "Plans you are making for the event:"),
     2,
     {kLabelLeft, 4575, 1980, 675},
     {kInputLeft, 4530, kInputWidth, 720},
     7,
     142,
     110},
    {QT_TRANSLATE_NOOP("lumarel::Form1", "Items attendees should bring:"),
     3,
     {kLabelLeft, 5385, 1740, 450},
     {kInputLeft, 5340, kInputWidth, 720},
     8,
     144,
     112},
}};

const std::array<ButtonSpec, 3> kButtons{{
    {"PushButton6",
     QT_TRANSLATE_NOOP("lumarel::Form1", "&Start Creating Template"),
     {120, 120, 9000, 405},
     20},
    {"PushButton2",
     QT_TRANSLATE_NOOP("lumarel::Form1", "&Clear/Reset Data"),
     {120, 630, 4440, 405},
     21},
    {"PushButton3",
     QT_TRANSLATE_NOOP("lumarel::Form1", "&Load Sample/Example Data"),
     {4680, 630, 4440, 405},
     22},
}};

} // namespace

const FieldLayout& fieldLayout(const FieldSpec& field)
{
    return kFieldLayouts.at(static_cast<std::size_t>(&field - eventFields().data()));
}

std::span<const ButtonSpec> windowButtons()
{
    return kButtons;
}

} // namespace lumarel
