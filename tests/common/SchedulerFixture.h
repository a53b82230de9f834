#pragma once

#include "FakeSchedulerHost.h"
#include "TestClock.h"
#include "core/scheduler/Recurrence.h"
#include "core/scheduler/Scheduler.h"
#include "core/store/MemorySettingsStore.h"
#include "core/store/ProgramSettings.h"
#include "core/store/ReminderStore.h"
#include "core/store/ScrambleText.h"
#include "core/store/TextForms.h"
#include "core/system/Cp1252.h"

// A scheduler over a memory store, a test clock and a recording host.
struct SchedulerFixture {
    explicit SchedulerFixture(const QDateTime &start)
        : clock(start)
    {
        host.timer = &scheduler.Timer1();
        scheduler.Timer1().start();
    }

    // Appends a reminder as the note maker does; `time` empty for a bill reminder.
    qint64 add(const QDate &day, const QString &time, const QString &note,
               const QString &recurrence = Recurrence::kOneTime,
               const QString &sound = QStringLiteral("BEEP"))
    {
        return *store.appendReminder(
            TextForms::dayKey(day),
            {*ScrambleText(note, QStringLiteral("1")), sound, recurrence, time});
    }

    // The notes of the live slots of a day, in slot order.
    QStringList liveNotes(const QDate &date)
    {
        const QString day = TextForms::dayKey(date);
        QStringList notes;
        const auto live = store.liveReminders(day, *store.numReminders(day));
        for (const LiveReminder &slot : *live)
            notes << *ScrambleText(slot.record.reminder, QStringLiteral("0"));
        return notes;
    }

    bool dayExists(const QDate &date)
    {
        return store.storedDays()->contains(TextForms::dayKey(date));
    }

    TestClock clock;
    MemorySettingsStore settings;
    ReminderStore store{settings};
    ProgramSettings program{settings};
    FakeSchedulerHost host;
    Scheduler scheduler{store, program, host};
};

// A line of the queue file: "moment|note|sound", the note scrambled and in Windows-1252.
inline QByteArray queueLine(const char *when, const QString &note, const char *sound = "BEEP")
{
    QByteArray bytes = QByteArray(when) + '|';
    const QString scrambled = *ScrambleText(note, QStringLiteral("1"));
    for (QChar c : scrambled)
        bytes.append(char(Cp1252::code(c)));
    return bytes + '|' + sound;
}
