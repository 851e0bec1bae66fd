#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace lumarel {

// One window program per user and settings store: the first start holds a lock on a file and
// listens on a local socket beside it; a later start finds the lock held, asks the first one
// to show its window, and ends. The command line is not concerned: it never writes the store.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // `store` tells stores apart; by default the settings file's path.
    explicit SingleInstance(const QString& store = QString());
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when another program holds the window and has been asked to show it; false when
    // this one holds it now (then showRequested() follows each later start).
    bool passedToRunning();
    // Stops listening and removes the socket, for an end that skips destructors.
    void release();

    // The socket's path: in the user's runtime folder, named after the user and the store.
    QString socketPath() const { return m_socketPath; }

signals:
    void showRequested();

private:
    QString m_socketPath;
    int m_lock = -1; // the open lock file, locked while this program holds the window
    QLocalServer m_server;
};

} // namespace lumarel
