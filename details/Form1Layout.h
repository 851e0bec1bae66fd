#pragma once

#include "app/Twips.h"
#include "record/EventRecord.h"

#include <span>

namespace lumarel {

// How the main window shows one field. Geometry is in twips, relative to the frame.
struct FieldLayout
{
    const char* caption;
    int labelIndex; // index in the Label4 control array
    TwipsRect label;
    TwipsRect input;
    int tabIndex;
    int restoreStep; // start-up step that restores it
    int resetStep;   // step of Clear/Reset and of the sample data; 0 for the pickers
};

// A push button across the top of the main window; geometry in twips, relative to the window.
struct ButtonSpec
{
    const char* name;
    const char* caption;
    TwipsRect rect;
    int tabIndex;
};

// The main window's layout in twips.
namespace layout {
inline constexpr int kClientWidth = 9240;
inline constexpr int kClientHeight = 7500;
inline constexpr TwipsRect kFrame{120, 1110, 9000, 6255};
} // namespace layout

// The layout of one of eventFields().
const FieldLayout& fieldLayout(const FieldSpec& field);
std::span<const ButtonSpec> windowButtons();

} // namespace lumarel
