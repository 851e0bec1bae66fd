#include "app/ProcessMemory.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace lumarel {

qint64 processMemoryKb(qint64 pid, const char* file, const char* field)
{
    QFile figures(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(file)));
    if (pid <= 0 || !figures.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : figures.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

} // namespace lumarel
