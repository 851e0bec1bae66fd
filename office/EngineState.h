#pragma once

// The inside of OfficeEngine, shared by the files that make it up.

#include "app/Failure.h"
#include "office/DeadlineRunner.h"
#include "office/InsertedText.h"
#include "office/OfficeCallWatch.h"
#include "office/OfficeEngine.h"
#include "office/OfficeProcess.h"
#include "office/UnoValues.h"

#include <QHash>
#include <QList>
#include <QLockFile>
#include <QScopeGuard>
#include <QStringList>
#include <QTemporaryDir>

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

namespace lumarel {

// A hung office is noticed within these times; the window stays responsive meanwhile.
inline constexpr int kStartLimitMs = 20000;
inline constexpr int kDocumentLimitMs = 15000;
inline constexpr int kCallLimitMs = 15000;
inline constexpr int kAnswerLimitMs = 5000;
inline constexpr int kQuitLimitMs = 10000;
inline constexpr int kExitGraceMs = 5000;

// The normal limit, or the tests' one while they set it.
int limit(int normalMs);

// A failure that means the office itself went away during a call.
struct OfficeGone
{
};

struct OfficeEngine::Impl
{
    // A started office with its pipe and profile; ending it also removes its pipe files. The
    // process is shared with the calls in progress, whose workers may outlive a call.
    struct Run
    {
        std::shared_ptr<OfficeProcess> process;
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
    // The folder emptied while it is locked, then the lock released, then the empty folder
    // removed: another start that took the lock meanwhile for an abandoned folder's removes it.
    void releaseFolder();
    ~Impl()
    {
        run.end(0);
        releaseFolder();
    }
    Run run;
    css::uno::Reference<css::uno::XComponentContext> remote;
    css::uno::Reference<css::frame::XDesktop2> desktop;
    css::uno::Reference<css::lang::XComponent> document;
    // The documents that were active when another was opened, the latest last.
    QList<css::uno::Reference<css::lang::XComponent>> setAside;
    QStringList openedPaths; // whose locks an office that ends abruptly leaves behind
    QString stopped = QStringLiteral("The office is no longer running."); // once it is not
    bool busy = false;
    // Where each bookmark of filledDocument received its text.
    css::uno::Reference<css::lang::XComponent> filledDocument;
    QHash<QString, TextPlace> filled;
    // Makes `filled` the places of `document`, forgetting those of another.
    void placesOf(const css::uno::Reference<css::lang::XComponent>& document)
    {
        if (filledDocument != document) {
            filled.clear();
            filledDocument = document;
        }
    }

    // Starts an office on the profile folder and connects; one restart when it only made its
    // profile.
    void start(const QString& profileFolder);
    css::uno::Reference<css::uno::XComponentContext> connect(const QString& doing);
    void prepareBaseProfile(const QString& base);
    void shutDown();

    // Runs `work` with the office's time limit; `work` owns what it touches (see
    // runWithDeadline).
    template <typename Work> auto call(const QString& doing, int limitMs, Work work);

    void requireRunning() const;
    css::uno::Reference<css::lang::XComponent> requireDocument() const;
    // Stores a copy of the document at `path` with the filter the arguments name; `doing` takes
    // the path.
    void storeCopy(const css::uno::Reference<css::lang::XComponent>& document, const QString& path,
                   const css::uno::Sequence<css::beans::PropertyValue>& arguments,
                   const QString& doing, bool withStatistics);
};

template <typename Work> auto OfficeEngine::Impl::call(const QString& doing, int limitMs, Work work)
{
    requireRunning();
    if (busy)
        throw Failure(QStringLiteral("The office is still busy with another task; %1 has to wait.")
                          .arg(doing));
    busy = true;
    const auto clearBusy = qScopeGuard([this] { busy = false; });
    announceOfficeCall(doing);
    // The worker shares the process and keeps its own copy of the description.
    const std::shared_ptr<OfficeProcess> process = run.process;
    auto guarded = [process, doing, work = std::move(work)]() mutable {
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
    qint64 waitedMs = 0;
    try {
        result = runWithDeadline(
            limitMs, std::move(guarded), [process] { process->killGroup(); },
            [pid = process->pid(), last = cpuTicks(process->pid())]() mutable {
                const qint64 now = cpuTicks(pid);
                const bool moved = now > last;
                last = now;
                return moved;
            },
            &waitedMs);
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
        // A busy office is given more than the limit: the time said is the time waited.
        throw Failure(QStringLiteral("The office did not answer within %1 seconds while %2, so "
                                     "it was stopped. Please try again.")
                          .arg(qMax<qint64>(1, waitedMs / 1000))
                          .arg(doing));
    }
    if constexpr (!std::is_void_v<decltype(work())>)
        return std::move(*result);
}

} // namespace lumarel
