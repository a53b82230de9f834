#pragma once

#include "ModalHelpers.h"
#include "RecordingSoundOutput.h"
#include "TestClock.h"
#include "core/scheduler/Scheduler.h"
#include "core/store/MemorySettingsStore.h"
#include "core/store/ProgramSettings.h"
#include "core/store/ReminderStore.h"
#include "core/store/ScrambleText.h"
#include "core/store/TextForms.h"
#include "core/system/ProgramFiles.h"
#include "gui/alerts/Reminders.h"
#include "gui/alerts/Sounds.h"
#include "gui/list/Editor.h"
#include "gui/password/PassFormEnter.h"
#include "gui/password/PassFormLock.h"
#include "gui/platform/TrayIcon.h"
#include "gui/shell/AForm.h"
#include "gui/shell/HelpModule.h"

#include <QSignalSpy>

// The hidden main form (with the types of the windows it owns, for the tests to
// use) over a memory store, a recording sound output, a test
// clock and a runtime folder of its own, which holds the folders where sounds
// and help are looked for after "Locale" (empty until a test fills them).
struct ShellFixture {
    explicit ShellFixture(const QString &commandLine = QString(),
                          const QString &runtime = QString())
        : form({store, sound, files, commandLine, runtime.isEmpty() ? runtimeDir.path() : runtime})
        , ended(&form, &AForm::ended)
    {
    }

    void setPassword(const QString &password)
    {
        program.setStoredPassword(*ScrambleText(password, QStringLiteral("1")));
    }

    // A reminder of today, or of `days` days from today.
    void add(const QString &time, const QString &note,
             const QString &sound = QStringLiteral("BEEP"),
             const QString &recurrence = QStringLiteral("One-Time Reminder"), int days = 0)
    {
        reminders.appendReminder(
            TextForms::dayKey(Clock::today().addDays(days)),
            {*ScrambleText(note, QStringLiteral("1")), sound, recurrence, time});
    }

    QTemporaryDir runtimeDir;
    TestClock clock{QDateTime(QDate(2026, 12, 4), QTime(10, 5, 20))};
    MemorySettingsStore store;
    ProgramSettings program{store};
    ReminderStore reminders{store};
    RecordingSoundOutput sound;
    // Sounds and help after "Locale": two folders a test may make and fill.
    ProgramFiles files{runtimeDir.filePath(QStringLiteral("data")),
                       runtimeDir.filePath(QStringLiteral("program"))};
    AForm form;
    QSignalSpy ended;
};
