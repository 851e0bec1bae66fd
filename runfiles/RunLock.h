#pragma once

#include <QLockFile>
#include <QString>

namespace lumarel {

// Two runs of the program (two windows, or a window and the command line) share the fixed
// names template.dot and the design copy in the temporary folder (flyerTempFolder()). A run holds
// this lock while it uses them; a second run waits for it. The window's flyers are made off
// its thread, so nobody waits here on the window's. The lock of a
// program that was killed never blocks: it names a process that no longer exists.
class RunLock
{
public:
    static constexpr int kWaitMs = 60000; // as long as the office may take for a document

    // Waits up to `waitMs` for the lock; throws Failure when another run keeps it longer.
    explicit RunLock(int waitMs = kWaitMs);
    ~RunLock() = default;
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    // lumarel.lock in the temporary folder
    static QString path();

private:
    QLockFile m_file;
};

} // namespace lumarel
