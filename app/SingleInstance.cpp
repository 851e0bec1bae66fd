#include "app/SingleInstance.h"

#include "app/SettingsStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QThread>

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace lumarel {

namespace {

QString runtimeFolder()
{
    // A socket's path holds at most 107 bytes.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QDir(runtime).exists() && QFile::encodeName(runtime).size() < 64
               ? runtime
               : QDir::tempPath();
}

// The store is named by a digest of its path, short enough for a socket's path.
QString socketPathFor(const QString& store)
{
    const QByteArray digest = QCryptographicHash::hash(QFile::encodeName(QDir::cleanPath(store)),
                                                       QCryptographicHash::Sha256)
                                  .toHex()
                                  .left(16);
    return QStringLiteral("%1/lumarel-%2-%3")
        .arg(runtimeFolder())
        .arg(::getuid())
        .arg(QString::fromLatin1(digest));
}

bool askToShow(const QString& socketPath)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected())
        return false;
    socket.write("show\n");
    socket.flush();
    socket.waitForBytesWritten();
    socket.disconnectFromServer();
    return true;
}

} // namespace

SingleInstance::SingleInstance(const QString& name)
    : m_socketPath(socketPathFor(name.isEmpty() ? SettingsStore::filePath() : name))
{
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* caller = m_server.nextPendingConnection()) {
            connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
            caller->disconnectFromServer();
            emit showRequested();
        }
    });
}

SingleInstance::~SingleInstance()
{
    release();
}

void SingleInstance::release()
{
    m_server.close();
    // The lock file stays: another start may be waiting on it.
    if (m_lock >= 0)
        ::close(std::exchange(m_lock, -1));
}

bool SingleInstance::passedToRunning()
{
    // The lock, not the socket, says who holds the window: the system drops it with its
    // holder, also a killed one, which leaves its socket behind.
    const QByteArray lockPath = QFile::encodeName(m_socketPath + QStringLiteral(".lock"));
    const int lock = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock < 0)
        return false; // no lock to be had: better a second window than none
    while (::flock(lock, LOCK_EX | LOCK_NB) != 0) {
        // The holder may be between taking the lock and listening; it is asked again until it
        // answers or its lock goes.
        if (errno != EWOULDBLOCK && errno != EINTR)
            break;
        if (askToShow(m_socketPath)) {
            ::close(lock);
            return true;
        }
        QThread::msleep(50);
    }
    m_lock = lock;
    QLocalServer::removeServer(m_socketPath);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    m_server.listen(m_socketPath);
    return false;
}

} // namespace lumarel
