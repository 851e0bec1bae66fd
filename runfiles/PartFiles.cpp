#include "runfiles/PartFiles.h"

#include "app/Failure.h"
#include "app/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace lumarel {

namespace {

constexpr char kExportPrefix[] = "export-";
constexpr char kOwnerLock[] = "owner.lock";

} // namespace

QString partFileMarker()
{
    return QStringLiteral(".lumarel-part-");
}

void removeAbandonedPartFiles(const QString& folder)
{
    static const QRegularExpression name(QStringLiteral("^\\..+\\.lumarel-part-(\\d+)-.{6}$"));
    const QStringList parts =
        QDir(folder).entryList({QStringLiteral(".*") + partFileMarker() + QLatin1Char('*')},
                               QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& part : parts) {
        const QRegularExpressionMatch match = name.match(part);
        bool valid = false;
        const pid_t writer = pid_t(match.captured(1).toLongLong(&valid));
        // A process that exists, whoever's it is, may still be writing.
        if (valid && writer > 0 && ::kill(writer, 0) != 0 && errno == ESRCH)
            QFile::remove(QDir(folder).filePath(part));
    }
}

QString namingTarget(const QString& description, const QString& target)
{
    const QFileInfo info(target);
    QString temp;
    try {
        temp = flyerTempFolder();
    } catch (const Failure&) {
        // Then no private folder was made in it either.
    }
    const QRegularExpression part(
        QStringLiteral("(?:%1|%2/%5[A-Za-z0-9]{6})/\\.+%3(?:%4\\d+-[A-Za-z0-9]{6}(?:\\.doc)?)+")
            .arg(QRegularExpression::escape(info.absolutePath()), QRegularExpression::escape(temp),
                 QRegularExpression::escape(info.fileName()),
                 QRegularExpression::escape(partFileMarker()), QLatin1String(kExportPrefix)));
    return QString(description).replace(part, target);
}

void removeAbandonedExportFolders()
{
    QString root;
    try {
        root = flyerTempFolder();
    } catch (const Failure&) {
        return; // the run itself tells what is wrong with the folder
    }
    const QDir temp(root);
    for (const QString& name :
         temp.entryList({QLatin1String(kExportPrefix) + QLatin1Char('*')}, QDir::Dirs)) {
        const QString folder = temp.filePath(name);
        // TEMP may be shared: another user's folders are theirs to remove.
        struct stat info;
        if (::lstat(QFile::encodeName(folder).constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
            info.st_uid != ::getuid())
            continue;
        // A folder without its lock may be one that is being set up right now.
        const QString lockPath = folder + QLatin1Char('/') + QLatin1String(kOwnerLock);
        if (!QFileInfo::exists(lockPath))
            continue;
        QLockFile owner(lockPath);
        owner.setStaleLockTime(0); // only a dead owner leaves it
        if (!owner.tryLock(0))
            continue;
        owner.unlock();
        QDir(folder).removeRecursively();
    }
}

void writePrivatelyThenMove(const QString& destination,
                            const std::function<void(const QString&)>& write)
{
    QTemporaryDir folder(flyerTempFolder() + QLatin1Char('/') + QLatin1String(kExportPrefix) +
                         QStringLiteral("XXXXXX"));
    if (!folder.isValid())
        throw Failure(QStringLiteral("No folder for the new file could be made in %1: %2")
                          .arg(flyerTempFolder(), folder.errorString()));
    // Held while the folder lives, so that a later run removes it only when this one was
    // killed; released before the folder goes.
    QLockFile owner(folder.filePath(QLatin1String(kOwnerLock)));
    owner.setStaleLockTime(0);
    if (!owner.tryLock(0))
        throw Failure(QStringLiteral("No folder for the new file could be made in %1: its lock "
                                     "file could not be made")
                          .arg(flyerTempFolder()));
    const QString made = folder.filePath(QFileInfo(destination).fileName());
    write(made);
    if (std::rename(QFile::encodeName(made).constData(),
                    QFile::encodeName(destination).constData()) == 0)
        return;
    if (errno != EXDEV)
        throw Failure(QStringLiteral("The file %1 could not be moved to %2: %3")
                          .arg(made, destination, QString::fromLocal8Bit(std::strerror(errno))));
    QFile source(made);
    QFile target(destination);
    if (!source.open(QIODevice::ReadOnly) ||
        !target.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Failure(QStringLiteral("The file %1 could not be copied to %2: %3")
                          .arg(made, destination,
                               source.isOpen() ? target.errorString() : source.errorString()));
    while (!source.atEnd()) {
        const QByteArray block = source.read(1 << 20);
        if (block.isEmpty() && source.error() != QFileDevice::NoError)
            throw Failure(QStringLiteral("The file %1 could not be read: %2")
                              .arg(made, source.errorString()));
        if (target.write(block) != block.size())
            throw Failure(QStringLiteral("The file %1 could not be written: %2")
                              .arg(destination, target.errorString()));
    }
    if (!target.flush())
        throw Failure(QStringLiteral("The file %1 could not be written: %2")
                          .arg(destination, target.errorString()));
}

} // namespace lumarel
