#pragma once

#include "core/store/ReminderStore.h"

#include <QString>
#include <optional>

// What the scheduler needs of the rest of the program. The shell hands it the
// real windows; tests hand it recording fakes.
class SchedulerHost {
public:
    virtual ~SchedulerHost();

    // Loads the reminder window if need be and sets its text.
    virtual void setReminderText(const QString &text) = 0;
    // Shows the reminder window modally and returns when it is dismissed.
    // Dismissing it stops the sound and switches the scheduler's timer on.
    // `due` is the reminder that came due, as it was stored (with its day and
    // number): the window then
    // also offers to snooze it. A reminder only looked at (a row of the list)
    // has none, and the window has OK alone.
    virtual void showReminderWindow(const std::optional<LiveReminder> &due) = 0;
    // Whether the reminder window is on screen (the user views a reminder of
    // the list, or the scheduler waits in it).
    virtual bool reminderWindowBusy() const = 0;
    // Plays, loops or stops a reminder sound by name.
    virtual void playSound(const QString &name) = 0;
    // Whether lock-down is on (the tray's lock item is checked).
    virtual bool isLockedDown() const = 0;
    // The unlock flag read as a number: 1 once the password was given.
    virtual int unlockFlag() const = 0;
    // Shows the password window without waiting.
    virtual void showPasswordGate() = 0;
    // Shows "No immediate reminders." and returns when it is dismissed.
    virtual void showNoImmediateReminders() = 0;
    // The program's whole argument text, without its own path.
    virtual QString commandLine() const = 0;
    // Brings the store up to date with what changed elsewhere (the calendar
    // folder), before a tick or a check reads it. Nothing by default.
    virtual void syncStore() {}
};
