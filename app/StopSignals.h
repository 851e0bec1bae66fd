#pragma once

#include <functional>

namespace lumarel {

// SIGTERM, SIGHUP and SIGINT (a logout, `kill`, a closed terminal, Ctrl+C) end the window program
// the way a close of its window does. The handler only writes the signal's number into a pipe; the
// event loop reads it and calls `onStop` there, where windows may be closed and files removed.
void endOnStopSignals(std::function<void(int signal)> onStop);

// The display server going away makes Qt call exit(); this turns that exit, and any other call
// of exit() from a library, into `onExit` followed by the program's usual end, before the
// destructors of static objects (a running thread among them) could abort the program.
// Call it as late as possible in start-up: only statics made earlier are protected, so the
// libraries that other threads will use must be loaded before.
void endOnLibraryExit(std::function<void()> onExit);

} // namespace lumarel
