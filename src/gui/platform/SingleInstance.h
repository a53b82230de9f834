#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

// One running instance per user: a lock file in the user's runtime folder,
// and a local socket beside it that the running instance listens on. A lock
// whose holder is gone (killed, or its process number taken by another
// program) does not block the next start: only a lock with a listening
// instance behind it does. A later start may hand the running instance one
// short line of text (what the user asked it for) over the socket; a longer
// one ends the connection.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString &folder = defaultFolder());
    ~SingleInstance() override;

    // $XDG_RUNTIME_DIR, or Qt's private fallback for it.
    static QString defaultFolder();

    // True when this process is now the running instance; false when another
    // one runs. Never finds this process itself.
    bool tryAcquire();

    // Hands `message` (one line) to the running instance and waits, serving
    // events, until it has taken it: false when no instance took it in time.
    bool send(const QString &message);

Q_SIGNALS:
    // What a later start handed over, once it has been told it arrived.
    void received(const QString &message);

private:
    void serve();

    QString m_folder;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
    bool m_held = false;
};
