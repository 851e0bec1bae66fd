#pragma once

namespace lumarel {

// Makes sure at start-up that an office instance can be created. When it cannot, shows the
// advice message and ends the program; returns whether the program may go on.
bool CheckWordInstalled();

} // namespace lumarel
