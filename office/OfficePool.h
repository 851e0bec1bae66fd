#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <optional>

namespace lumarel {

class OfficeEngine;

// A document an office holds opened ahead of its next use, and the bookmarks looked up in it.
struct OpenedAhead
{
    QString key; // what was opened, as the preparation names it
    QStringList bookmarks;
};

// Offices started in the background and kept ready between uses, so that nobody waits for an
// office to start more than once. Each office lives with a thread of its own that starts it
// and, when asked, ends it: the office is tied to that thread's life, so it dies with the
// program even when the program is killed. An office is taken for a use, by one user at a time,
// and given back; between uses it holds no document but what the preparation opened ahead.
// Any thread may take and give back.
class OfficePool
{
public:
    OfficePool();
    // Ends every office and waits for their threads.
    ~OfficePool();
    OfficePool(const OfficePool&) = delete;
    OfficePool& operator=(const OfficePool&) = delete;

    // Keeps `count` offices starting or running from now on, the ones in use included, and
    // starts the missing ones in the background. Never throws.
    void keep(int count);
    // Waits until an office that is not in use is connected (starting one when none is) and
    // prepared; returns the reason why it could not be started, or an empty text. Never throws.
    QString waitUntilConnected();
    // An office for one use: one that is ready, or the one starting, or a new one; an office
    // that ended or no longer answers, or whose start failed, is replaced. Throws Failure when
    // no office can be started.
    // What the office held opened ahead, unused, goes to `ahead` when given; the document stays
    // open for the use, which takes it over or leaves it to be closed at the give-back.
    OfficeEngine& take(std::optional<OpenedAhead>* ahead = nullptr);
    // After a use: the documents the office still holds are closed, and it is ready for the
    // next use. An office that failed during the use, or does not close them, or has grown
    // beyond the limit of replaceWhenGrown(), is ended, and one is started in its place in the
    // background when the pool keeps it.
    void giveBack(OfficeEngine& office, bool failed);
    // An office keeps some memory of every document it has held, however it was closed: one
    // whose resident memory has grown by more than `limitKb` since its first use is replaced
    // as it is given back. 0, the default, keeps every office however it grows.
    void replaceWhenGrown(qint64 limitKb);
    // Work that readies an idle office for its next use (a template opened), done by the
    // office's own thread once it has started and after each give-back, unless it already holds
    // what `key` names. A use that wants the office meanwhile waits for the work to end. The
    // work returns what it left open, or nothing; an exception counts as nothing. A null work
    // stops the preparing.
    using Preparation = std::function<std::optional<OpenedAhead>(OfficeEngine&)>;
    void prepareWith(const QString& key, Preparation work);
    // Ends every office at once and waits for their threads; none is kept any more. Never
    // throws.
    void end();
    // The same, once a library has called exit(): the connections' objects may be gone with the
    // libraries' own end, so the offices are ended without another call through them.
    void endAfterLibraryExit();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// What the window program lets an office grow by before it is replaced: a live page makes
// hundreds of flyers in one session, and the office keeps about half a megabyte of each. A new
// office costs a start, so it comes about every 45 flyers.
inline constexpr qint64 kWindowOfficeGrowthLimitKb = 24 * 1024;

// The program's offices: the one the window keeps ready and the command line's alike. Ended
// with the program.
OfficePool& programOffices();

} // namespace lumarel
