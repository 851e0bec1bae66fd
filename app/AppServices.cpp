#include "AppServices.h"

#include "Dialogs.h"
#include "Failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QThread>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumarel {

namespace {

QString& programFolderOverride()
{
    static QString folder;
    return folder;
}

// A folder whose files only their owners may remove (as the system's temporary folder).
bool stickyFolder(const QString& folder)
{
    struct stat info;
    return ::stat(QFile::encodeName(folder).constData(), &info) == 0 && (info.st_mode & S_ISVTX);
}

// The file's inode flags (immutable, append-only); none when they cannot be read.
int fileFlags(const QString& path)
{
    int flags = 0;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0)
            flags = 0;
        ::close(fd);
    }
    return flags;
}

} // namespace

void nameApplication()
{
    QCoreApplication::setOrganizationName(kMakerName);
    QCoreApplication::setApplicationName(kProductName);
    QCoreApplication::setApplicationVersion(kVersion);
}

QString programFolder()
{
    if (!programFolderOverride().isEmpty())
        return programFolderOverride();
    return QCoreApplication::applicationDirPath();
}

void setProgramFolderForTests(const QString& folder)
{
    programFolderOverride() = folder;
}

QString optionalFile(const QString& name)
{
    QStringList folders{programFolder()};
    // Relative folders in these variables are invalid and ignored, as the XDG rules ask.
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    folders << dataHome + QStringLiteral("/lumarel");
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty())
        dataDirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& folder : dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(folder))
            folders << folder + QStringLiteral("/lumarel");
    for (const QString& folder : folders)
        if (FileExists(folder + name))
            return folder + name;
    return folders.front() + name;
}

bool FileExists(const QString& path)
{
    struct stat info;
    const QByteArray native = QFile::encodeName(path);
    return !native.isEmpty() && ::stat(native.constData(), &info) == 0;
}

void RemoveFile(const QString& path)
{
    // The window's pending events go first; work off its thread has none to let through.
    if (QCoreApplication::instance() && QThread::currentThread() == qApp->thread())
        QCoreApplication::processEvents();
    if (!QFile::remove(path))
        ForceDeleteFile(path);
}

void ForceDeleteFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return;
    // Here a delete needs a writable folder, whatever the file's own mode. The folder gets its
    // exact mode back afterwards (set-group-ID and sticky bits included): the user's chosen
    // folder must not stay open to writing.
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    struct stat folderInfo;
    if (::stat(folder.constData(), &folderInfo) != 0)
        return;
    const mode_t mode = folderInfo.st_mode & 07777;
    const bool opened = !(mode & S_IWUSR) && ::chmod(folder.constData(), mode | S_IWUSR) == 0;
    QFile::remove(path);
    if (opened)
        ::chmod(folder.constData(), mode);
}

bool markedUnreplaceable(const QString& path)
{
    return fileFlags(path) & (FS_IMMUTABLE_FL | FS_APPEND_FL);
}

QString replaceRefusal(const QString& path, int error)
{
    const QFileInfo info(path);
    const QString folder = QDir::toNativeSeparators(info.absolutePath());
    QString why;
    const int flags = fileFlags(path);
    if (flags & FS_IMMUTABLE_FL)
        why = QStringLiteral("it is marked as unchangeable (immutable); only an administrator can "
                             "lift that mark");
    else if (flags & FS_APPEND_FL)
        why = QStringLiteral("it is marked so that it may only be added to (append-only)");
    else if (error == EACCES)
        why = QStringLiteral("you may not change the files in the folder %1").arg(folder);
    else if (error == EPERM && stickyFolder(info.absolutePath()) && info.ownerId() != ::geteuid())
        why = QStringLiteral("it belongs to another user, and the folder %1 lets only a file's "
                             "owner remove it")
                  .arg(folder);
    else if (error == EROFS)
        why = QStringLiteral("the disk that holds it can only be read");
    else if (error == EBUSY || error == ETXTBSY)
        why = QStringLiteral("it is in use");
    else if (error == EISDIR)
        why = QStringLiteral("it is a folder");
    else
        why = QString::fromLocal8Bit(std::strerror(error));
    return QStringLiteral("The file %1 could not be replaced: %2.")
        .arg(QDir::toNativeSeparators(path), why);
}

QString appTitleFor(const QString& productName)
{
    QString title = productName;
    for (;;) {
        const qsizetype blank = title.lastIndexOf(QLatin1Char(' '));
        if (blank < 0)
            return title;
        title.truncate(blank);
        if (title.size() <= 40)
            return title;
    }
}

void SetAppTitle()
{
    Dialogs::setAppTitle(appTitleFor(kProductName));
}

QCursor loadCursorFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("The cursor file %1 could not be read: %2")
                          .arg(path, file.errorString()));
    // ICONDIR (reserved, type 2 for cursors, count), then the first entry, whose planes and
    // bit-count fields hold the hot spot in a cursor file.
    const QByteArray header = file.read(22);
    const auto word = [&](int offset) {
        return qFromLittleEndian<quint16>(header.constData() + offset);
    };
    if (header.size() < 22 || word(0) != 0 || word(2) != 2 || word(4) == 0)
        throw Failure(QStringLiteral("Invalid picture"));
    file.seek(0);
    QImageReader reader(&file, "cur");
    const QImage image = reader.read();
    if (image.isNull())
        throw Failure(QStringLiteral("Invalid picture"));
    return QCursor(QPixmap::fromImage(image), word(10), word(12));
}

QIcon appIcon()
{
    QIcon icon;
    for (int size : {32, 48, 128, 256})
        icon.addFile(QStringLiteral(":/icons/lumarel-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace lumarel
