#include "office/OfficePool.h"

#include "app/Failure.h"
#include "app/ProcessMemory.h"
#include "app/ProgramEnd.h"
#include "office/OfficeEngine.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <malloc.h>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace lumarel {

namespace {

enum class State
{
    Starting,
    Ready,
    Failed,
    Ended
};

// One office and the thread that starts it, keeps it while it is wanted, and ends it.
struct Holder
{
    std::mutex mutex;
    std::condition_variable changed;
    State state = State::Starting;
    OfficeEngine* engine = nullptr; // while Ready; owned by the thread
    QString reason;                 // when Failed
    bool release = false;
    bool connectionGone = false; // release without a call through the connection
    bool prepare = false;        // the preparation is wanted
    std::thread thread;
    // Guarded by the pool's mutex.
    bool taken = false;     // by a use or by the preparation
    bool preparing = false; // by the preparation
    std::optional<OpenedAhead> ahead;
    qint64 firstResidentKb = -1; // after its first use

    // With the mutex held.
    void enter(State next)
    {
        state = next;
        changed.notify_all();
    }

    void wantPreparation()
    {
        const std::lock_guard lock(mutex);
        prepare = true;
        changed.notify_all();
    }
};

// Whether the office, back from a use, has grown by more than `limitKb` since its first use;
// never when the limit is 0. With the pool's mutex held.
bool outgrown(Holder& holder, qint64 residentNowKb, qint64 limitKb)
{
    if (limitKb <= 0 || residentNowKb < 0)
        return false;
    if (holder.firstResidentKb < 0)
        holder.firstResidentKb = residentNowKb;
    return residentNowKb - holder.firstResidentKb > limitKb;
}

QString startFailure(const char* cause)
{
    return QStringLiteral("The office could not be started: %1.")
        .arg(QString::fromLocal8Bit(cause));
}

} // namespace

struct OfficePool::Impl
{
    std::mutex mutex;                             // guards everything below and each holder's use
    std::condition_variable idle;                 // a preparation ended
    std::vector<std::shared_ptr<Holder>> holders; // starting, ready or failed
    std::vector<std::shared_ptr<Holder>> retiring;
    int kept = 0;
    std::atomic<qint64> growthLimitKb = 0; // read at each give-back without the mutex
    QString preparationKey;
    Preparation preparation;

    // With the mutex held: keeps an idle holder for the preparation, unless its office holds
    // what it would open. The holder's thread is then asked to prepare.
    bool reserve(Holder& holder)
    {
        if (!preparation || holder.taken || (holder.ahead && holder.ahead->key == preparationKey))
            return false;
        holder.taken = holder.preparing = true;
        return true;
    }

    // On the holder's thread, once reserve() kept it.
    void prepare(Holder& holder, OfficeEngine& engine)
    {
        std::unique_lock lock(mutex);
        if (!holder.preparing)
            return;
        const bool stale = holder.ahead.has_value();
        holder.ahead.reset();
        const Preparation work = preparation;
        lock.unlock();
        std::optional<OpenedAhead> opened;
        try {
            if (stale)
                engine.closeDocuments();
            if (work)
                opened = work(engine);
        } catch (...) {
            opened.reset();
        }
        if (!opened) {
            // Whatever the work left half done goes; an office that fails here is replaced by
            // the use that finds it not answering.
            try {
                engine.closeDocuments();
            } catch (...) {
            }
        }
        lock.lock();
        holder.ahead = std::move(opened);
        holder.taken = holder.preparing = false;
        idle.notify_all();
    }

    void hold(Holder* holder);

    // The rest, with the mutex held.
    std::shared_ptr<Holder> startOne();
    void startKept()
    {
        while (int(holders.size()) < kept)
            startOne();
    }
    void retire(std::shared_ptr<Holder> holder); // a copy: it may be one of `holders`
    void joinEnded();
    std::shared_ptr<Holder> freeHolder(std::unique_lock<std::mutex>& lock);
};

// The life of one office, on its holder's thread.
void OfficePool::Impl::hold(Holder* holder)
{
    std::unique_ptr<OfficeEngine> engine;
    QString reason;
    try {
        engine = std::make_unique<OfficeEngine>();
    } catch (const Failure& failure) {
        reason = failure.description();
    } catch (const std::exception& e) {
        reason = startFailure(e.what());
    } catch (...) {
        reason = startFailure("unexpected error");
    }
    // Kept for the preparation as it becomes ready, so that nobody who sees it ready takes it
    // before the preparation.
    std::unique_lock poolLock(mutex);
    std::unique_lock lock(holder->mutex);
    holder->engine = engine.get();
    holder->reason = reason;
    holder->enter(engine ? State::Ready : State::Failed);
    holder->prepare = engine && reserve(*holder);
    poolLock.unlock();
    // Prepared once started and after each give-back, until released.
    for (;;) {
        holder->changed.wait(lock, [holder] { return holder->release || holder->prepare; });
        if (holder->release)
            break;
        holder->prepare = false;
        lock.unlock();
        if (engine)
            prepare(*holder, *engine);
        lock.lock();
    }
    holder->engine = nullptr;
    const bool connectionGone = holder->connectionGone;
    lock.unlock();
    if (engine && connectionGone) {
        engine->endWithoutConnection();
        // Its destructor would release references whose objects are gone.
        [[maybe_unused]] OfficeEngine* abandoned = engine.release();
    } else if (engine) {
        engine->endNow();
    }
    engine.reset();
    lock.lock();
    holder->enter(State::Ended);
}

namespace {

State waitForStart(Holder& holder)
{
    std::unique_lock lock(holder.mutex);
    holder.changed.wait(lock, [&] { return holder.state != State::Starting; });
    return holder.state;
}

// The office of a holder that is ready, or null.
OfficeEngine* readyEngine(Holder& holder)
{
    return waitForStart(holder) == State::Ready ? holder.engine : nullptr;
}

QString reasonOf(Holder& holder)
{
    const std::lock_guard lock(holder.mutex);
    return holder.reason;
}

} // namespace

std::shared_ptr<Holder> OfficePool::Impl::startOne()
{
    auto holder = std::make_shared<Holder>();
    OfficeEngine::prepareConnection();
    try {
        holder->thread = std::thread(&Impl::hold, this, holder.get());
    } catch (const std::exception& e) {
        holder->state = State::Failed;
        holder->reason = startFailure(e.what());
    }
    holders.push_back(holder);
    return holder;
}

void OfficePool::Impl::retire(std::shared_ptr<Holder> holder)
{
    {
        const std::lock_guard lock(holder->mutex);
        holder->release = true;
        holder->changed.notify_all();
    }
    holder->ahead.reset();
    // A preparation it was kept for is not waited for any more.
    holder->preparing = false;
    idle.notify_all();
    std::erase(holders, holder);
    retiring.push_back(std::move(holder));
}

void OfficePool::Impl::joinEnded()
{
    const auto joined = std::erase_if(retiring, [](const std::shared_ptr<Holder>& holder) {
        std::unique_lock lock(holder->mutex);
        if (holder->state != State::Ended && holder->thread.joinable())
            return false;
        lock.unlock();
        if (holder->thread.joinable())
            holder->thread.join();
        return true;
    });
#ifdef __GLIBC__
    // What the ended office's thread and connection freed stays with the program otherwise, in
    // the allocator's pool for that thread: the program would grow with each office replaced.
    if (joined > 0)
        malloc_trim(0);
#endif
}

// A holder nobody uses, a ready one first; one being prepared is waited for, since it is
// ready sooner than a new one; a new one when there is none.
std::shared_ptr<Holder> OfficePool::Impl::freeHolder(std::unique_lock<std::mutex>& lock)
{
    for (;;) {
        joinEnded();
        std::shared_ptr<Holder> found;
        bool preparingOne = false;
        for (const std::shared_ptr<Holder>& holder : holders) {
            preparingOne = preparingOne || holder->preparing;
            if (holder->taken)
                continue;
            const std::lock_guard holderLock(holder->mutex);
            if (!found || holder->state == State::Ready)
                found = holder;
            if (holder->state == State::Ready)
                break;
        }
        if (found)
            return found;
        if (!preparingOne)
            return startOne();
        idle.wait(lock);
    }
}

OfficePool::OfficePool() : d(std::make_unique<Impl>()) {}

OfficePool::~OfficePool()
{
    end();
}

void OfficePool::keep(int count)
{
    const std::lock_guard lock(d->mutex);
    d->joinEnded();
    d->kept = count;
    d->startKept();
}

void OfficePool::replaceWhenGrown(qint64 limitKb)
{
    d->growthLimitKb = limitKb;
}

QString OfficePool::waitUntilConnected()
{
    try {
        std::shared_ptr<Holder> holder;
        {
            std::unique_lock lock(d->mutex);
            holder = d->freeHolder(lock);
        }
        if (!readyEngine(*holder))
            return reasonOf(*holder);
        // Connected and, when the preparation kept it, prepared.
        std::unique_lock lock(d->mutex);
        d->idle.wait(lock, [&] { return !holder->preparing; });
        return QString();
    } catch (const std::exception& e) {
        return startFailure(e.what());
    } catch (...) {
        return startFailure("unexpected error");
    }
}

OfficeEngine& OfficePool::take(std::optional<OpenedAhead>* ahead)
{
    for (int attempt = 0;; ++attempt) {
        std::shared_ptr<Holder> holder;
        {
            std::unique_lock lock(d->mutex);
            holder = d->freeHolder(lock);
            holder->taken = true;
        }
        if (OfficeEngine* engine = readyEngine(*holder); engine && engine->answers()) {
            const std::lock_guard lock(d->mutex);
            if (ahead)
                *ahead = std::exchange(holder->ahead, std::nullopt);
            // Unused, it stays open; the give-back closes it.
            holder->ahead.reset();
            return *engine;
        }
        // Ended, hung, or never started: a new one, once.
        const QString reason = reasonOf(*holder);
        const std::lock_guard lock(d->mutex);
        holder->taken = false;
        d->retire(holder);
        if (attempt > 0) {
            d->startKept();
            throw Failure(reason.isEmpty() ? QStringLiteral("The office is no longer running.")
                                           : reason);
        }
    }
}

void OfficePool::giveBack(OfficeEngine& office, bool failed)
{
    std::shared_ptr<Holder> holder;
    {
        const std::lock_guard lock(d->mutex);
        for (const std::shared_ptr<Holder>& each : d->holders) {
            const std::lock_guard holderLock(each->mutex);
            if (each->taken && each->engine == &office)
                holder = each;
        }
    }
    if (!holder)
        return;
    qint64 resident = -1;
    if (!failed) {
        try {
            office.closeDocuments();
            // Read only where a limit asks for it: a batch gives back an office per flyer.
            if (d->growthLimitKb > 0)
                resident = residentKb(office.processId());
        } catch (...) {
            failed = true;
        }
    }
    bool prepare = false;
    {
        const std::lock_guard lock(d->mutex);
        holder->taken = false;
        if (failed || outgrown(*holder, resident, d->growthLimitKb)) {
            d->retire(holder);
            d->startKept();
        } else {
            prepare = d->reserve(*holder);
        }
    }
    if (prepare)
        holder->wantPreparation();
}

void OfficePool::prepareWith(const QString& key, Preparation work)
{
    std::vector<std::shared_ptr<Holder>> wanted;
    {
        const std::lock_guard lock(d->mutex);
        d->preparationKey = key;
        d->preparation = std::move(work);
        for (const std::shared_ptr<Holder>& holder : d->holders) {
            const std::lock_guard holderLock(holder->mutex);
            if (holder->state == State::Ready && d->reserve(*holder))
                wanted.push_back(holder);
        }
    }
    for (const std::shared_ptr<Holder>& holder : wanted)
        holder->wantPreparation();
}

void OfficePool::endAfterLibraryExit()
{
    {
        const std::lock_guard lock(d->mutex);
        for (const auto* list : {&d->holders, &d->retiring})
            for (const std::shared_ptr<Holder>& holder : *list) {
                const std::lock_guard holderLock(holder->mutex);
                holder->connectionGone = true;
            }
    }
    end();
}

void OfficePool::end()
{
    std::vector<std::shared_ptr<Holder>> ending;
    {
        const std::lock_guard lock(d->mutex);
        d->kept = 0;
        d->preparation = nullptr;
        while (!d->holders.empty())
            d->retire(d->holders.back());
        ending = std::exchange(d->retiring, {});
    }
    for (const std::shared_ptr<Holder>& holder : ending)
        if (holder->thread.joinable())
            holder->thread.join();
}

OfficePool& programOffices()
{
    // Never destroyed: it is ended with the program, and with the application object when a
    // program simply returns, before the libraries it needs go.
    static OfficePool* const pool = [] {
        auto* made = new OfficePool;
        addProgramEndAction([made] { made->end(); });
        if (QCoreApplication::instance())
            qAddPostRoutine([] { programOffices().end(); });
        return made;
    }();
    return *pool;
}

} // namespace lumarel
