#include "office/OfficeEngine.h"

#include "office/DocumentLocks.h"
#include "office/EngineState.h"
#include "office/OfficeCallWatch.h"
#include "office/OfficeConnection.h"
#include "office/OfficeProfile.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/util/CloseVetoException.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <sys/stat.h>
#include <utility>

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace lumarel {

namespace {

constexpr int kProfileIncomplete = 81; // the office's exit code after it made a new profile

std::atomic<int> testTimeLimitMs{0};

// Offices of a command's pool make their calls on threads of their own.
std::mutex callWatcherMutex;
std::function<void(const QString&)> callWatcher;

} // namespace

void watchOfficeCallsForTests(std::function<void(const QString& doing)> watcher)
{
    const std::lock_guard lock(callWatcherMutex);
    callWatcher = std::move(watcher);
}

void announceOfficeCall(const QString& doing)
{
    std::function<void(const QString&)> watcher;
    {
        const std::lock_guard lock(callWatcherMutex);
        watcher = callWatcher;
    }
    if (watcher)
        watcher(doing);
}

int limit(int normalMs)
{
    const int forTests = testTimeLimitMs.load();
    return forTests > 0 ? forTests : normalMs;
}

void OfficeEngine::Impl::requireRunning() const
{
    if (!run.process)
        throw Failure(stopped);
}

Reference<css::lang::XComponent> OfficeEngine::Impl::requireDocument() const
{
    requireRunning();
    if (!document.is())
        throw Failure(QStringLiteral("No document is open in the office."));
    return document;
}

Reference<css::uno::XComponentContext> OfficeEngine::Impl::connect(const QString& doing)
{
    localContext(); // made here, where a failure to make it is reported as such
    return call(doing, limit(kStartLimitMs),
                [process = run.process, pipeName = run.pipeName,
                 program = program]() -> Reference<css::uno::XComponentContext> {
                    const OfficeReached outcome = reachOffice(pipeName, process);
                    if (outcome.context.is())
                        return outcome.context;
                    if (*outcome.exitCode == kProfileIncomplete)
                        return nullptr;
                    // Exit code 0 here typically means another office took the request.
                    throw Failure(
                        QStringLiteral("The office (%1) ended with exit code %2 before the "
                                       "program could connect to it. Please check that "
                                       "LibreOffice Writer starts normally.")
                            .arg(program)
                            .arg(*outcome.exitCode));
                });
}

void OfficeEngine::Impl::start(const QString& profileFolder)
{
    const QString privateTemp = folder.path() + QStringLiteral("/tmp");
    QDir().mkpath(privateTemp);
    QStringList environment{QStringLiteral("TMPDIR=") + privateTemp};
    const QString fonts = writeFontConfig(folder.path());
    if (!fonts.isEmpty())
        environment << QStringLiteral("FONTCONFIG_FILE=") + fonts;
    // Set by this program for its own side of the connection only.
    const QStringList removed{QStringLiteral("URE_BOOTSTRAP"), QStringLiteral("SESSION_MANAGER")};

    run.profileUrl = QUrl::fromLocalFile(profileFolder).toString(QUrl::FullyEncoded);
    for (int attempt = 0; attempt < 2; ++attempt) {
        run.pipeName = newOfficePipeName();
        recordOfficePipes(folder.path(), run.pipeName, run.profileUrl);
        const QStringList arguments{
            QStringLiteral("--headless"),
            QStringLiteral("--invisible"),
            QStringLiteral("--norestore"),
            QStringLiteral("--nologo"),
            QStringLiteral("--nodefault"),
            QStringLiteral("--nolockcheck"),
            QStringLiteral("--accept=pipe,name=%1;urp;").arg(run.pipeName),
            QStringLiteral("-env:UserInstallation=") + run.profileUrl,
        };
        run.process = std::make_shared<OfficeProcess>(program, arguments, environment, removed);
        remote = connect(QStringLiteral("starting"));
        if (remote.is())
            return;
        run.end(0);
    }
    throw Failure(QStringLiteral("The office (%1) could not set up its profile in \"%2\".")
                      .arg(program, profileFolder));
}

void OfficeEngine::Impl::shutDown()
{
    document.clear();
    setAside.clear();
    desktop.clear();
    remote.clear();
    const QString profileUrl = run.profileUrl;
    run.end(0);
    for (const QString& path : std::exchange(openedPaths, {}))
        removeOwnLock(path, profileUrl);
}

void OfficeEngine::Impl::releaseFolder()
{
    if (!ownerLock)
        return;
    folder.setAutoRemove(false);
    const QDir own(folder.path());
    for (const QFileInfo& entry :
         own.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (entry.fileName() == QLatin1String(kOwnerLockName))
            continue;
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
    ownerLock.reset();
    own.rmdir(own.path());
}

void OfficeEngine::Impl::prepareBaseProfile(const QString& base)
{
    QLockFile lock(base + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(limit(kStartLimitMs) * 2)) {
        // A cache folder that cannot be written (or is not there yet) fails the lock too; it
        // is looked at only then, not at every start.
        if (const QString problem = cacheFolderProblem(); !problem.isEmpty())
            throw Failure(problem);
        if (!lock.tryLock(0))
            throw Failure(QStringLiteral("The office profile in \"%1\" is locked by another "
                                         "program.")
                              .arg(base));
    }
    if (QFileInfo::exists(base + QStringLiteral("/user")))
        return;
    // Made aside and renamed, so that a half-made profile is never taken for a whole one.
    const QString making = base + QStringLiteral(".making");
    QDir(making).removeRecursively();
    // The office makes its files with the user's umask; this folder keeps the profile private.
    if (::mkdir(QFile::encodeName(making).constData(), 0700) != 0)
        throw Failure(QStringLiteral("The office profile could not be made in \"%1\": %2")
                          .arg(making, QString::fromLocal8Bit(std::strerror(errno))));
    start(making);
    // A full start and an orderly end leave the profile complete.
    Reference<css::uno::XComponentContext> context = remote;
    call(QStringLiteral("preparing its profile"), limit(kStartLimitMs), [context] {
        markVersionSeen(context);
        blockRemoteContent(context);
        try {
            css::frame::Desktop::create(context)->terminate();
        } catch (const css::lang::DisposedException&) {
        }
    });
    remote.clear();
    run.end(kExitGraceMs);
    if (!recordBaseProfileProgram(making, program) || !QDir().rename(making, base))
        throw Failure(
            QStringLiteral("The office profile could not be stored in \"%1\".").arg(base));
    removeReplacedBaseProfiles(base, program);
}

OfficeEngine::OfficeEngine() : d(std::make_unique<Impl>())
{
    if (!d->folder.isValid())
        throw Failure(QStringLiteral("No private folder for the office could be made in the "
                                     "temporary folder: %1")
                          .arg(d->folder.errorString()));
    d->ownerLock = std::make_unique<QLockFile>(d->folder.filePath(QLatin1String(kOwnerLockName)));
    d->ownerLock->lock();
    removeAbandonedInstanceFolders();
    d->program = officeExecutable();
    const QString base = baseProfileFolder(d->program);
    if (!QFileInfo::exists(base + QStringLiteral("/user")))
        d->prepareBaseProfile(base);
    const QString profile = d->folder.path() + QStringLiteral("/profile");
    if (!copyFolder(base, profile))
        throw Failure(
            QStringLiteral("The office profile could not be copied to \"%1\".").arg(profile));
    d->start(profile);
    Reference<css::uno::XComponentContext> remote = d->remote;
    d->desktop = d->call(QStringLiteral("starting"), limit(kCallLimitMs),
                         [remote] { return css::frame::Desktop::create(remote); });
}

OfficeEngine::~OfficeEngine()
{
    try {
        quit();
    } catch (...) {
    }
    d->shutDown();
}

void OfficeEngine::quit()
{
    if (!d->run.process)
        return;
    const Reference<css::lang::XComponent> document = d->document;
    d->document.clear();
    d->setAside.clear();
    Reference<css::frame::XDesktop2> desktop = d->desktop;
    try {
        d->call(QStringLiteral("quitting"), limit(kQuitLimitMs), [desktop, document] {
            try {
                // Closed first, so that its lock file goes with it.
                if (document.is())
                    Reference<css::util::XCloseable>(document, UNO_QUERY_THROW)->close(true);
            } catch (const css::util::CloseVetoException&) {
            }
            try {
                // A veto leaves the office running; it is ended below all the same.
                desktop->terminate();
            } catch (const css::lang::DisposedException&) {
            }
        });
    } catch (const Failure&) {
    }
    d->desktop.clear();
    d->remote.clear();
    d->run.end(kExitGraceMs);
    d->stopped = QStringLiteral("The office has already quit.");
}

void OfficeEngine::closeDocuments()
{
    d->requireRunning();
    const Reference<css::frame::XDesktop2> desktop = d->desktop;
    d->document.clear();
    d->setAside.clear();
    d->call(QStringLiteral("closing its documents"), limit(kCallLimitMs), [desktop] {
        Reference<css::container::XEnumeration> items =
            desktop->getComponents()->createEnumeration();
        while (items->hasMoreElements()) {
            Reference<css::util::XCloseable> closeable(items->nextElement(), UNO_QUERY);
            try {
                if (closeable.is())
                    closeable->close(true);
            } catch (const css::util::CloseVetoException&) {
            }
        }
    });
    d->openedPaths.clear();
}

QString OfficeEngine::privateFolder() const
{
    return d->folder.path();
}

bool OfficeEngine::answers()
{
    if (!d->run.process || d->run.process->exitCode())
        return false;
    const Reference<css::frame::XDesktop2> desktop = d->desktop;
    try {
        d->call(QStringLiteral("checking that it answers"), limit(kAnswerLimitMs),
                [desktop] { desktop->getComponents()->createEnumeration(); });
        return true;
    } catch (...) {
        return false;
    }
}

void OfficeEngine::endWithoutConnection()
{
    try {
        const QString profileUrl = d->run.profileUrl;
        d->run.end(0);
        for (const QString& path : std::exchange(d->openedPaths, {}))
            removeOwnLock(path, profileUrl);
        d->releaseFolder();
    } catch (...) {
    }
}

void OfficeEngine::endNow()
{
    d->shutDown();
    d->stopped = QStringLiteral("The office has already quit.");
}

void OfficeEngine::prepareConnection()
{
    prepareUnoConnection();
}

void OfficeEngine::loadConnectionLibraries()
{
    lumarel::loadConnectionLibraries();
}

qint64 OfficeEngine::processId() const
{
    return d->run.process ? d->run.process->pid() : 0;
}

void OfficeEngine::setTimeLimitForTests(int milliseconds)
{
    testTimeLimitMs = milliseconds;
}

} // namespace lumarel
