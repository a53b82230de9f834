#include "gui/platform/SleepWatcher.h"

#include <QDBusConnection>

SleepWatcher::SleepWatcher(QObject *parent)
    : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
                this, SLOT(PrepareForSleep(bool)));
}

void SleepWatcher::PrepareForSleep(bool start)
{
    if (!start)
        Q_EMIT woke();
}
