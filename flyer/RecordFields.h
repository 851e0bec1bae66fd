#pragma once

#include "flyer/BookmarkTexts.h"
#include "record/EventRecord.h"

namespace lumarel {

// The details as the flyer needs them.
FlyerFields flyerFields(const EventRecord& record);

} // namespace lumarel
