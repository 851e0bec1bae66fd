#include "office/DeadlineRunner.h"

#include <QByteArrayList>
#include <QCoreApplication>
#include <QFile>
#include <QThread>

namespace lumarel {

bool onEventThread()
{
    return QCoreApplication::instance() && QThread::currentThread() == qApp->thread();
}

qint64 cpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
}

} // namespace lumarel
