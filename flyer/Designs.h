#pragma once

#include <QString>

#include <span>

namespace lumarel {

// A flyer design the program carries inside itself: a Word 97 template with the six bookmarks.
struct BuiltInDesign
{
    const char* name;     // what a user types to choose it
    const char* title;    // what it looks like, in a few words
    const char* resource; // the template's resource path
};

// The built-in designs, the default first.
std::span<const BuiltInDesign> builtInDesigns();
const BuiltInDesign& defaultDesign();
// The built-in design of that name; nullptr for any other name.
const BuiltInDesign* builtInDesign(const QString& name);

} // namespace lumarel
