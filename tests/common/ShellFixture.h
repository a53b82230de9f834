#pragma once

#include "RecordingSoundOutput.h"
#include "TestClock.h"
#include "platform/MemorySettingsStore.h"
#include "shell/AForm.h"
#include "store/ProgramSettings.h"
#include "store/ReminderStore.h"
#include "store/ScrambleText.h"
#include "store/TextForms.h"

#include <QSignalSpy>
#include <QTemporaryDir>

// The hidden main form over a memory store, a recording sound output, a test
// clock and a runtime folder of its own.
struct ShellFixture {
    explicit ShellFixture(const QString &commandLine = QString(),
                          const QDateTime &start = QDateTime(QDate(2026, 12, 4), QTime(10, 5, 20)),
                          const QString &runtime = QString())
        : clock(start)
        , form({store, sound, commandLine, runtime.isEmpty() ? runtimeDir.path() : runtime})
        , ended(&form, &AForm::ended)
    {
    }

    void setPassword(const QString &password)
    {
        program.setStoredPassword(*ScrambleText(password, QStringLiteral("1")));
    }

    void addToday(const QString &time, const QString &note,
                  const QString &sound = QStringLiteral("BEEP"))
    {
        reminders.appendReminder(TextForms::dayKey(Clock::today()),
                                 {*ScrambleText(note, QStringLiteral("1")), sound,
                                  QStringLiteral("One-Time Reminder"), time});
    }

    QTemporaryDir runtimeDir;
    TestClock clock;
    MemorySettingsStore store;
    ProgramSettings program{store};
    ReminderStore reminders{store};
    RecordingSoundOutput sound;
    AForm form;
    QSignalSpy ended;
};
