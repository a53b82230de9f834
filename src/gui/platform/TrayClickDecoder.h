#pragma once

#include <QtGlobal>

// Turns what a tray host reports into the two acts the program knows: a right
// press (the menu) and a left double-click (the check). The XEmbed tray
// reports double-clicks; StatusNotifierItem hosts only report single left
// clicks ("trigger"), so two of them within the double-click interval count
// as one double-click. Everything else does nothing.
class TrayClickDecoder {
public:
    enum class Event { Trigger, DoubleClick, Context, Middle, Other };
    enum class Act { Nothing, Menu, DoubleClick };

    explicit TrayClickDecoder(int doubleClickIntervalMs)
        : m_interval(doubleClickIntervalMs)
    {
    }

    Act decode(Event event, qint64 timeMs);

private:
    int m_interval;
    qint64 m_lastTrigger = -1;
};
