#pragma once

#include "ModalHelpers.h"
#include "RecordingSoundOutput.h"
#include "TestClock.h"
#include "core/store/MemorySettingsStore.h"
#include "core/store/ProgramSettings.h"
#include "core/store/ReminderStore.h"
#include "core/store/ScrambleText.h"
#include "core/system/ProgramFiles.h"
#include "gui/alerts/Sounds.h"
#include "gui/authoring/ChoiceBox.h"
#include "gui/authoring/NoteMaker.h"
#include "gui/shell/OwnedWindows.h"

// The controls placed on `parent` of which one lies outside it or over the other (a
// group box only draws a frame around others), or the empty text.
inline QString layoutFault(QWidget *parent)
{
    QWidgetList placed = parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    placed.removeIf([parent](QWidget *w) { return !w->isVisibleTo(parent); });
    for (QWidget *a : placed)
        for (QWidget *b : placed)
            if (!parent->rect().contains(a->geometry()) ||
                (a != b && !qobject_cast<QGroupBox *>(a) && !qobject_cast<QGroupBox *>(b) &&
                 a->geometry().intersects(b->geometry())))
                return a->objectName() + QLatin1Char(' ') + b->objectName();
    return QString();
}

// A note maker over a memory store, a recording sound output, a test clock,
// a scheduler timer and a lock-down item of its own; the help and the list are
// the shell's to open. (With the types of the note maker's and the bill wizard's
// controls, for the tests to use.)
struct NoteMakerFixture {
    NoteMakerFixture()
    {
        timer.start(59'500);
        open();
    }
    ~NoteMakerFixture() { delete window; }

    void open()
    {
        window =
            new NoteMaker({reminders,
                           sounds,
                           timer,
                           billDate,
                           &lockItem,
                           {},
                           &OwnedWindows::showAbout,
                           {},
                           {[this](QWidget *o) { return OwnedWindows::setPassword(program, o); },
                            {},
                            [](QWidget *) { return false; }}},
                          &owner);
        window->show();
    }

    // The live records of a day as "note|sound|recurrence|time", in slot order.
    QStringList stored(const QString &day)
    {
        QStringList result;
        for (const LiveReminder &r : reminders.allLiveReminders().value_or(QList<LiveReminder>()))
            if (r.day == day)
                result << QStringList{r.record.shownNote(), r.record.sound, r.record.recurrence,
                                      r.record.time}
                              .join(u'|');
        return result;
    }

    TestClock clock{QDateTime(QDate(2026, 12, 4), QTime(10, 15, 30))};
    MemorySettingsStore store;
    ReminderStore reminders{store};
    ProgramSettings program{store};
    RecordingSoundOutput output;
    // The sounds come from the sources.
    ProgramFiles files{QStringLiteral(PINGALO_SOURCE_DIR "/resources"), QString()};
    Sounds sounds{program, output, files};
    QTimer timer;
    QString billDate;
    QAction lockItem; // the tray's "Lock &Down"
    QWidget owner;
    QPointer<NoteMaker> window;
};
