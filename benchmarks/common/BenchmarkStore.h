#pragma once

// What the benchmark programs share: the 10,000-reminder store they measure
// on, and a host that answers every reminder window at once.
#include "core/scheduler/Recurrence.h"
#include "core/scheduler/SchedulerHost.h"
#include "core/store/ReminderStore.h"
#include "core/store/ScrambleText.h"
#include "core/store/TextForms.h"

#include <cstdio>

inline ReminderRecord makeRecord(int i)
{
    const QString note =
        QStringLiteral("Reminder number %1: call the office about the invoice").arg(i);
    return {*ScrambleText(note, QStringLiteral("1")), QStringLiteral("BEEP"),
            Recurrence::names().at(i % 6), TextForms::timeText(QTime((i / 60) % 24, i % 60))};
}

// Fills a store with 10,000 reminders over the 365 days from `first`: 500 on
// `busyDay`, the other 9,500 spread over the remaining 364 days. Each day is
// one transaction, to keep the set-up short.
inline int fillStore(SettingsStore &settings, ReminderStore &store, const QDate &first,
                     const QString &busyDay)
{
    int made = 0;
    for (int d = 0; d < 365; ++d) {
        const QString day = TextForms::dayKey(first.addDays(d));
        const int count = day == busyDay ? 500 : (9500 / 364 + (d < 9500 % 364 ? 1 : 0));
        settings.transaction([&] {
            for (int i = 0; i < count; ++i)
                store.appendReminder(day, makeRecord(made++));
            return true;
        });
    }
    return made;
}

// Answers every reminder window at once and counts them.
class CountingHost : public SchedulerHost {
public:
    int windows = 0;
    void setReminderText(const QString &) override {}
    void showReminderWindow(const std::optional<LiveReminder> &) override { ++windows; }
    bool reminderWindowBusy() const override { return false; }
    void playSound(const QString &) override {}
    bool isLockedDown() const override { return false; }
    int unlockFlag() const override { return 1; }
    void showPasswordGate() override {}
    void showNoImmediateReminders() override {}
    QString commandLine() const override { return QString(); }
};
