#include "app/RegularFile.h"

#include "app/Failure.h"

#include <QFile>
#include <QLocale>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumarel {

namespace {

// A descriptor that closes itself.
struct Descriptor
{
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

QString kindProblem(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("is a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("is a named pipe (FIFO), not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("is a device, not a file");
    if (S_ISSOCK(mode))
        return QStringLiteral("is a socket, not a file");
    return QStringLiteral("is not a regular file");
}

QString openProblem(int error)
{
    if (error == ENOENT)
        return QStringLiteral("does not exist");
    if (error == EACCES || error == EPERM)
        return QStringLiteral("may not be read (no permission)");
    return QStringLiteral("cannot be read: %1").arg(QString::fromLocal8Bit(std::strerror(error)));
}

// Opens `path` for reading without waiting for a pipe's writer; the descriptor is that of a
// regular file, or the problem is set.
Descriptor openRegular(const QString& path, struct stat* info, QString* problem)
{
    Descriptor file;
    file.fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file.fd < 0) {
        *problem = openProblem(errno);
    } else if (::fstat(file.fd, info) != 0) {
        *problem = openProblem(errno);
    } else if (!S_ISREG(info->st_mode)) {
        *problem = kindProblem(info->st_mode);
    }
    return file;
}

} // namespace

QString regularFileProblem(const QString& path)
{
    struct stat info;
    QString problem;
    openRegular(path, &info, &problem);
    return problem;
}

QByteArray readRegularFile(const QString& path, qint64 maxBytes)
{
    struct stat info;
    QString problem;
    const Descriptor file = openRegular(path, &info, &problem);
    if (!problem.isEmpty())
        throw Failure(problem);
    const auto tooLarge = [&] {
        return Failure(QStringLiteral("is larger than %1, more than such a file ever holds")
                           .arg(QLocale::c().formattedDataSize(maxBytes)));
    };
    if (info.st_size > maxBytes)
        throw tooLarge();
    // The size may change while the file is read; what is read is what counts.
    QByteArray bytes;
    bytes.reserve(qsizetype(info.st_size));
    char block[65536];
    for (;;) {
        const ssize_t got = ::read(file.fd, block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw Failure(openProblem(errno));
        if (got == 0)
            return bytes;
        if (bytes.size() + got > maxBytes)
            throw tooLarge();
        bytes.append(block, qsizetype(got));
    }
}

} // namespace lumarel
