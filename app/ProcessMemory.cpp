#include "app/ProcessMemory.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#ifdef __GLIBC__
#include <malloc.h>
#endif

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

void reuseLargeBlocks()
{
#ifdef __GLIBC__
    // 32 MB is the allocator's largest threshold on 64-bit systems; a letter or A4 page at the
    // picture's 254 DPI is about 24 MB.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}

} // namespace lumarel
