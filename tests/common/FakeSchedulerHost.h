#pragma once

#include "core/scheduler/SchedulerHost.h"

#include <QStringList>
#include <QTimer>
#include <functional>

// Records what the scheduler asks of the screen. The reminder window is
// "dismissed" at once, as its OK button does (the timer goes on again), after
// `whileShown` has run, so that tests can look at the world while a reminder
// is on screen.
class FakeSchedulerHost : public SchedulerHost {
public:
    QStringList events;     // "text:...", "sound:...", "window", "message", "gate"
    QStringList shownTexts; // the text of each window shown
    QString text;
    bool locked = false;
    bool busy = false; // the reminder window shows a reminder of the list
    int stat = 1;
    QString arguments;
    QTimer *timer = nullptr; // switched on when a window is dismissed
    std::function<void()> whileShown;
    bool timerWasOffWhileShown = true;

    void setReminderText(const QString &t) override
    {
        text = t;
        events << QStringLiteral("text:") + t;
    }
    void showReminderWindow(const std::optional<LiveReminder> &) override
    {
        events << QStringLiteral("window");
        shownTexts << text;
        if (timer && timer->isActive())
            timerWasOffWhileShown = false;
        if (whileShown)
            whileShown();
        if (timer)
            timer->start();
    }
    bool reminderWindowBusy() const override { return busy; }
    void playSound(const QString &name) override { events << QStringLiteral("sound:") + name; }
    bool isLockedDown() const override { return locked; }
    int unlockFlag() const override { return stat; }
    void showPasswordGate() override { events << QStringLiteral("gate"); }
    void showNoImmediateReminders() override { events << QStringLiteral("message"); }
    QString commandLine() const override { return arguments; }

    // The notes of the windows shown, in order.
    QStringList notes() const
    {
        QStringList result;
        for (const QString &t : shownTexts)
            result << t.section(QStringLiteral("Reminder Note: "), 1);
        return result;
    }
};
