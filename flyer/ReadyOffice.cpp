#include "flyer/ReadyOffice.h"

#include "app/Failure.h"
#include "app/ProgramEnd.h"
#include "office/OfficeEngine.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
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

// Used from the user-interface thread only.
std::shared_ptr<Holder> current;
std::vector<std::shared_ptr<Holder>> retiring;

void retire(std::shared_ptr<Holder> holder)
{
    {
        std::lock_guard lock(holder->mutex);
        holder->release = true;
        holder->changed.notify_all();
    }
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

OfficeEngine* readyEngine()
{
    ReadyOffice::start();
    return waitForStart(*current) == State::Ready ? current->engine : nullptr;
}

} // namespace

void ReadyOffice::start()
{
    // Ended with the program, and with the application object when a program simply returns.
    static const bool registered = [] {
        addProgramEndAction(&ReadyOffice::end);
        if (QCoreApplication::instance())
            qAddPostRoutine(&ReadyOffice::end);
        return true;
    }();
    Q_UNUSED(registered);
    joinEnded();
    if (current)
        return;
    auto holder = std::make_shared<Holder>();
    OfficeEngine::prepareConnection();
    try {
        holder->thread = std::thread(hold, holder.get());
    } catch (const std::exception& e) {
        holder->state = State::Failed;
        holder->reason = startFailure(e.what());
    }
    current = std::move(holder);
}

QString ReadyOffice::waitUntilConnected()
{
    try {
        if (readyEngine())
            return QString();
        return current->reason;
    } catch (const std::exception& e) {
        return startFailure(e.what());
    } catch (...) {
        return startFailure("unexpected error");
    }
}

OfficeEngine& ReadyOffice::take()
{
    if (OfficeEngine* engine = readyEngine(); engine && engine->answers())
        return *engine;
    // Ended, hung, or never started: a new one, started here.
    retire(std::move(current));
    current.reset();
    if (OfficeEngine* engine = readyEngine())
        return *engine;
    throw Failure(current->reason);
}

void ReadyOffice::giveBack(bool failed)
{
    if (current && !failed) {
        std::unique_lock lock(current->mutex);
        OfficeEngine* engine = current->state == State::Ready ? current->engine : nullptr;
        lock.unlock();
        if (!engine)
            return;
        try {
            engine->closeDocuments();
            return;
        } catch (...) {
        }
    }
    if (current)
        retire(std::move(current));
    current.reset();
    start();
}

void ReadyOffice::endAfterLibraryExit()
{
    for (const std::shared_ptr<Holder>& holder : retiring) {
        const std::lock_guard lock(holder->mutex);
        holder->connectionGone = true;
    }
    if (current) {
        const std::lock_guard lock(current->mutex);
        current->connectionGone = true;
    }
    end();
}

void ReadyOffice::end()
{
    if (current)
        retire(std::move(current));
    current.reset();
    for (const std::shared_ptr<Holder>& holder : retiring)
        if (holder->thread.joinable())
            holder->thread.join();
    retiring.clear();
}

} // namespace lumarel
