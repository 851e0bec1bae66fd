#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>
#include <utility>

namespace lumarel {

// Whether the calling thread is the application's, whose events must keep flowing.
bool onEventThread();

// The CPU time a process has used so far, in clock ticks; -1 once it is gone.
qint64 cpuTicks(qint64 pid);

// `progressing` says whether the office used CPU time since it was last asked: a slow office on
// a busy machine is at work, and the limit counts from its last work, up to kBusyCapMs in all.
// An office that is stopped or waits for nothing uses none and is ended at the limit.
inline constexpr int kBusyCapMs = 120000;

template <typename Work>
using Outcome = std::conditional_t<std::is_void_v<std::invoke_result_t<Work>>, bool,
                                   std::invoke_result_t<Work>>;

// Runs `work` on a worker thread and waits for it up to a deadline: on a condition variable,
// or, on the user-interface thread, with its events flowing, so that a blocked office never
// freezes a window. UNO calls cannot be cancelled: at the deadline
// `onTimeout` ends the office, which makes the blocked call return with an exception. A worker
// still blocked after that is left behind, detached: `work` is moved into it, so it must own
// (or share) everything it touches, never refer to the caller's locals. `waitedMs`, when given,
// receives how long the call was waited for before it was given up (or answered).
template <typename Work>
std::optional<Outcome<Work>>
runWithDeadline(int limitMs, Work work, const std::function<void()>& onTimeout,
                const std::function<bool()>& progressing = {}, qint64* waitedMs = nullptr)
{
    using Result = std::invoke_result_t<Work>;
    using Stored = Outcome<Work>;
    // Shared with the worker, which may outlive this call.
    struct State
    {
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        bool abandoned = false;
        std::optional<Stored> result;
        std::exception_ptr error;
        QEventLoop* loop = nullptr; // only while not abandoned
    };
    auto state = std::make_shared<State>();
    const bool withEvents = onEventThread();
    std::optional<QEventLoop> loop;
    if (withEvents) {
        loop.emplace();
        state->loop = &*loop;
    }

    std::thread worker([state, work = std::move(work)]() mutable {
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
        if (!state->abandoned && state->loop)
            QMetaObject::invokeMethod(state->loop, "quit", Qt::QueuedConnection);
    });

    QElapsedTimer clock;
    clock.start();
    qint64 lastWorkMs = 0;
    const int checkMs = progressing ? qMin(limitMs, 1000) : limitMs;
    // Whether the wait goes on after a check.
    const auto withinDeadline = [&] {
        const qint64 now = clock.elapsed();
        if (progressing && now < kBusyCapMs && progressing())
            lastWorkMs = now;
        return now - lastWorkMs < limitMs;
    };
    if (withEvents) {
        QTimer deadline;
        QObject::connect(&deadline, &QTimer::timeout, &*loop, [&] {
            if (!withinDeadline())
                loop->quit();
        });
        deadline.start(checkMs);
        std::unique_lock lock(state->mutex);
        if (!state->done) {
            lock.unlock();
            loop->exec(QEventLoop::ExcludeUserInputEvents);
        }
    } else {
        std::unique_lock lock(state->mutex);
        while (!state->finished.wait_for(lock, std::chrono::milliseconds(checkMs),
                                         [&] { return state->done; })) {
            lock.unlock();
            const bool goOn = withinDeadline();
            lock.lock();
            if (!goOn)
                break;
        }
    }

    if (waitedMs)
        *waitedMs = clock.elapsed();
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

} // namespace lumarel
