#pragma once

#include <functional>

namespace lumarel {

// SIGTERM, SIGHUP and SIGINT (a logout, `kill`, a closed terminal, Ctrl+C) end the window program
// the way a close of its window does. The handler only writes the signal's number into a pipe; the
// event loop reads it and calls `onStop` there, where windows may be closed and files removed.
void endOnStopSignals(std::function<void(int signal)> onStop);

// The same signals on the command line end the process at once, with status 1, from the handler
// itself, so that no call it is blocked in (a named pipe's open, a long loop) holds it. While a
// FinishBeforeStop lives, the work in hand (offices and their files, which only it can clean
// up) is let finish: the signal is only recorded, and the work asks stopRequested() when to end.
void stopCommandOnSignals();
class FinishBeforeStop
{
public:
    FinishBeforeStop();
    ~FinishBeforeStop();
    FinishBeforeStop(const FinishBeforeStop&) = delete;
    FinishBeforeStop& operator=(const FinishBeforeStop&) = delete;
};
bool stopRequested();
// Records a stop as a signal would, or forgets it; for tests.
void requestStop(bool stop = true);

// The display server going away makes Qt warn and call exit(); this turns that exit, and any
// other call of exit() from a library, into `onExit` followed by the program's usual end. On the
// display's loss that happens at Qt's warning, before exit() starts, with every library whole.
// Any other exit() runs it only after the destructors of the statics made since this call:
// call it as late as possible in start-up, once the libraries that other threads use are
// loaded.
void endOnLibraryExit(std::function<void()> onExit);

} // namespace lumarel
