#pragma once

#include "designs/PaperSize.h"

#include <QString>

#include <span>

namespace lumarel {

// A flyer design the program carries inside itself: a Word 97 template with the six bookmarks.
struct BuiltInDesign
{
    const char* name;       // what a user types to choose it
    const char* title;      // what it looks like, in a few words
    const char* resource;   // the template's resource path, laid out for Letter (half-letter)
    const char* a4Resource; // the same laid out for A4 (A5)
};

// The built-in designs, the default first.
std::span<const BuiltInDesign> builtInDesigns();
const BuiltInDesign& defaultDesign();
// The built-in design of that name; nullptr for any other name.
const BuiltInDesign* builtInDesign(const QString& name);

} // namespace lumarel

namespace lumarel {

// The file name endings a design file may have, as a file dialog's filter.
QString designFileFilter();

// The design a flyer is made from: a built-in one, or a design file of the user's.
struct FlyerDesign
{
    const BuiltInDesign* builtIn = &defaultDesign(); // nullptr for a file
    QString path;                                    // the file, absolute
    Paper paper = Paper::Letter;                     // a built-in design's; a file keeps its own

    // The embedded template that the ready office keeps open ahead: the default on Letter.
    bool isDefault() const { return builtIn == &defaultDesign() && paper == Paper::Letter; }
    // A built-in design's template for its paper.
    QString resource() const;
    // What the settings store keeps: the built-in name or the file's path.
    QString storedText() const;
};

// The design a user named (a built-in name or a design file's path), checked: throws Failure in
// plain words for an unknown name or a file that is not a design or holds none of the bookmarks.
// A built-in one is on the stored paper.
FlyerDesign chosenDesign(const QString& nameOrPath);

// The stored design as the program uses it, on the stored paper. A stored name it does not know or
// a file that is gone falls back to the default design; `notice` then says so, else it is left
// empty.
FlyerDesign storedDesign(const QString& stored, QString* notice);
// That notice for a stored choice that cannot be used.
QString designFallbackText(const QString& stored);

} // namespace lumarel
