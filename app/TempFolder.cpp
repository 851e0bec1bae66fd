#include "app/TempFolder.h"

#include "app/Failure.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumarel {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Refuses a folder in which someone else could move away or replace what this program makes:
// one of another owner than the user or root, or one that others may write to without the
// sticky bit (which /tmp has).
void checkSharedFolder(const QString& folder, const QString& namedBy)
{
    struct stat info;
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        throw Failure(QStringLiteral("The folder %1, which %2 names for temporary files, does "
                                     "not exist or is not a folder. Create it, or set TEMP to "
                                     "another folder.")
                          .arg(folder, namedBy));
    const bool ownerTrusted = info.st_uid == ::getuid() || info.st_uid == 0;
    if (!ownerTrusted || ((info.st_mode & 0022) != 0 && (info.st_mode & S_ISVTX) == 0))
        throw Failure(QStringLiteral("The folder %1, which %2 names for temporary files, lets "
                                     "other users replace the files in it. Set TEMP to a folder "
                                     "of your own, or to one like /tmp that keeps each user's "
                                     "files apart.")
                          .arg(folder, namedBy));
}

// Makes `folder` as a real folder owned by this user that nobody else may enter, or checks that
// the one there is such a folder. One that was open to others may hold their files, so it is
// refused rather than closed.
void checkPrivateFolder(const QString& folder)
{
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        throw Failure(QStringLiteral("The temporary folder %1 could not be created: %2")
                          .arg(folder, systemError(errno)));
    struct stat info;
    if (::lstat(native.constData(), &info) != 0)
        throw Failure(QStringLiteral("The temporary folder %1 could not be read: %2")
                          .arg(folder, systemError(errno)));
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        throw Failure(QStringLiteral("The temporary folder %1 is not a folder of your own; "
                                     "remove it or set TEMP to a folder of your own.")
                          .arg(folder));
    if ((info.st_mode & 0077) != 0)
        throw Failure(QStringLiteral("The temporary folder %1 is open to other users, who may "
                                     "have put files in it; remove it, and the next run makes "
                                     "it anew for you alone.")
                          .arg(folder));
}

} // namespace

QString flyerTempFolder()
{
    const QString temp = qEnvironmentVariable("TEMP");
    const QString parent = temp.isEmpty() ? QDir::tempPath() : temp;
    checkSharedFolder(parent, temp.isEmpty() ? QStringLiteral("the system")
                                             : QStringLiteral("the variable TEMP"));
    // Always a folder of the user's own inside, even where TEMP is private itself: one rule,
    // and the same names for the files wherever TEMP points.
    const QString folder = parent + QStringLiteral("/lumarel-") + QString::number(::getuid());
    checkPrivateFolder(folder);
    return folder;
}

void SaveBytesToFile(const QByteArray& bytes, const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd =
        ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        throw Failure(
            QStringLiteral("The file %1 could not be created: %2").arg(path, systemError(errno)));
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.close();
        QFile::remove(path);
        throw Failure(QStringLiteral("The file %1 could not be written: %2").arg(path, reason));
    }
}

void replaceFile(const QByteArray& bytes, const QString& path)
{
    // QSaveFile would write through a link at `path`; rename(2) replaces the link itself.
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        throw Failure(
            QStringLiteral("The file %1 could not be written: %2").arg(path, file.errorString()));
    if (::rename(QFile::encodeName(file.fileName()).constData(),
                 QFile::encodeName(path).constData()) != 0)
        throw Failure(
            QStringLiteral("The file %1 could not be replaced: %2").arg(path, systemError(errno)));
    file.setAutoRemove(false);
}

} // namespace lumarel
