// A StatusNotifierWatcher of its own for a private session bus: it says that
// a host is there, so that Qt shows a program's icon as a StatusNotifierItem,
// and prints each item that registers, as "SERVICE PATH", on standard output.
#include <QCoreApplication>
#include <QDBusConnection>
#include <cstdio>

class Watcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)

public:
    bool hostRegistered() const { return true; }

public Q_SLOTS:
    // Qt names the bus name that serves the item at the usual path.
    void RegisterStatusNotifierItem(const QString &service)
    {
        std::printf("%s /StatusNotifierItem\n", qPrintable(service));
        std::fflush(stdout);
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Watcher watcher;
    QDBusConnection bus = QDBusConnection::sessionBus();
    const bool up = bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                       QDBusConnection::ExportAllContents) &&
                    bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    return up ? app.exec() : 1;
}

#include "fake_sni_watcher.moc"
