#include "runfiles/FileBeside.h"

#include "app/AppServices.h"
#include "app/Failure.h"
#include "runfiles/PartFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumarel {

namespace {

// Room for the marker, the id and the office's lock-file prefix within a name's 255 bytes.
constexpr qsizetype kLongestShownName = 200;

Failure writeRefusal(const QString& target, int error)
{
    const QString folder = QDir::toNativeSeparators(QFileInfo(target).absolutePath());
    return Failure(
        QStringLiteral("The file %1 could not be written: %2.")
            .arg(QDir::toNativeSeparators(target),
                 error == EACCES
                     ? QStringLiteral("you may not make files in the folder %1").arg(folder)
                 : error == ENOENT ? QStringLiteral("the folder does not exist")
                                   : QString::fromLocal8Bit(std::strerror(error))));
}

} // namespace

FileBeside::FileBeside(const QString& target) : m_target(target)
{
    // Known before any work is done for it.
    if (markedUnreplaceable(target))
        throw Failure(replaceRefusal(target, EPERM));
    const QFileInfo info(target);
    // The marker and the writer's id let a later run remove a part whose writer was killed.
    // A long name is cut in the part's: the part, and the office's lock file beside it while
    // it writes, would be too long a name for the file system.
    QByteArray shown = QFile::encodeName(info.fileName());
    if (shown.size() > kLongestShownName) {
        shown.truncate(kLongestShownName);
        while (!shown.isEmpty() && (uchar(shown.back()) & 0xC0) == 0x80)
            shown.chop(1);
        if (!shown.isEmpty() && uchar(shown.back()) >= 0xC0)
            shown.chop(1);
    }
    QByteArray name = QFile::encodeName(info.absolutePath()) + "/." + shown +
                      QFile::encodeName(partFileMarker() + QString::number(::getpid())) + "-XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        throw writeRefusal(target, errno);
    ::close(fd);
    m_path = QFile::decodeName(name);
}

FileBeside::~FileBeside()
{
    if (!m_path.isEmpty())
        QFile::remove(m_path);
}

void FileBeside::commit(bool replace)
{
    // An empty file means that whatever was to write it failed without saying so.
    if (QFileInfo(m_path).size() == 0)
        throw Failure(
            QStringLiteral("Nothing was written for %1.").arg(QDir::toNativeSeparators(m_target)));
    const QByteArray from = QFile::encodeName(m_path);
    const QByteArray to = QFile::encodeName(m_target);
    // Made like any new file of the user's, not private as temporary files are; set only now,
    // as whatever wrote the file may have made it anew.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(from.constData(), 0666 & ~mask);
    if (replace) {
        if (std::rename(from.constData(), to.constData()) != 0)
            throw Failure(replaceRefusal(m_target, errno));
        m_path.clear();
        return;
    }
    // Neither call replaces an existing file. A file system that cannot rename so still
    // links; the hidden name then goes with the destructor.
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        m_path.clear();
        return;
    }
    if ((errno == EINVAL || errno == ENOSYS) && ::link(from.constData(), to.constData()) == 0)
        return;
    const int error = errno;
    if (error == EEXIST)
        throw Failure(QStringLiteral("%1 already exists").arg(QDir::toNativeSeparators(m_target)));
    throw writeRefusal(m_target, error);
}

} // namespace lumarel
