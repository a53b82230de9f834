#include "platform/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

QString socketName(const QString &folder)
{
    return folder + QStringLiteral("/pingalo.socket");
}

bool anotherInstanceListens(const QString &folder)
{
    QLocalSocket socket;
    socket.connectToServer(socketName(folder));
    const bool listening = socket.waitForConnected(1000);
    socket.abort();
    return listening;
}

} // namespace

SingleInstance::SingleInstance(const QString &folder)
    : m_folder(folder)
    , m_lock(folder + QStringLiteral("/pingalo.lock"))
{
    // Only a dead holder makes a lock stale, never its age.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
    if (m_held)
        m_lock.unlock();
}

QString SingleInstance::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

bool SingleInstance::tryAcquire()
{
    if (m_held)
        return true;
    QDir().mkpath(m_folder);
    if (!m_lock.tryLock(0)) {
        if (m_lock.error() != QLockFile::LockFailedError)
            return true; // no lock can be made here: better to run than to refuse
        if (anotherInstanceListens(m_folder))
            return false;
        // The holder's process number is alive but nobody listens: it is not
        // us. Take the lock over.
        m_lock.removeStaleLockFile();
        if (!m_lock.tryLock(0))
            return !anotherInstanceListens(m_folder);
    }
    m_held = true;
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(socketName(m_folder)); // left by a killed instance
    m_server->listen(socketName(m_folder));
    // Nothing is said over the socket: a connection is only proof of life.
    QObject::connect(m_server.get(), &QLocalServer::newConnection, m_server.get(), [this] {
        while (QLocalSocket *peer = m_server->nextPendingConnection()) {
            peer->disconnectFromServer();
            peer->deleteLater();
        }
    });
    return true;
}
