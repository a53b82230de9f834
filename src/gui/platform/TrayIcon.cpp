#include "gui/platform/TrayIcon.h"

#include <QApplication>
#include <QStyleHints>

TrayIcon::TrayIcon(const QIcon &icon, QObject *parent)
    : QObject(parent)
    , m_icon(icon)
    , m_decoder(QGuiApplication::styleHints()->mouseDoubleClickInterval())
{
    m_clock.start();
    // Queued: a StatusNotifierItem host's call (Activate, ContextMenu) gets its
    // answer at once, not after the modal windows its act may open.
    connect(&m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::activated, Qt::QueuedConnection);
}

void TrayIcon::create(const QString &tip)
{
    m_icon.setToolTip(tip);
    m_icon.show();
}

void TrayIcon::remove()
{
    m_icon.hide();
}

void TrayIcon::activated(QSystemTrayIcon::ActivationReason reason)
{
    using Event = TrayClickDecoder::Event;
    Event event = Event::Other;
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        event = Event::Trigger;
        break;
    case QSystemTrayIcon::DoubleClick:
        event = Event::DoubleClick;
        break;
    case QSystemTrayIcon::Context:
        event = Event::Context;
        break;
    case QSystemTrayIcon::MiddleClick:
        event = Event::Middle;
        break;
    case QSystemTrayIcon::Unknown:
        break;
    }
    switch (m_decoder.decode(event, m_clock.elapsed())) {
    case TrayClickDecoder::Act::Menu:
        Q_EMIT rightPressed();
        break;
    case TrayClickDecoder::Act::DoubleClick:
        Q_EMIT doubleClicked();
        break;
    case TrayClickDecoder::Act::Nothing:
        break;
    }
}
