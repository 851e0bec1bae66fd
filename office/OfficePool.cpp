#include "office/OfficePool.h"

#include "app/Failure.h"
#include "app/ProgramEnd.h"
#include "office/OfficeEngine.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <algorithm>
#include <condition_variable>
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
    std::vector<QEventLoop*> waiting;
    std::thread thread;
    bool taken = false; // guarded by the pool's mutex

    // With the mutex held.
    void enter(State next)
    {
        state = next;
        changed.notify_all();
        for (QEventLoop* loop : waiting)
            QMetaObject::invokeMethod(loop, "quit", Qt::QueuedConnection);
    }
};

QString startFailure(const char* cause)
{
    return QStringLiteral("The office could not be started: %1.")
        .arg(QString::fromLocal8Bit(cause));
}

void hold(Holder* holder)
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
    std::unique_lock lock(holder->mutex);
    holder->engine = engine.get();
    holder->reason = reason;
    holder->enter(engine ? State::Ready : State::Failed);
    holder->changed.wait(lock, [holder] { return holder->release; });
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

State waitForStart(Holder& holder)
{
    std::unique_lock lock(holder.mutex);
    const bool withEvents =
        QCoreApplication::instance() && QThread::currentThread() == qApp->thread();
    while (holder.state == State::Starting) {
        if (!withEvents) {
            holder.changed.wait(lock, [&] { return holder.state != State::Starting; });
            break;
        }
        // The thread quits this loop when the state changes; a quit posted before exec()
        // still ends it.
        QEventLoop loop;
        holder.waiting.push_back(&loop);
        lock.unlock();
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        lock.lock();
        std::erase(holder.waiting, &loop);
    }
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

struct OfficePool::Impl
{
    std::mutex mutex; // guards everything below and each holder's `taken`
    std::vector<std::shared_ptr<Holder>> holders; // starting, ready or failed
    std::vector<std::shared_ptr<Holder>> retiring;
    int kept = 0;

    // The rest, with the mutex held.
    std::shared_ptr<Holder> startOne()
    {
        auto holder = std::make_shared<Holder>();
        OfficeEngine::prepareConnection();
        try {
            holder->thread = std::thread(hold, holder.get());
        } catch (const std::exception& e) {
            holder->state = State::Failed;
            holder->reason = startFailure(e.what());
        }
        holders.push_back(holder);
        return holder;
    }

    void startKept()
    {
        while (int(holders.size()) < kept)
            startOne();
    }

    void retire(std::shared_ptr<Holder> holder) // a copy: it may be one of `holders`
    {
        {
            const std::lock_guard lock(holder->mutex);
            holder->release = true;
            holder->changed.notify_all();
        }
        std::erase(holders, holder);
        retiring.push_back(std::move(holder));
    }

    void joinEnded()
    {
        std::erase_if(retiring, [](const std::shared_ptr<Holder>& holder) {
            std::unique_lock lock(holder->mutex);
            if (holder->state != State::Ended && holder->thread.joinable())
                return false;
            lock.unlock();
            if (holder->thread.joinable())
                holder->thread.join();
            return true;
        });
    }

    // A holder nobody uses, a ready one first; a new one when there is none.
    std::shared_ptr<Holder> freeHolder()
    {
        joinEnded();
        std::shared_ptr<Holder> found;
        for (const std::shared_ptr<Holder>& holder : holders) {
            if (holder->taken)
                continue;
            const std::lock_guard lock(holder->mutex);
            if (!found || holder->state == State::Ready)
                found = holder;
            if (holder->state == State::Ready)
                break;
        }
        return found ? found : startOne();
    }
};

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

QString OfficePool::waitUntilConnected()
{
    try {
        std::shared_ptr<Holder> holder;
        {
            const std::lock_guard lock(d->mutex);
            holder = d->freeHolder();
        }
        if (readyEngine(*holder))
            return QString();
        return reasonOf(*holder);
    } catch (const std::exception& e) {
        return startFailure(e.what());
    } catch (...) {
        return startFailure("unexpected error");
    }
}

OfficeEngine& OfficePool::take()
{
    for (int attempt = 0;; ++attempt) {
        std::shared_ptr<Holder> holder;
        {
            const std::lock_guard lock(d->mutex);
            holder = d->freeHolder();
            holder->taken = true;
        }
        if (OfficeEngine* engine = readyEngine(*holder); engine && engine->answers())
            return *engine;
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
    if (!failed) {
        try {
            office.closeDocuments();
            const std::lock_guard lock(d->mutex);
            holder->taken = false;
            return;
        } catch (...) {
        }
    }
    const std::lock_guard lock(d->mutex);
    holder->taken = false;
    d->retire(holder);
    d->startKept();
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
