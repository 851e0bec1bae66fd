#pragma once

#include <functional>

namespace lumarel {

// Ends the program at once: no unload handling of other windows, no clean-up. Settings are
// already on disk, and any office process dies with the program. Tests replace the ending
// so that the test process survives it; callers therefore stop their own work right after.
void endProgram(int exitCode = 0);
// Work that must not outlive the program, ended just before it ends (also under tests).
void addProgramEndAction(std::function<void()> action);
void setProgramEndForTests(std::function<void(int)> handler);

} // namespace lumarel
