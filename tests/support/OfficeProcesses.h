#pragma once

#include "office/OfficeProcess.h"

#include <QDir>
#include <QFile>
#include <QList>

#include <cerrno>
#include <csignal>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumarel::test {

// The state letter of a process in /proc, or 0 when there is no such process.
inline char processState(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')');
    return end >= 0 && end + 2 < line.size() ? line[end + 2] : 0;
}

// A process that ended counts as gone even while nobody has reaped it yet.
inline bool processGone(qint64 pid)
{
    const char state = processState(pid);
    return state == 0 || state == 'Z' || state == 'X';
}

// The living processes whose parent is `parent` (this process unless named).
inline QList<qint64> childProcesses(qint64 parent = getpid())
{
    QList<qint64> children;
    for (const ProcessStatus& process : processTable())
        if (process.parent == parent && process.state != 'Z' && process.state != 'X')
            children << process.pid;
    return children;
}

// Sends `signal` to `pid`, a child of this process. A SIGSTOP returns only once every thread of
// it has stopped: kill() returns as soon as one thread takes the signal, and until that one has
// stopped the others, they may still answer a call.
inline void signalChild(qint64 pid, int signal)
{
    ::kill(pid_t(pid), signal);
    siginfo_t info;
    if (signal == SIGSTOP)
        while (waitid(P_PID, id_t(pid), &info, WSTOPPED | WNOWAIT) != 0 && errno == EINTR) {
        }
}

} // namespace lumarel::test
