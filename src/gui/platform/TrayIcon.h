#pragma once

#include "gui/platform/TrayClickDecoder.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSystemTrayIcon>

// The program's one icon in the notification area. It has no context menu of
// its own: it reports a right press and a left double-click, and the owner
// decides what they do.
class TrayIcon : public QObject {
    Q_OBJECT

public:
    explicit TrayIcon(const QIcon &icon, QObject *parent = nullptr);

    // Adds the icon with its tip text; removing it when it is not there does nothing.
    void create(const QString &tip);
    void remove();
    // Whether the icon is wanted. Without a notification area it is not on
    // screen yet: it goes in by itself when one comes.
    bool isShown() const { return m_icon.isVisible(); }
    static bool trayAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }
    QSystemTrayIcon &icon() { return m_icon; }

Q_SIGNALS:
    void rightPressed();
    void doubleClicked();

private:
    void activated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon m_icon;
    TrayClickDecoder m_decoder;
    QElapsedTimer m_clock;
};
