#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

class QLocalServer;

// One running instance per user: a lock file in the user's runtime folder,
// and a local socket beside it that the running instance listens on. A lock
// whose holder is gone (killed, or its process number taken by another
// program) does not block the next start: only a lock with a listening
// instance behind it does.
class SingleInstance {
public:
    explicit SingleInstance(const QString &folder = defaultFolder());
    ~SingleInstance();

    // $XDG_RUNTIME_DIR, or Qt's private fallback for it.
    static QString defaultFolder();

    // True when this process is now the running instance; false when another
    // one runs. Never finds this process itself.
    bool tryAcquire();

private:
    QString m_folder;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
    bool m_held = false;
};
