#include "runfiles/RunLock.h"

#include "app/Failure.h"
#include "app/TempFolder.h"

#include <QDeadlineTimer>
#include <QThread>

namespace lumarel {

QString RunLock::path()
{
    return flyerTempFolder() + QStringLiteral("/lumarel.lock");
}

RunLock::RunLock(int waitMs) : m_file(path())
{
    // A run may rightly hold the lock for long; only a dead owner makes it stale.
    m_file.setStaleLockTime(0);
    const QDeadlineTimer deadline(waitMs);
    while (!m_file.tryLock(0)) {
        if (m_file.error() != QLockFile::LockFailedError)
            throw Failure(QStringLiteral("The lock file %1 could not be created.").arg(path()));
        if (deadline.hasExpired())
            throw Failure(QStringLiteral("Another flyer run has been using the temporary folder "
                                         "%1 for more than %2 seconds. Please try again when it "
                                         "has finished.")
                              .arg(flyerTempFolder())
                              .arg(waitMs / 1000));
        QThread::msleep(qMin<qint64>(100, qMax<qint64>(1, deadline.remainingTime())));
    }
}

} // namespace lumarel
