#include "office/OfficeProfile.h"

#include "office/OfficeProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace lumarel {

namespace {

struct FileDescriptor
{
    int fd;
    ~FileDescriptor()
    {
        if (fd >= 0)
            close(fd);
    }
};

QString programFolder(const QString& program)
{
    return QFileInfo(QFileInfo(program).canonicalFilePath()).absolutePath();
}

bool writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly) &&
           file.write(contents) == contents.size() && file.flush();
}

// The contents and permission bits of the file `name`, into a new file of that name.
bool copyFile(int fromFolder, const char* name, int toFolder)
{
    const FileDescriptor in{openat(fromFolder, name, O_RDONLY | O_CLOEXEC)};
    struct stat info;
    if (in.fd < 0 || fstat(in.fd, &info) != 0)
        return false;
    const FileDescriptor out{
        openat(toFolder, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777)};
    if (out.fd < 0)
        return false;
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(in.fd, buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = write(out.fd, buffer + done, size_t(got - done));
            if (put < 0 && errno != EINTR)
                return false;
            done += std::max<ssize_t>(put, 0);
        }
    }
}

// Plain system calls relative to open folders: a profile holds about a hundred entries, and
// QFile::copy (a temporary file, a rename, the permissions set afterwards) took over a
// millisecond for each, on every start of an office.
bool copyFolderContents(int from, int to)
{
    const int listed = dup(from);
    std::unique_ptr<DIR, int (*)(DIR*)> entries(listed >= 0 ? fdopendir(listed) : nullptr,
                                                closedir);
    if (!entries) {
        if (listed >= 0)
            close(listed);
        return false;
    }
    while (const dirent* entry = readdir(entries.get())) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        struct stat link;
        if (fstatat(from, name, &link, AT_SYMLINK_NOFOLLOW) != 0)
            return false;
        if (S_ISDIR(link.st_mode)) {
            if (mkdirat(to, name, 0777) != 0 && errno != EEXIST)
                return false;
            const FileDescriptor source{
                openat(from, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)};
            const FileDescriptor target{
                openat(to, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)};
            if (source.fd < 0 || target.fd < 0 || !copyFolderContents(source.fd, target.fd))
                return false;
            continue;
        }
        // A link is followed to a file, never to a folder.
        struct stat followed;
        if (!S_ISREG(link.st_mode) &&
            (fstatat(from, name, &followed, 0) != 0 || !S_ISREG(followed.st_mode)))
            continue;
        if (!copyFile(from, name, to))
            return false;
    }
    return true;
}

} // namespace

bool copyFolder(const QString& from, const QString& to)
{
    if (!QDir().mkpath(to))
        return false;
    const FileDescriptor source{
        open(QFile::encodeName(from).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    const FileDescriptor target{
        open(QFile::encodeName(to).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    return source.fd >= 0 && target.fd >= 0 && copyFolderContents(source.fd, target.fd);
}

QString officeSetupVersion(const QString& program)
{
    QFile registry(programFolder(program) + QStringLiteral("/../share/registry/main.xcd"));
    if (!registry.open(QIODevice::ReadOnly))
        return QString();
    static const QRegularExpression version(
        QStringLiteral(R"(<prop oor:name="ooSetupVersion">\s*<value>([0-9]+\.[0-9]+)</value>)"));
    return version.match(QString::fromUtf8(registry.readAll())).captured(1);
}

QString officeBuildId(const QString& program)
{
    QFile versions(programFolder(program) + QStringLiteral("/versionrc"));
    if (!versions.open(QIODevice::ReadOnly))
        return QString();
    for (const QByteArray& line : versions.readAll().split('\n'))
        if (line.startsWith("buildid="))
            return QString::fromUtf8(line.mid(8).trimmed());
    return QString();
}

void seedNewProfile(const QString& program, const QStringList& arguments)
{
    static const QString option = QStringLiteral("-env:UserInstallation=");
    QString profile;
    for (const QString& argument : arguments)
        if (argument.startsWith(option))
            profile = QUrl(argument.mid(option.size())).toLocalFile();
    if (profile.isEmpty() || QFileInfo::exists(profile + QStringLiteral("/user")))
        return;
    const QString version = officeSetupVersion(program);
    const QString buildId = officeBuildId(program);
    if (version.isEmpty() || buildId.isEmpty())
        return;
    // Only a whole seed: one file alone would leave the office half-prepared.
    const QString user = profile + QStringLiteral("/user");
    const bool seeded =
        writeFile(user + QStringLiteral("/extensions/buildid"), buildId.toUtf8()) &&
        writeFile(user + QStringLiteral("/registrymodifications.xcu"),
                  QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
                                 "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
                                 "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
                                 "<item oor:path=\"/org.openoffice.Setup/Product\"><prop "
                                 "oor:name=\"ooSetupLastVersion\" oor:op=\"fuse\"><value>%1"
                                 "</value></prop></item>\n"
                                 "</oor:items>\n")
                      .arg(version.toHtmlEscaped())
                      .toUtf8());
    if (!seeded)
        QDir(user).removeRecursively();
}

QString cacheFolderProblem()
{
    const QString folder = programCacheFolder();
    QTemporaryFile probe(folder + QStringLiteral("/.write-check-XXXXXX"));
    if (QDir().mkpath(folder) && probe.open())
        return QString();
    const QString cause = probe.error() == QFileDevice::NoError
                              ? QString()
                              : QStringLiteral(" (%1)").arg(probe.errorString());
    return QStringLiteral("The cache folder \"%1\" cannot be written%2, and the office's base "
                          "profile is kept there. Please make the folder writable, or set "
                          "XDG_CACHE_HOME to a folder that is.")
        .arg(folder, cause);
}

} // namespace lumarel
