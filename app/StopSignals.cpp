#include "app/StopSignals.h"

#include "app/ProgramEnd.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QtGlobal>

#include <atomic>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace lumarel {

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int signal)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    // A full pipe already holds a stop that is still to be handled.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &number, 1);
    errno = saved;
}

std::function<void()>& exitAction()
{
    static std::function<void()> action;
    return action;
}

// The exit action and the program's end, once, however many ways announce the exit.
void endForLibrary()
{
    static std::atomic_flag ended = ATOMIC_FLAG_INIT;
    if (ended.test_and_set())
        return;
    if (exitAction())
        exitAction()();
    endProgram(1);
}

QtMessageHandler previousMessageHandler = nullptr;

// Qt's connection to the display warns that it broke just before it calls exit(1); the end runs
// here, while the libraries that other threads may be using are still whole.
void onMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    previousMessageHandler(type, context, message);
    if (type == QtWarningMsg && message.startsWith(QLatin1String("The X11 connection broke")))
        endForLibrary();
}

std::atomic<bool> commandStop{false};
std::atomic<int> finishing{0};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

void onCommandSignal(int)
{
    commandStop = true;
    // No message: a write to a full pipe or a stopped terminal would block the end itself.
    if (finishing == 0)
        ::_exit(1);
}

} // namespace

void stopCommandOnSignals()
{
    struct sigaction action = {};
    action.sa_handler = onCommandSignal;
    sigfillset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
}

FinishBeforeStop::FinishBeforeStop()
{
    ++finishing;
}

FinishBeforeStop::~FinishBeforeStop()
{
    --finishing;
}

bool stopRequested()
{
    return commandStop;
}

void requestStop(bool stop)
{
    commandStop = stop;
}

void endOnStopSignals(std::function<void(int)> onStop)
{
    if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier =
        new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [onStop = std::move(onStop)] {
        unsigned char number = 0;
        while (::read(signalPipe[0], &number, 1) == 1)
            onStop(number);
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
}

void endOnLibraryExit(std::function<void()> onExit)
{
    const bool first = !exitAction();
    exitAction() = std::move(onExit);
    if (!first)
        return;
    std::atexit(&endForLibrary);
    previousMessageHandler = qInstallMessageHandler(&onMessage);
}

} // namespace lumarel
