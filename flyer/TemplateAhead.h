#pragma once

#include "designs/Designs.h"
#include "office/OfficePool.h"

#include <optional>

namespace lumarel {

class OfficeEngine;

// Opens `design` in `office` ahead of the window's next flyer, as a flyer run opens it, with its
// bookmarks looked up, for OfficePool::prepareWith(). Only a built-in design, and only when the
// temporary folder holds no template copy: a copy left there is for the next run to open as it
// is. Nothing when it could not be opened.
std::optional<OpenedAhead> openDesignAhead(OfficeEngine& office, const FlyerDesign& design);

} // namespace lumarel
