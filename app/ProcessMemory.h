#pragma once

#include <QtGlobal>

namespace lumarel {

// A memory figure the kernel gives for process `pid`: the line `field` (such as "VmRSS:") of
// /proc/<pid>/<file> (such as "status"), in kB; -1 when it cannot be read.
qint64 processMemoryKb(qint64 pid, const char* file, const char* field);

// The resident memory of process `pid`, in kB; -1 when it cannot be read.
inline qint64 residentKb(qint64 pid)
{
    return processMemoryKb(pid, "status", "VmRSS:");
}

// A page's picture takes tens of megabytes at a time, and the allocator would map fresh memory
// for each one and give it back after: one page fault per 4 kB, which on a virtual machine costs
// more than drawing the page. Blocks of up to 32 MB come from the heap instead, and the heap
// keeps up to 64 MB of what is freed at its end, so that the next picture reuses the same pages.
// Call once, before any thread starts; a no-op outside glibc.
void reuseLargeBlocks();

} // namespace lumarel
