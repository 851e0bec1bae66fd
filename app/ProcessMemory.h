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

} // namespace lumarel
