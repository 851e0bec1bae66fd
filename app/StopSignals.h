#pragma once

#include <functional>

namespace lumarel {

// SIGTERM, SIGHUP and SIGINT (a logout, `kill`, a closed terminal, Ctrl+C) end the window program
// the way a close of its window does. The handler only writes the signal's number into a pipe; the
// event loop reads it and calls `onStop` there, where windows may be closed and files removed.
void endOnStopSignals(std::function<void(int signal)> onStop);

// The display server going away makes Qt warn and call exit(); this turns that exit, and any
// other call of exit() from a library, into `onExit` followed by the program's usual end. On the
// display's loss that happens at Qt's warning, before exit() starts, with every library whole.
// Any other exit() runs it only after the destructors of the statics made since this call:
// call it as late as possible in start-up, once the libraries that other threads use are
// loaded.
void endOnLibraryExit(std::function<void()> onExit);

} // namespace lumarel
