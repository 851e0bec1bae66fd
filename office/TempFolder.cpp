#include "office/TempFolder.h"

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

// Makes sure `folder` is a real folder owned by this user that nobody else may enter.
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
    if ((info.st_mode & 0077) != 0 && ::chmod(native.constData(), 0700) != 0)
        throw Failure(QStringLiteral("The temporary folder %1 could not be made private: %2")
                          .arg(folder, systemError(errno)));
}

} // namespace

QString flyerTempFolder()
{
    const QString temp = qEnvironmentVariable("TEMP");
    if (!temp.isEmpty()) {
        struct stat info;
        if (::stat(QFile::encodeName(temp).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
            throw Failure(QStringLiteral("The folder %1, which the variable TEMP names for "
                                         "temporary files, does not exist or is not a folder. "
                                         "Create it, or set TEMP to another folder (or unset it "
                                         "to use a private one under %2).")
                              .arg(temp, QDir::tempPath()));
        return temp;
    }
    const QString folder =
        QDir::tempPath() + QStringLiteral("/lumarel-") + QString::number(::getuid());
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
