#include "flyer/Designs.h"

namespace lumarel {

namespace {

constexpr BuiltInDesign kDesigns[] = {
    {"classic", "the event's name in a band, the organisation's name up the left edge",
     ":/template.dot"},
    {"poster", "a large heading over the page, the date and time in a dark band",
     ":/designs/poster.dot"},
    {"handout", "a half-letter page, the date and time beside the address in a table",
     ":/designs/handout.dot"},
};

} // namespace

std::span<const BuiltInDesign> builtInDesigns()
{
    return kDesigns;
}

const BuiltInDesign& defaultDesign()
{
    return kDesigns[0];
}

const BuiltInDesign* builtInDesign(const QString& name)
{
    for (const BuiltInDesign& design : kDesigns)
        if (name == QLatin1String(design.name))
            return &design;
    return nullptr;
}

} // namespace lumarel
