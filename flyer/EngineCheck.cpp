#include "flyer/EngineCheck.h"

namespace lumarel {

// Placeholder until the office engine exists: start-up goes on.
bool CheckWordInstalled()
{
    return true;
}

} // namespace lumarel
