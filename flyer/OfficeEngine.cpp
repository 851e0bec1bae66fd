#include "flyer/OfficeEngine.h"

#include "app/Failure.h"
#include "flyer/InsertedText.h"
#include "office/OfficeProcess.h"
#include "flyer/TextBoxRepair.h"
#include "flyer/UnoText.h"
#include "flyer/WordBookmarks.h"
#include "flyer/WordParagraphs.h"
#include "flyer/WordShapes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QMutex>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QUuid>
#include <poppler-qt6.h>

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameReplace.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/text/XBookmarksSupplier.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextFrame.hpp>
#include <com/sun/star/text/XTextFramesSupplier.hpp>
#include <com/sun/star/util/CloseVetoException.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>

#include <atomic>
#include <condition_variable>
#include <csignal>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>
#include <utility>

namespace css = com::sun::star;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace lumarel {

namespace {

// A hung office is noticed within these times; the window stays responsive meanwhile.
constexpr int kStartLimitMs = 20000;
constexpr int kDocumentLimitMs = 15000;
constexpr int kCallLimitMs = 15000;
constexpr int kAnswerLimitMs = 5000;
constexpr int kQuitLimitMs = 10000;
constexpr int kExitGraceMs = 5000;
constexpr int kProfileIncomplete = 81; // the office's exit code after it made a new profile

std::atomic<int> testTimeLimitMs{0};

int limit(int normalMs)
{
    const int forTests = testTimeLimitMs.load();
    return forTests > 0 ? forTests : normalMs;
}

rtl::OUString fileUrl(const QString& path)
{
    return toUno(
        QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded));
}

css::beans::PropertyValue property(const char* name, const css::uno::Any& value)
{
    css::beans::PropertyValue result;
    result.Name = rtl::OUString::createFromAscii(name);
    result.Value = value;
    return result;
}

css::uno::Sequence<css::beans::PropertyValue>
properties(std::initializer_list<css::beans::PropertyValue> list)
{
    return css::uno::Sequence<css::beans::PropertyValue>(list.begin(), sal_Int32(list.size()));
}

QString officeMessage(const css::uno::Exception& e)
{
    const QString message = fromUno(e.Message).trimmed();
    return message.isEmpty() ? QStringLiteral("the office gave no reason") : message;
}

// The local end of the UNO connection, made once per program from the office's own setup.
Reference<css::uno::XComponentContext> localContext()
{
    static QMutex mutex;
    static Reference<css::uno::XComponentContext> context;
    QMutexLocker lock(&mutex);
    if (context.is())
        return context;
    OfficeEngine::prepareConnection();
    try {
        context = cppu::defaultBootstrap_InitialComponentContext();
    } catch (const cppu::BootstrapException& e) {
        throw Failure(QStringLiteral("The connection to the office could not be prepared: %1")
                          .arg(fromUno(e.getMessage())));
    } catch (const css::uno::Exception& e) {
        throw Failure(QStringLiteral("The connection to the office could not be prepared: %1")
                          .arg(officeMessage(e)));
    }
    return context;
}

// A failure that means the office itself went away during a call.
struct OfficeGone
{
};

// The CPU time a process has used so far, in clock ticks; -1 once it is gone.
qint64 cpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
}

// `progressing` says whether the office used CPU time since it was last asked: a slow office on
// a busy machine is at work, and the limit counts from its last work, up to kBusyCapMs in all.
// An office that is stopped or waits for nothing uses none and is ended at the limit.
constexpr int kBusyCapMs = 120000;

// Runs `work` on a worker thread while the calling thread keeps its events flowing, so that a
// blocked office never freezes a window. UNO calls cannot be cancelled: at the deadline
// `onTimeout` ends the office, which makes the blocked call return with an exception.
template <typename Work>
using Outcome = std::conditional_t<std::is_void_v<std::invoke_result_t<Work>>, bool,
                                   std::invoke_result_t<Work>>;

template <typename Work>
std::optional<Outcome<Work>> runWithDeadline(int limitMs, Work work,
                                             const std::function<void()>& onTimeout,
                                             const std::function<bool()>& progressing = {})
{
    using Result = std::invoke_result_t<Work>;
    using Stored = Outcome<Work>;
    struct State
    {
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        bool abandoned = false;
        std::optional<Stored> result;
        std::exception_ptr error;
        QEventLoop* loop = nullptr;
    };
    auto state = std::make_shared<State>();
    QEventLoop loop;
    state->loop = &loop;

    std::thread worker([state, work]() mutable {
        try {
            if constexpr (std::is_void_v<Result>) {
                work();
                state->result = true;
            } else {
                state->result = work();
            }
        } catch (...) {
            state->error = std::current_exception();
        }
        std::lock_guard lock(state->mutex);
        state->done = true;
        state->finished.notify_all();
        if (!state->abandoned)
            QMetaObject::invokeMethod(state->loop, "quit", Qt::QueuedConnection);
    });

    QTimer deadline;
    QElapsedTimer clock;
    clock.start();
    qint64 lastWorkMs = 0;
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        const qint64 now = clock.elapsed();
        if (progressing && now < kBusyCapMs && progressing())
            lastWorkMs = now;
        if (now - lastWorkMs >= limitMs)
            loop.quit();
    });
    deadline.start(progressing ? qMin(limitMs, 1000) : limitMs);
    {
        std::unique_lock lock(state->mutex);
        if (!state->done) {
            lock.unlock();
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        }
    }

    std::unique_lock lock(state->mutex);
    const bool timedOut = !state->done;
    if (timedOut) {
        lock.unlock();
        onTimeout();
        lock.lock();
        state->finished.wait_for(lock, std::chrono::seconds(10), [&] { return state->done; });
    }
    state->abandoned = true;
    if (!state->done) {
        // Still blocked after its office was killed: nothing more can be done for it.
        worker.detach();
        return std::nullopt;
    }
    lock.unlock();
    worker.join();
    if (timedOut)
        return std::nullopt;
    if (state->error)
        std::rethrow_exception(state->error);
    return std::move(state->result);
}

QStringList paragraphsOf(const Reference<css::text::XText>& text)
{
    QStringList result;
    Reference<css::container::XEnumerationAccess> access(text, UNO_QUERY_THROW);
    Reference<css::container::XEnumeration> items = access->createEnumeration();
    while (items->hasMoreElements()) {
        Reference<css::lang::XServiceInfo> item(items->nextElement(), UNO_QUERY);
        if (item.is() && item->supportsService("com.sun.star.text.Paragraph"))
            result << fromUno(Reference<css::text::XTextRange>(item, UNO_QUERY_THROW)->getString());
    }
    return result;
}

// Every query of a remote object is a call to the office too: these run inside a timed call.
Reference<css::text::XTextDocument> textOf(const Reference<css::lang::XComponent>& document)
{
    Reference<css::text::XTextDocument> text(document, UNO_QUERY);
    if (!text.is())
        throw Failure(QStringLiteral("The open document is not a text document."));
    return text;
}

Reference<css::container::XNameAccess> bookmarksOf(const Reference<css::lang::XComponent>& document)
{
    Reference<css::text::XBookmarksSupplier> supplier(document, UNO_QUERY);
    if (!supplier.is())
        throw Failure(QStringLiteral("The open document has no bookmarks."));
    return supplier->getBookmarks();
}

Reference<css::container::XIndexAccess> framesOf(const Reference<css::lang::XComponent>& document)
{
    return Reference<css::container::XIndexAccess>(
        Reference<css::text::XTextFramesSupplier>(textOf(document), UNO_QUERY_THROW)
            ->getTextFrames(),
        UNO_QUERY_THROW);
}

// The office's lock file beside a document: ",user,host,date,profile URL;".
QString lockFile(const QString& document)
{
    const QFileInfo info(document);
    return info.absolutePath() + QStringLiteral("/.~lock.") + info.fileName() + QLatin1Char('#');
}

QStringList lockFields(const QString& document)
{
    QFile lock(lockFile(document));
    if (!lock.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(lock.read(4096)).trimmed();
    if (text.endsWith(QLatin1Char(';')))
        text.chop(1);
    return text.split(QLatin1Char(','));
}

QString lockOwner(const QString& document)
{
    const QStringList fields = lockFields(document);
    if (fields.size() < 4)
        return QString();
    return QStringLiteral("%1 on %2 since %3").arg(fields[1], fields[2], fields[3]);
}

// A killed office leaves its lock behind, and the office then refuses the document. A lock
// whose office profile no longer exists belongs to no running office.
void removeStaleLock(const QString& document)
{
    const QStringList fields = lockFields(document);
    if (fields.size() < 5)
        return;
    const QUrl profile(fields[4]);
    if (profile.isLocalFile() && !QFileInfo::exists(profile.toLocalFile()))
        QFile::remove(lockFile(document));
}

// The lock of a document this office had open, once the office is gone.
void removeOwnLock(const QString& document, const QString& profileUrl)
{
    const QStringList fields = lockFields(document);
    if (fields.size() >= 5 && QUrl(fields[4]).toLocalFile() == QUrl(profileUrl).toLocalFile())
        QFile::remove(lockFile(document));
}

// The office runs its graphics self-tests (over three seconds) at every start until its profile
// records this version as seen, and only a start with a user interface records it. The base
// profile records it once, so that the instances copied from it start without the tests. An
// office whose settings are laid out otherwise just keeps its slower start.
void markVersionSeen(const Reference<css::uno::XComponentContext>& context)
try {
    const Reference<css::lang::XMultiServiceFactory> provider =
        css::configuration::theDefaultProvider::get(context);
    const css::uno::Any node(css::beans::NamedValue(
        rtl::OUString("nodepath"), css::uno::Any(rtl::OUString("/org.openoffice.Setup/Product"))));
    const Reference<css::container::XNameReplace> product(
        provider->createInstanceWithArguments(
            rtl::OUString("com.sun.star.configuration.ConfigurationUpdateAccess"),
            css::uno::Sequence<css::uno::Any>(&node, 1)),
        UNO_QUERY);
    const Reference<css::util::XChangesBatch> changes(product, UNO_QUERY);
    if (!changes.is())
        return;
    product->replaceByName(rtl::OUString("ooSetupLastVersion"),
                           product->getByName(rtl::OUString("ooSetupVersion")));
    changes->commitChanges();
} catch (const css::uno::RuntimeException&) {
    throw; // the office itself failed
} catch (const css::uno::Exception&) {
}

} // namespace

struct OfficeEngine::Impl
{
    // A started office with its pipe and profile; ending it also removes its pipe files.
    struct Run
    {
        std::unique_ptr<OfficeProcess> process;
        QString pipeName;
        QString profileUrl;

        ~Run() { end(0); }
        void end(int graceMs)
        {
            if (!process)
                return;
            if (graceMs > 0)
                process->waitForExit(graceMs);
            process->end(graceMs > 0 ? 2000 : 0);
            process.reset();
            removeOfficePipes(pipeName, profileUrl);
        }
    };

    QString program;
    QTemporaryDir folder{instanceFoldersRoot() + QLatin1Char('/') +
                         QLatin1String(kInstanceFolderPrefix) + QStringLiteral("XXXXXX")};
    std::unique_ptr<QLockFile> ownerLock; // released before the folder goes
    Run run;
    Reference<css::uno::XComponentContext> remote;
    Reference<css::frame::XDesktop2> desktop;
    Reference<css::lang::XComponent> document;
    // The documents that were active when another was opened, the latest last.
    QList<Reference<css::lang::XComponent>> setAside;
    QStringList openedPaths; // whose locks an office that ends abruptly leaves behind
    QString stopped = QStringLiteral("The office is no longer running."); // once it is not
    bool displayAlerts = true;
    bool busy = false;
    // Where each bookmark of filledDocument received its text.
    Reference<css::lang::XComponent> filledDocument;
    QHash<QString, TextPlace> filled;

    // Starts an office on the profile folder and connects; one restart when it only made its
    // profile.
    void start(const QString& profileFolder);
    Reference<css::uno::XComponentContext> connect(const QString& doing);
    void prepareBaseProfile(const QString& base);
    void shutDown();

    template <typename Work> auto call(const QString& doing, int limitMs, Work work);

    void requireRunning() const;
    Reference<css::lang::XComponent> requireDocument() const;
    void restoreDroppedBookmarks(const QString& path);
    // Stores a copy of the document at `path` with the filter the arguments name; `doing` takes
    // the path.
    void storeCopy(const Reference<css::lang::XComponent>& document, const QString& path,
                   const css::uno::Sequence<css::beans::PropertyValue>& arguments,
                   const QString& doing);
};

template <typename Work> auto OfficeEngine::Impl::call(const QString& doing, int limitMs, Work work)
{
    requireRunning();
    if (busy)
        throw Failure(QStringLiteral("The office is still busy with another task; %1 has to wait.")
                          .arg(doing));
    busy = true;
    const auto clearBusy = qScopeGuard([this] { busy = false; });
    OfficeProcess* process = run.process.get();
    auto guarded = [&, work]() mutable {
        try {
            return work();
        } catch (const css::lang::DisposedException&) {
            throw OfficeGone();
        } catch (const css::uno::RuntimeException& e) {
            // A broken bridge shows as a runtime exception; only the process can tell.
            if (process->waitForExit(1000))
                throw OfficeGone();
            throw Failure(
                QStringLiteral("The office failed while %1: %2").arg(doing, officeMessage(e)));
        } catch (const css::uno::Exception& e) {
            throw Failure(
                QStringLiteral("The office failed while %1: %2").arg(doing, officeMessage(e)));
        }
    };
    decltype(runWithDeadline(limitMs, guarded, [] {})) result;
    try {
        result = runWithDeadline(
            limitMs, guarded, [process] { process->killGroup(); },
            [pid = process->pid(), last = cpuTicks(process->pid())]() mutable {
                const qint64 now = cpuTicks(pid);
                const bool moved = now > last;
                last = now;
                return moved;
            });
    } catch (const OfficeGone&) {
        stopped = QStringLiteral("The office is no longer running: it ended while %1.").arg(doing);
        shutDown();
        throw Failure(QStringLiteral("The office ended unexpectedly while %1.").arg(doing));
    }
    if (!result) {
        stopped = QStringLiteral("The office is no longer running: it was stopped when it did not "
                                 "answer while %1.")
                      .arg(doing);
        shutDown();
        throw Failure(QStringLiteral("The office did not answer within %1 seconds while %2, so "
                                     "it was stopped. Please try again.")
                          .arg(qMax(1, limitMs / 1000))
                          .arg(doing));
    }
    if constexpr (!std::is_void_v<decltype(work())>)
        return std::move(*result);
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

// Word 97 import drops the bookmarks that stand inside text boxes; they are put back here.
void OfficeEngine::Impl::restoreDroppedBookmarks(const QString& path)
{
    QList<WordBookmark> fileBookmarks;
    QList<WordShape> fileShapes;
    WordParagraphs fileParagraphs;
    try {
        fileBookmarks = readWordBookmarks(path);
        fileShapes = readWordShapes(path);
        fileParagraphs = readWordParagraphs(path);
    } catch (const Failure&) {
        if (fileBookmarks.isEmpty())
            return; // not a Word 97 file: its import loses nothing of this kind
    }
    // The import adds stock styles of the office's own that the file does not hold.
    QStringList fileStyles;
    for (int i = 0; i < fileParagraphs.styles.size(); ++i)
        fileStyles << fileParagraphs.officeStyleName(i);
    const Reference<css::lang::XComponent> opened = document;
    call(QStringLiteral("restoring the text boxes of \"%1\"").arg(path), limit(kCallLimitMs),
         [opened, fileBookmarks, fileShapes, fileParagraphs, fileStyles] {
             restoreTextBoxBookmarks(opened, fileBookmarks, fileShapes, fileParagraphs);
             if (!fileStyles.isEmpty())
                 lumarel::removeUnusedStyles(opened, fileStyles);
             clearWhitePageBackground(opened);
         });
}

void OfficeEngine::Impl::storeCopy(const Reference<css::lang::XComponent>& document,
                                   const QString& path,
                                   const css::uno::Sequence<css::beans::PropertyValue>& arguments,
                                   const QString& doing)
{
    const rtl::OUString url = fileUrl(path);
    call(doing.arg(path), limit(kDocumentLimitMs), [=] {
        // The office counts words, characters and pages only when idle, so a document stored
        // right after it was opened or filled would carry no statistics (or the template's) in
        // the formats whose filters do not count for themselves (.docx). Asking for a count
        // recounts the whole document and gives its properties the new figures.
        Reference<css::beans::XPropertySet> counts(document, UNO_QUERY);
        if (counts.is())
            counts->getPropertyValue("WordCount");
        Reference<css::frame::XStorable>(document, UNO_QUERY_THROW)->storeToURL(url, arguments);
    });
}

Reference<css::uno::XComponentContext> OfficeEngine::Impl::connect(const QString& doing)
{
    struct Outcome
    {
        Reference<css::uno::XComponentContext> context;
        std::optional<int> exitCode;
    };
    OfficeProcess* process = run.process.get();
    const rtl::OUString url =
        toUno(QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(run.pipeName));
    const Reference<css::uno::XComponentContext> local = localContext();
    auto attempt = [process, url, local]() -> Outcome {
        Reference<css::bridge::XUnoUrlResolver> resolver =
            css::bridge::UnoUrlResolver::create(local);
        for (;;) {
            try {
                Reference<css::uno::XComponentContext> context(resolver->resolve(url),
                                                               UNO_QUERY_THROW);
                return {context, std::nullopt};
            } catch (const css::connection::NoConnectException&) {
            } catch (const css::connection::ConnectionSetupException&) {
            }
            // The process is checked after a failed attempt: an office that quit right after
            // accepting still counts as reached.
            if (auto code = process->exitCode())
                return {nullptr, code};
            QThread::msleep(25);
        }
    };
    return call(doing, limit(kStartLimitMs), [&]() -> Reference<css::uno::XComponentContext> {
        Outcome outcome = attempt();
        if (outcome.context.is())
            return outcome.context;
        if (*outcome.exitCode == kProfileIncomplete)
            return nullptr;
        // Exit code 0 here typically means another office took the request.
        throw Failure(QStringLiteral("The office (%1) ended with exit code %2 before the program "
                                     "could connect to it. Please check that LibreOffice Writer "
                                     "starts normally.")
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
        run.pipeName = QStringLiteral("lumarel-") + QUuid::createUuid().toString(QUuid::Id128);
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
        run.process = std::make_unique<OfficeProcess>(program, arguments, environment, removed);
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

void OfficeEngine::Impl::prepareBaseProfile(const QString& base)
{
    QDir().mkpath(QFileInfo(base).absolutePath());
    QLockFile lock(base + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(limit(kStartLimitMs) * 2))
        throw Failure(
            QStringLiteral("The office profile in \"%1\" is locked by another program.").arg(base));
    if (QFileInfo::exists(base + QStringLiteral("/user")))
        return;
    // Made aside and renamed, so that a half-made profile is never taken for a whole one.
    const QString making = base + QStringLiteral(".making");
    QDir(making).removeRecursively();
    start(making);
    // A full start and an orderly end leave the profile complete.
    Reference<css::uno::XComponentContext> context = remote;
    call(QStringLiteral("preparing its profile"), limit(kStartLimitMs), [context] {
        markVersionSeen(context);
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
    d->ownerLock = std::make_unique<QLockFile>(d->folder.filePath(QStringLiteral("owner.lock")));
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

void OfficeEngine::open(const QString& path, bool readOnly)
{
    d->requireRunning();
    if (!QFileInfo(path).isFile())
        throw Failure(QStringLiteral("The document \"%1\" does not exist.").arg(path));
    removeStaleLock(path);
    const rtl::OUString url = fileUrl(path);
    const Reference<css::frame::XDesktop2> desktop = d->desktop;
    const css::uno::Sequence<css::beans::PropertyValue> arguments = properties({
        property("Hidden", css::uno::Any(true)),
        property("ReadOnly", css::uno::Any(readOnly)),
        property("MacroExecutionMode",
                 css::uno::Any(sal_Int16(css::document::MacroExecMode::NEVER_EXECUTE))),
        property("UpdateDocMode",
                 css::uno::Any(sal_Int16(css::document::UpdateDocMode::NO_UPDATE))),
    });
    Reference<css::lang::XComponent> opened =
        d->call(QStringLiteral("opening \"%1\"").arg(path), limit(kDocumentLimitMs),
                [=] { return desktop->loadComponentFromURL(url, "_blank", 0, arguments); });
    if (!opened.is() && !readOnly) {
        if (const QString owner = lockOwner(path); !owner.isEmpty())
            throw Failure(QStringLiteral("The office could not open \"%1\": it is open in another "
                                         "office (%2). Please close it there.")
                              .arg(path, owner));
    }
    if (!opened.is())
        throw Failure(
            QStringLiteral("The office could not open \"%1\": it is not a document it can read.")
                .arg(path));
    if (d->document.is())
        d->setAside << d->document;
    d->document = opened;
    d->openedPaths << path;
    d->restoreDroppedBookmarks(path);
}

void OfficeEngine::setBookmarkText(const QString& name, const QString& text)
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    const QStringList paragraphs = documentParagraphs(text);
    const rtl::OUString unoName = toUno(name);
    if (d->filledDocument != document) {
        d->filled.clear();
        d->filledDocument = document;
    }
    const TextPlace earlier = d->filled.value(name);
    const std::optional<TextPlace> filled =
        d->call(QStringLiteral("setting the text of the bookmark \"%1\"").arg(name),
                limit(kCallLimitMs), [=]() -> std::optional<TextPlace> {
                    // The text put in last time is replaced, so one open template serves many
                    // flyers (the bookmark itself stays an empty point before it).
                    TextPlace place = earlier;
                    if (!place.range.is()) {
                        Reference<css::container::XNameAccess> marks = bookmarksOf(document);
                        if (!marks->hasByName(unoName))
                            return std::nullopt;
                        place.range = Reference<css::text::XTextContent>(marks->getByName(unoName),
                                                                         UNO_QUERY_THROW)
                                          ->getAnchor();
                    }
                    insertParagraphs(place, paragraphs);
                    return place;
                });
    if (!filled)
        throw Failure(QStringLiteral("The document has no bookmark named \"%1\".").arg(name));
    d->filled.insert(name, *filled);
}

void OfficeEngine::saveAs(const QString& path, const QString& filterName)
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
        throw Failure(QStringLiteral("The document cannot be saved as \"%1\": the folder does "
                                     "not exist.")
                          .arg(path));
    const rtl::OUString url = fileUrl(path);
    const css::uno::Sequence<css::beans::PropertyValue> arguments = properties({
        property("FilterName", css::uno::Any(toUno(filterName))),
        property("Overwrite", css::uno::Any(true)),
    });
    d->openedPaths << path;
    d->call(
        QStringLiteral("saving the document as \"%1\"").arg(path), limit(kDocumentLimitMs), [=] {
            Reference<css::frame::XStorable>(document, UNO_QUERY_THROW)->storeAsURL(url, arguments);
        });
}

void OfficeEngine::setDisplayAlerts(bool on)
{
    d->requireRunning();
    d->displayAlerts = on;
}

bool OfficeEngine::displayAlerts() const
{
    return d->displayAlerts;
}

void OfficeEngine::close()
{
    closeWithoutSaving();
}

void OfficeEngine::closeWithoutSaving()
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    d->call(QStringLiteral("closing the document"), limit(kCallLimitMs), [document] {
        Reference<css::util::XCloseable> closeable(document, UNO_QUERY);
        try {
            if (closeable.is()) {
                closeable->close(true);
                return;
            }
        } catch (const css::util::CloseVetoException&) {
        }
        document->dispose();
    });
    d->document =
        d->setAside.isEmpty() ? Reference<css::lang::XComponent>() : d->setAside.takeLast();
}

void OfficeEngine::exportPdf(const QString& path, const QString& pageRange)
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    const css::uno::Sequence<css::beans::PropertyValue> filterData = properties({
        property("PageRange", css::uno::Any(toUno(pageRange))),
    });
    const css::uno::Sequence<css::beans::PropertyValue> arguments = properties({
        property("FilterName", css::uno::Any(rtl::OUString("writer_pdf_Export"))),
        property("FilterData", css::uno::Any(filterData)),
    });
    d->storeCopy(document, path, arguments, QStringLiteral("exporting \"%1\" as PDF"));
}

void OfficeEngine::exportCopy(const QString& path, const QString& filterName)
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    const rtl::OUString filter = toUno(filterName);
    css::uno::Sequence<css::beans::PropertyValue> arguments = properties({
        property("FilterName", css::uno::Any(filter)),
        property("Overwrite", css::uno::Any(true)),
    });
    if (filter == "writer_pdf_Export") {
        const css::uno::Sequence<css::beans::PropertyValue> allFonts = properties({
            property("EmbedStandardFonts", css::uno::Any(true)),
        });
        arguments.realloc(3);
        arguments.getArray()[2] = property("FilterData", css::uno::Any(allFonts));
    }
    d->storeCopy(document, path, arguments, QStringLiteral("storing a copy as \"%1\""));
}

int OfficeEngine::pageCount()
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    return d->call(QStringLiteral("counting the pages"), limit(kCallLimitMs), [document] {
        // The document's view lays it out, hidden or not.
        const Reference<css::frame::XController> view =
            Reference<css::frame::XModel>(document, UNO_QUERY_THROW)->getCurrentController();
        sal_Int32 pages = 0;
        if (view.is())
            Reference<css::beans::XPropertySet>(view, UNO_QUERY_THROW)
                ->getPropertyValue("PageCount") >>= pages;
        return int(pages);
    });
}

QImage OfficeEngine::renderFirstPage(int dotsPerMeter)
{
    if (dotsPerMeter <= 0)
        throw Failure(
            QStringLiteral("A page cannot be rendered at %1 dots per metre.").arg(dotsPerMeter));
    const QString pdf = d->folder.path() + QStringLiteral("/page.pdf");
    QFile::remove(pdf);
    exportPdf(pdf, QStringLiteral("1"));

    std::unique_ptr<Poppler::Document> pdfDocument = Poppler::Document::load(pdf);
    QFile::remove(pdf);
    if (!pdfDocument || pdfDocument->isLocked() || pdfDocument->numPages() < 1)
        throw Failure(QStringLiteral("The office's picture of the first page could not be read."));
    std::unique_ptr<Poppler::Page> page = pdfDocument->page(0);
    pdfDocument->setRenderHint(Poppler::Document::Antialiasing);
    pdfDocument->setRenderHint(Poppler::Document::TextAntialiasing);
    // The page size is in points (1/72 inch); the pixel size is rounded only once, from it.
    const QSizeF points = page->pageSizeF();
    const double dpi = dotsPerMeter * 0.0254;
    const QSize pixels(qRound(points.width() / 72.0 * dpi), qRound(points.height() / 72.0 * dpi));
    QImage rendered = page->renderToImage(dpi, dpi, 0, 0, pixels.width(), pixels.height());
    if (rendered.isNull())
        throw Failure(QStringLiteral("The first page could not be rendered."));
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (rendered.size() == pixels) {
        image = rendered.convertToFormat(QImage::Format_RGB32);
    } else {
        for (int y = 0; y < qMin(pixels.height(), rendered.height()); ++y)
            for (int x = 0; x < qMin(pixels.width(), rendered.width()); ++x)
                image.setPixel(x, y, rendered.pixel(x, y));
    }
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
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
        d->ownerLock.reset();
        d->folder.remove();
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
    // A request written to an office that has just died must come back from the bridge as an
    // error, not end this program with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
        qputenv("URE_BOOTSTRAP",
                "vnd.sun.star.pathname:" LUMAREL_OFFICE_PROGRAM_DIR "/fundamentalrc");
}

QStringList OfficeEngine::paragraphs() const
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    return d->call(QStringLiteral("reading the document"), limit(kCallLimitMs),
                   [document] { return paragraphsOf(textOf(document)->getText()); });
}

QStringList OfficeEngine::paragraphStyles() const
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    return d->call(QStringLiteral("reading the document"), limit(kCallLimitMs),
                   [document] { return paragraphStyleNames(textOf(document)->getText()); });
}

QList<QStringList> OfficeEngine::textBoxParagraphs() const
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    return d->call(QStringLiteral("reading the document's text boxes"), limit(kCallLimitMs),
                   [document] { return lumarel::textBoxParagraphs(document); });
}

QStringList OfficeEngine::bookmarkNames() const
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    return d->call(QStringLiteral("reading the document's bookmarks"), limit(kCallLimitMs),
                   [document] {
                       QStringList names;
                       for (const rtl::OUString& name : bookmarksOf(document)->getElementNames())
                           names << fromUno(name);
                       return names;
                   });
}

QStringList OfficeEngine::removeUnusedStyles(const QStringList& kept)
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    return d->call(QStringLiteral("removing unused styles"), limit(kCallLimitMs),
                   [=] { return lumarel::removeUnusedStyles(document, kept); });
}

void OfficeEngine::addBookmarkInTextFrame(int frameIndex, int offset, const QString& name)
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    const rtl::OUString unoName = toUno(name);
    const QString problem = d->call(
        QStringLiteral("adding the bookmark \"%1\"").arg(name), limit(kCallLimitMs),
        [=]() -> QString {
            if (bookmarksOf(document)->hasByName(unoName))
                return QStringLiteral("the document already has a bookmark of that name");
            Reference<css::container::XIndexAccess> frames = framesOf(document);
            if (frameIndex < 0 || frameIndex >= frames->getCount())
                return QStringLiteral("the document has no text frame number %1")
                    .arg(frameIndex + 1);
            Reference<css::text::XTextFrame> frame(frames->getByIndex(frameIndex), UNO_QUERY_THROW);
            Reference<css::text::XText> text = frame->getText();
            Reference<css::text::XTextCursor> cursor = text->createTextCursor();
            cursor->gotoStart(false);
            if (offset < 0 || offset > 0x7fff ||
                (offset > 0 && !cursor->goRight(sal_Int16(offset), false)))
                return QStringLiteral("the text frame has fewer than %1 characters").arg(offset);
            Reference<css::lang::XMultiServiceFactory> factory(document, UNO_QUERY_THROW);
            Reference<css::text::XTextContent> bookmark(
                factory->createInstance("com.sun.star.text.Bookmark"), UNO_QUERY_THROW);
            Reference<css::container::XNamed>(bookmark, UNO_QUERY_THROW)->setName(unoName);
            text->insertTextContent(Reference<css::text::XTextRange>(cursor.get()), bookmark,
                                    false);
            return QString();
        });
    if (!problem.isEmpty())
        throw Failure(
            QStringLiteral("The bookmark \"%1\" could not be added: %2.").arg(name, problem));
}

OfficeEngine& runningInstance(std::optional<OfficeEngine>& instance)
{
    if (!instance)
        throw Failure(QStringLiteral("There is no office instance to work with, because it "
                                     "could not be started."));
    return *instance;
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
