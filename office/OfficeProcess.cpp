#include "office/OfficeProcess.h"

#include "app/Failure.h"
#include "app/TempFolder.h"
#include "office/OfficeProfile.h"

#include <QByteArrayList>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace lumarel {

namespace {

// Whether a process of the group `group` still runs; zombies, which write nothing, do not count.
bool groupHasLiveMembers(pid_t group)
{
    const QList<ProcessStatus> processes = processTable();
    return std::any_of(processes.begin(), processes.end(), [group](const ProcessStatus& process) {
        return process.group == group && process.state != 'Z' && process.state != 'X';
    });
}

std::vector<char*> pointers(QByteArrayList& list)
{
    std::vector<char*> result;
    for (QByteArray& item : list)
        result.push_back(item.data());
    result.push_back(nullptr);
    return result;
}

// Only async-signal-safe calls between fork and exec: the parent may have other threads.
[[noreturn]] void execChild(pid_t parent, int errorPipe, char** argv, char** envp)
{
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(127);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    signal(SIGPIPE, SIG_DFL);
    // The office keeps the program's umask: it also makes shared folders of its own (the
    // extension cache under /var/spool, once, as root), which a private mask would close to
    // every other user. The program's files are kept private by the folders they are in.
    const int devNull = open("/dev/null", O_RDWR);
    if (devNull >= 0) {
        dup2(devNull, 0);
        dup2(devNull, 1);
        dup2(devNull, 2);
    }
    close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    execve(argv[0], argv, envp);
    const int error = errno;
    [[maybe_unused]] ssize_t written = write(errorPipe, &error, sizeof error);
    _exit(127);
}

} // namespace

OfficeProcess::OfficeProcess(const QString& program, const QStringList& arguments,
                             const QStringList& extraEnvironment,
                             const QStringList& removedEnvironment)
{
    seedNewProfile(program, arguments);
    QByteArrayList argv{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        argv << argument.toLocal8Bit();
    QByteArrayList envp;
    for (char** entry = environ; *entry; ++entry) {
        const QByteArray pair(*entry);
        const QString name = QString::fromLocal8Bit(pair.left(pair.indexOf('=')));
        const bool replaced = std::any_of(
            extraEnvironment.begin(), extraEnvironment.end(),
            [&](const QString& extra) { return extra.startsWith(name + QLatin1Char('=')); });
        if (!replaced && !removedEnvironment.contains(name))
            envp << pair;
    }
    for (const QString& extra : extraEnvironment)
        envp << extra.toLocal8Bit();
    std::vector<char*> argvPointers = pointers(argv);
    std::vector<char*> envpPointers = pointers(envp);

    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0)
        throw Failure(QStringLiteral("The office could not be started: %1.")
                          .arg(QString::fromLocal8Bit(strerror(errno))));
    const pid_t parent = getpid();
    m_pid = fork();
    if (m_pid == 0)
        execChild(parent, errorPipe[1], argvPointers.data(), envpPointers.data());
    const int forkError = errno;
    close(errorPipe[1]);
    if (m_pid < 0) {
        close(errorPipe[0]);
        throw Failure(QStringLiteral("The office could not be started: %1.")
                          .arg(QString::fromLocal8Bit(strerror(forkError))));
    }
    setpgid(m_pid, m_pid);
    int execError = 0;
    ssize_t got;
    do
        got = read(errorPipe[0], &execError, sizeof execError);
    while (got < 0 && errno == EINTR);
    close(errorPipe[0]);
    if (got == sizeof execError) {
        waitpid(m_pid, nullptr, 0);
        m_reaped = true;
        throw Failure(QStringLiteral("The office program \"%1\" could not be run: %2.")
                          .arg(program, QString::fromLocal8Bit(strerror(execError))));
    }
}

OfficeProcess::~OfficeProcess()
{
    end(0);
}

std::optional<int> OfficeProcess::exitCode() const
{
    if (m_reaped)
        return 128 + SIGKILL;
    siginfo_t info{};
    if (waitid(P_PID, m_pid, &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid == 0)
        return std::nullopt;
    return info.si_code == CLD_EXITED ? info.si_status : 128 + info.si_status;
}

std::optional<int> OfficeProcess::waitForExit(int milliseconds) const
{
    QDeadlineTimer deadline(milliseconds);
    for (;;) {
        if (auto code = exitCode())
            return code;
        if (deadline.hasExpired())
            return std::nullopt;
        QThread::msleep(std::min<qint64>(20, deadline.remainingTime()));
    }
}

void OfficeProcess::killGroup() const
{
    if (!m_reaped)
        kill(-m_pid, SIGKILL);
}

void OfficeProcess::end(int graceMilliseconds)
{
    if (m_reaped)
        return;
    if (graceMilliseconds > 0 && !exitCode()) {
        kill(-m_pid, SIGTERM);
        waitForExit(graceMilliseconds);
    }
    // The leader, reaped or not yet, keeps the group's id reserved until this point.
    kill(-m_pid, SIGKILL);
    while (waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    m_reaped = true;
    // The office's own process outlives the leader by a moment; until it is gone it may still
    // write into the folder that its owner is about to remove.
    const QDeadlineTimer deadline(2000);
    while (groupHasLiveMembers(m_pid) && !deadline.hasExpired())
        QThread::msleep(5);
}

QList<ProcessStatus> processTable()
{
    QList<ProcessStatus> processes;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid pgrp ...": the name may hold spaces and parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && !fields[0].isEmpty())
            processes.append({pid, fields[0][0], fields[1].toLongLong(), fields[2].toLongLong()});
    }
    return processes;
}

QString officeExecutable()
{
    QString program = qEnvironmentVariable("LUMAREL_SOFFICE");
    if (!program.isEmpty()) {
        const QFileInfo info(program);
        if (!info.isFile() || !info.isExecutable())
            throw Failure(QStringLiteral("The office program \"%1\" (named by LUMAREL_SOFFICE) "
                                         "does not exist or cannot be run.")
                              .arg(program));
    } else {
        program = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (program.isEmpty())
            throw Failure(QStringLiteral("LibreOffice Writer is not installed: the program "
                                         "soffice was not found on the search path."));
    }
    const QFileInfo real(QFileInfo(program).canonicalFilePath());
    const QFileInfo binary(real.absolutePath() + QStringLiteral("/soffice.bin"));
    if (real.fileName() == QLatin1String("soffice") && binary.isExecutable())
        return binary.filePath();
    return QFileInfo(program).absoluteFilePath();
}

void removeOfficePipes(const QString& pipeName, const QString& profileUrl)
{
    // The office names its pipes after the user id and, for its single-instance pipe, after the
    // MD5 of the profile URL in UTF-16, each byte in hexadecimal without a leading zero.
    const QByteArray urlBytes(reinterpret_cast<const char*>(profileUrl.utf16()),
                              profileUrl.size() * 2);
    QString hash;
    for (const char byte : QCryptographicHash::hash(urlBytes, QCryptographicHash::Md5))
        hash += QString::number(quint8(byte), 16);
    for (const QString& path : officePipeSockets(pipeName) +
                                   officePipeSockets(QStringLiteral("SingleOfficeIPC_") + hash)) {
        struct stat info;
        if (lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISSOCK(info.st_mode) &&
            info.st_uid == getuid())
            QFile::remove(path);
    }
}

QString newOfficePipeName()
{
    return QStringLiteral("lumarel-") + QUuid::createUuid().toString(QUuid::Id128);
}

QStringList officePipeSockets(const QString& pipeName)
{
    const QString name = QStringLiteral("OSL_PIPE_%1_").arg(getuid()) + pipeName;
    return {QStringLiteral("/tmp/") + name, QStringLiteral("/var/tmp/") + name};
}

void recordOfficePipes(const QString& instanceFolder, const QString& pipeName,
                       const QString& profileUrl)
{
    QFile record(instanceFolder + QStringLiteral("/pipes"));
    if (record.open(QIODevice::Append))
        record.write((pipeName + QLatin1Char(' ') + profileUrl + QLatin1Char('\n')).toUtf8());
}

static void removeAbandonedInstanceFolders(const QString& root);

QString instanceFoldersRoot()
{
    try {
        return flyerTempFolder();
    } catch (const Failure&) {
        return QDir::tempPath();
    }
}

void removeAbandonedInstanceFolders()
{
    // Earlier versions made their folders in the system's temporary folder.
    QStringList roots{instanceFoldersRoot()};
    if (!roots.contains(QDir::tempPath()))
        roots << QDir::tempPath();
    for (const QString& root : roots)
        removeAbandonedInstanceFolders(root);
}

static void removeAbandonedInstanceFolders(const QString& root)
{
    // What another user may have made there is left alone: their folder, or a link, would have
    // this program remove files of its user's that the folder's records name.
    static const QRegularExpression ownPipeName(QStringLiteral("^lumarel-[0-9a-f]{32}$"));
    const QDir temp(root);
    const QStringList folders =
        temp.entryList({QLatin1String(kInstanceFolderPrefix) + QLatin1Char('*')}, QDir::Dirs);
    for (const QString& name : folders) {
        const QString folder = temp.filePath(name);
        struct stat info;
        if (lstat(QFile::encodeName(folder).constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
            info.st_uid != getuid() || (info.st_mode & 0077) != 0)
            continue;
        // A folder without its lock may be one that is being set up right now.
        const QString lockPath = folder + QLatin1Char('/') + QLatin1String(kOwnerLockName);
        if (!QFileInfo::exists(lockPath))
            continue;
        QLockFile owner(lockPath);
        if (!owner.tryLock(0))
            continue;
        QFile record(folder + QStringLiteral("/pipes"));
        if (record.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : record.readAll().split('\n')) {
                const QList<QByteArray> fields = line.trimmed().split(' ');
                const QString pipeName = QString::fromUtf8(fields[0]);
                // The profile's URL only enters a hash, which names no folder.
                if (fields.size() == 2 && ownPipeName.match(pipeName).hasMatch())
                    removeOfficePipes(pipeName, QString::fromUtf8(fields[1]));
            }
        }
        owner.unlock();
        QDir(folder).removeRecursively();
    }
}

namespace {
constexpr char kBaseProfilePrefix[] = "office-profile-";
} // namespace

QString baseProfileFolder(const QString& program)
{
    // A new office build, or a new kind of preparation, gets a base of its own.
    constexpr int kPreparation = 3;
    // The time straight from the file: a conversion through local time would touch the
    // process's time zone state, which other threads may be reading.
    struct stat info = {};
    stat(QFile::encodeName(program).constData(), &info);
    const QByteArray key = QFile::encodeName(program) + '\n' +
                           QByteArray::number(qint64(info.st_mtime)) + '\n' +
                           QByteArray::number(kPreparation);
    const QString id = QString::fromLatin1(
        QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(12));
    return programCacheFolder() + QLatin1Char('/') + QLatin1String(kBaseProfilePrefix) + id;
}

QString programCacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/lumarel");
}

bool recordBaseProfileProgram(const QString& base, const QString& program)
{
    QFile record(base + QStringLiteral("/program"));
    return record.open(QIODevice::WriteOnly) &&
           record.write(QFile::encodeName(program)) == QFile::encodeName(program).size();
}

void removeReplacedBaseProfiles(const QString& base, const QString& program)
{
    const QDir cache(QFileInfo(base).absolutePath());
    for (const QString& name :
         cache.entryList({QLatin1String(kBaseProfilePrefix) + QLatin1Char('*')},
                         QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString other = cache.filePath(name);
        // Folders with a dot in the name are bases still being made.
        if (other == base || name.contains(QLatin1Char('.')))
            continue;
        QFile record(other + QStringLiteral("/program"));
        if (record.open(QIODevice::ReadOnly) && QFile::decodeName(record.readAll()) != program)
            continue;
        QLockFile lock(other + QStringLiteral(".lock"));
        if (lock.tryLock(0))
            QDir(other).removeRecursively();
    }
}

QString writeFontConfig(const QString& folder)
{
    QFile aliases(QStringLiteral(":/fonts.conf"));
    if (!aliases.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray aliasText = aliases.readAll();
    const QString mainPath = folder + QStringLiteral("/fonts.conf");
    QFile main(mainPath);
    if (!main.open(QIODevice::WriteOnly))
        return QString();
    if (aliasText.contains("/etc/fonts/fonts.conf")) {
        main.write(aliasText);
    } else {
        // Aliases alone would lose every system font: the system setup comes along.
        const QString aliasPath = folder + QStringLiteral("/font-aliases.conf");
        QFile aliasCopy(aliasPath);
        if (!aliasCopy.open(QIODevice::WriteOnly) || aliasCopy.write(aliasText) < 0)
            return QString();
        main.write(
            QStringLiteral("<?xml version=\"1.0\"?>\n"
                           "<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                           "<fontconfig>\n"
                           "  <include ignore_missing=\"yes\">%1</include>\n"
                           "  <include ignore_missing=\"yes\">/etc/fonts/fonts.conf</include>\n"
                           "</fontconfig>\n")
                .arg(aliasPath.toHtmlEscaped())
                .toUtf8());
    }
    main.close();
    return main.error() == QFileDevice::NoError ? mainPath : QString();
}

} // namespace lumarel
