#pragma once

#include "FakeSchedulerHost.h"
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
#include "gui/shell/HelpModule.h"
#include "gui/shell/OwnedWindows.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimeEdit>
#include <QTimer>

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
// a scheduler timer and a lock-down item of its own. (With the types of the
// note maker's and the bill wizard's controls, for the tests to use.)
struct NoteMakerFixture {
    explicit NoteMakerFixture(const QDateTime &start = QDateTime(QDate(2026, 12, 4),
                                                                 QTime(10, 15, 30)))
        : clock(start)
    {
        timer.setInterval(59'500);
        timer.start();
        open();
    }
    ~NoteMakerFixture() { delete window; }

    void open()
    {
        const auto showHelp = [this] { help.ShowHelpContents(); };
        window =
            new NoteMaker({reminders,
                           sounds,
                           timer,
                           billDate,
                           &lockItem,
                           showHelp,
                           &OwnedWindows::showAbout,
                           [this, showHelp](QWidget *o) {
                               OwnedWindows::showList({reminders, alerts, showHelp}, o);
                           },
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
        const auto live = reminders.liveReminders(day, *reminders.numReminders(day));
        for (const LiveReminder &slot : *live) {
            const ReminderRecord &r = slot.record;
            result << ScrambleText(r.reminder, QStringLiteral("0")).value_or(QString()) +
                          QLatin1Char('|') + r.sound + QLatin1Char('|') + r.recurrence +
                          QLatin1Char('|') + r.time;
        }
        return result;
    }

    TestClock clock;
    MemorySettingsStore store;
    ReminderStore reminders{store};
    ProgramSettings program{store};
    RecordingSoundOutput output;
    // The sounds and the help file come from the sources.
    ProgramFiles files{QStringLiteral(PINGALO_SOURCE_DIR "/resources"), QString()};
    Sounds sounds{program, output, files};
    HelpModule help{program, files};
    QTimer timer;
    QString billDate;
    FakeSchedulerHost alerts;
    QAction lockItem; // the tray's "Lock &Down"
    QWidget owner;
    QPointer<NoteMaker> window;
};
