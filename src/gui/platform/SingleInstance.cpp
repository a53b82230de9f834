#include "gui/platform/SingleInstance.h"

#include <QDir>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

namespace {

// How long either side waits for the other: the running instance answers from
// its event loop, which also runs while one of its windows is modal.
constexpr int kWaitMs = 5000;
const QByteArray kTaken = QByteArrayLiteral("taken\n");
// The longest line a later start hands over: an option of a few characters.
// A peer that sends more is not a start of ours and is cut off at once.
constexpr qint64 kMostRequestBytes = 256;

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
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::serve);
    return true;
}

// A peer either only checks that we live (it connects and goes) or hands over
// one line, which is answered before it is acted on, so that the sender can end.
void SingleInstance::serve()
{
    while (QLocalSocket *peer = m_server->nextPendingConnection()) {
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        QTimer::singleShot(kWaitMs, peer, &QLocalSocket::abort);
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
            const bool line = peer->canReadLine();
            const QByteArray request = line ? peer->readLine(kMostRequestBytes + 1) : QByteArray();
            if (request.size() > kMostRequestBytes ||
                (!line && peer->bytesAvailable() > kMostRequestBytes))
                return peer->abort();
            if (!line)
                return;
            const QString message = QString::fromUtf8(request).trimmed();
            peer->write(kTaken);
            peer->disconnectFromServer();
            Q_EMIT received(message);
        });
    }
}

bool SingleInstance::send(const QString &message)
{
    QLocalSocket socket;
    QEventLoop loop;
    bool taken = false;
    connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
        if (!socket.canReadLine())
            return;
        taken = socket.readLine() == kTaken;
        loop.quit();
    });
    connect(&socket, &QLocalSocket::disconnected, &loop, &QEventLoop::quit);
    connect(&socket, &QLocalSocket::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
    socket.connectToServer(socketName(m_folder));
    if (socket.state() == QLocalSocket::UnconnectedState)
        return false;
    QString line = message;
    line.remove(QLatin1Char('\n'));
    socket.write(line.toUtf8() + '\n');
    loop.exec();
    // An answer may come with the peer's goodbye, before readyRead was served.
    if (!taken && socket.canReadLine())
        taken = socket.readLine() == kTaken;
    return taken;
}
