#pragma once

#include "details/EventRecord.h"
#include "flyer/BookmarkTexts.h"

namespace lumarel {

// The details as the flyer needs them.
FlyerFields flyerFields(const EventRecord& record);

} // namespace lumarel
