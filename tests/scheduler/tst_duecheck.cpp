// The tick of Timer1: what fires, when, in which order, and what the store
// holds while a reminder is on screen.
#include "SchedulerFixture.h"
#include "TestRegistry.h"

#include <QTest>
#include <QTimeZone>

namespace {
const QDate kToday(2026, 12, 4);
QDateTime at(int h, int m, int s = 0, int ms = 0)
{
    return QDateTime(kToday, QTime(h, m, s, ms));
}
const QString k10 = u"10:00:00 AM"_s;
} // namespace

class TstDueCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aReminderFiresAtTheFirstTickOfItsMinuteOnly()
    {
        SchedulerFixture f(at(9, 59, 59, 900));
        f.add(kToday, k10, u"Stand-up"_s, Recurrence::kOneTime, u"VITAL_LOOP"_s);
        f.scheduler.Timer1_Timer();
        QVERIFY(f.host.events.isEmpty()); // a tenth of a second early is the minute before

        f.clock.set(at(10, 0, 0, 400));
        f.host.whileShown = [&] {
            // Consumed and counted before the window is on screen.
            QVERIFY(f.liveNotes(kToday).isEmpty());
            QCOMPARE(*f.store.numViewed(u"12/4/2026"_s), 1);
        };
        f.scheduler.Timer1_Timer();
        QCOMPARE(f.host.events,
                 QStringList({QStringLiteral("text:Date and Time: 12/4/2026 10:00:00 AM\r\n"
                                             "Reminder Note: Stand-up"),
                              u"sound:VITAL_LOOP"_s, u"window"_s}));
        QVERIFY(f.host.timerWasOffWhileShown);
        QVERIFY(f.scheduler.Timer1().isActive());

        // The day is complete now, and stays until the next tick, which finds the
        // slot gone and removes the whole day, index value included.
        QVERIFY(f.dayExists(kToday));
        f.clock.set(at(10, 0, 59, 900));
        f.scheduler.Timer1_Timer();
        QCOMPARE(f.host.shownTexts.size(), 1);
        QVERIFY(!f.dayExists(kToday));
    }

    void twoRemindersOfOneMinuteNeedTheFirstAcknowledgedInTime()
    {
        for (bool late : {false, true}) {
            SchedulerFixture f(at(10, 0, 5));
            f.add(kToday, k10, u"first"_s);
            f.add(kToday, k10, u"second"_s);
            f.add(kToday, u"10:03:00 AM"_s, u"third"_s);
            // OK pressed 20 seconds later, or five minutes later: the minutes spent
            // waiting for it are not caught up as skipped ones.
            f.host.whileShown = [&] { f.clock.set(late ? at(10, 5, 10) : at(10, 0, 25)); };
            f.scheduler.Timer1_Timer();
            f.host.whileShown = nullptr;
            for (int i = 0; i < 200; ++i) { // no later tick of the day brings the second
                f.clock.advanceMs(Scheduler::kTickMs);
                f.scheduler.Timer1_Timer();
            }
            const QStringList all({u"first"_s, u"second"_s, u"third"_s});
            QCOMPARE(f.host.notes(), late ? all.mid(0, 1) : all);
            QCOMPARE(f.liveNotes(kToday), late ? all.mid(1) : QStringList());
        }
    }

    void whatAWindowWaitedOnIsReadAfresh()
    {
        // While the first window is open, the list viewer deletes the second slot
        // and another program changes the third's note: today's slots (the due
        // check's walk) and yesterday's (the look-back) are seen as they are now.
        for (const QDate &date : {kToday, kToday.addDays(-1)}) {
            SchedulerFixture f(at(10, 0, 5));
            f.program.setCheckMissed(u"1"_s);
            const QString day = TextForms::dayKey(date);
            for (const QString &note : {u"first"_s, u"deleted"_s, u"changed"_s})
                f.add(date, k10, note);
            f.host.whileShown = [&] {
                if (f.host.shownTexts.size() == 1 && f.store.deleteFromList(day, u"2"_s))
                    f.settings.save(ReminderStore::recordSection(day, 3), u"Reminder"_s,
                                    *ScrambleText(u"now"_s, u"1"_s));
            };
            f.scheduler.StartReminderCheck();
            QCOMPARE(f.host.notes(), QStringList({u"first"_s, u"now"_s}));
        }
    }

    void lockDownHoldsEverythingAndOnlyTheBillReminderComesAfter()
    {
        // Asleep from 10:00 to 12:00 during lock-down; on waking the catch-up finds it
        // locked, or lock-down ends before any tick: either way only the bill comes after.
        for (const bool wokeLocked : {true, false}) {
            SchedulerFixture f(at(10, 0, 10));
            f.add(kToday, k10, u"timed"_s);
            f.add(kToday, QString(), u"bill"_s, Recurrence::kBill);
            f.add(kToday, u"11:00:00 AM"_s, u"slept through"_s);
            f.host.locked = true;
            f.scheduler.Timer1_Timer();
            f.clock.set(at(12, 0, 5));
            if (wokeLocked)
                f.scheduler.catchUp();
            QVERIFY(f.host.events.isEmpty());
            QCOMPARE(f.liveNotes(kToday).size(), 3);

            f.host.locked = false;
            if (!wokeLocked)
                f.scheduler.lockDownEnded();
            f.clock.set(at(12, 0, 40));
            f.scheduler.Timer1_Timer();
            QCOMPARE(f.host.events.first(),
                     u"text:Date and Time: 12/4/2026\r\nReminder Note: bill"_s);
            QCOMPARE(f.host.notes(), QStringList({u"bill"_s}));
            QCOMPARE(f.liveNotes(kToday), QStringList({u"timed"_s, u"slept through"_s}));
            // The bill reminder moved on a month, its empty time kept.
            const ReminderRecord copy = *f.store.readRecord(u"1/4/2027"_s, 1);
            QCOMPARE(copy.time, QString());
            QCOMPARE(copy.recurrence, Recurrence::kBill);
        }
    }

    void aJumpOfTheClockCatchesUpOnceInSlotOrder()
    {
        // Asleep from 10:00 to 10:45: on waking, what the sleep skipped comes up late,
        // once each, in slot order, with its own moment; before and after stay.
        SchedulerFixture f(at(10, 0, 10));
        f.add(kToday, u"10:30:00 AM"_s, u"half past"_s);
        f.add(kToday, u"9:00:00 AM"_s, u"before"_s);
        f.add(kToday, u"10:15:00 AM"_s, u"pills"_s, Recurrence::kDaily);
        f.add(kToday, u"11:00:00 AM"_s, u"after"_s);
        f.scheduler.Timer1_Timer();
        f.clock.set(at(10, 45, 20));
        f.scheduler.catchUp();
        QCOMPARE(f.host.shownTexts,
                 QStringList({Scheduler::reminderText(u"12/4/2026 10:30:00 AM"_s, u"half past"_s),
                              Scheduler::reminderText(u"12/4/2026 10:15:00 AM"_s, u"pills"_s)}));
        f.clock.advanceMs(Scheduler::kTickMs);
        f.scheduler.Timer1_Timer();
        QCOMPARE(f.host.shownTexts.size(), 2);
        QCOMPARE(f.liveNotes(kToday), QStringList({u"before"_s, u"after"_s}));

        // Asleep overnight, the jump alone seen by the tick: the look-back shows
        // yesterday's (with their day), then today's come up from midnight on.
        const QDate tomorrow = kToday.addDays(1);
        f.add(tomorrow, u"7:00:00 AM"_s, u"early"_s);
        f.add(tomorrow, u"9:00:00 AM"_s, u"later"_s);
        f.host.shownTexts.clear();
        f.program.setCheckMissed(u"14"_s);
        f.clock.set(QDateTime(tomorrow, QTime(8, 0, 30)));
        f.scheduler.Timer1_Timer();
        QCOMPARE(f.host.notes(), QStringList({u"before"_s, u"after"_s, u"early"_s}));
        QCOMPARE(f.host.shownTexts.first(), Scheduler::reminderText(u"12/4/2026"_s, u"before"_s));
        QVERIFY(!f.dayExists(kToday));
        QCOMPARE(f.liveNotes(tomorrow), QStringList({u"pills"_s, u"later"_s}));
    }

    void daylightSavingAndAClockSetBackFireNothingTwice()
    {
        // Spring forward on 28 March 2027: 1:59 CET is followed by 3:00 CEST, and the
        // reminder of the hour that never was comes up at 3:00.
        const QTimeZone berlin("Europe/Berlin");
        SchedulerFixture spring(QDateTime(QDate(2027, 3, 28), QTime(1, 59, 30), berlin));
        spring.add(QDate(2027, 3, 28), u"2:30:00 AM"_s, u"in the gap"_s);
        for (int i = 0; i < 3; ++i, spring.clock.advanceMs(Scheduler::kTickMs))
            spring.scheduler.Timer1_Timer();
        QCOMPARE(
            spring.host.shownTexts,
            QStringList({Scheduler::reminderText(u"3/28/2027 2:30:00 AM"_s, u"in the gap"_s)}));

        // The autumn repeat on 31 October 2027 (2:00 to 2:59 twice), and a clock set back
        // from 11:09 to 10:09 by hand: ticking through the hour again fires nothing twice.
        const QDate day(2027, 10, 31);
        for (const int hour : {2, 10}) {
            // 2:20 CEST, the first round, is 0:20 UTC.
            SchedulerFixture f(hour == 2 ? QDateTime(day, QTime(0, 20), Qt::UTC).toTimeZone(berlin)
                                         : QDateTime(day, QTime(hour, 20), berlin));
            f.add(day, TextForms::timeText(QTime(hour, 30)), u"daily"_s, Recurrence::kDaily);
            f.add(day, TextForms::timeText(QTime(hour, 45)), u"once"_s);
            for (int i = 0; i < 111; ++i, f.clock.advanceMs(Scheduler::kTickMs)) {
                if (hour == 10 && i == 50)
                    f.clock.advanceMs(-3'600'000);
                f.scheduler.Timer1_Timer();
            }
            QCOMPARE(Clock::now().time().hour(), hour + 1);
            QCOMPARE(f.host.notes(), QStringList({u"daily"_s, u"once"_s}));
            QCOMPARE(f.liveNotes(day.addDays(1)), QStringList({u"daily"_s}));
        }
    }

    void aRecurringReminderIsCopiedBeforeItsWindowShows()
    {
        SchedulerFixture f(at(23, 30, 1));
        f.add(kToday, u"11:30:00 PM"_s, u"pills"_s, Recurrence::kDaily, u"CUCKOO_LOOP"_s);
        bool checked = false;
        f.host.whileShown = [&] {
            QCOMPARE(f.liveNotes(kToday.addDays(1)), QStringList({u"pills"_s}));
            QVERIFY(f.liveNotes(kToday).isEmpty());
            checked = true;
        };
        f.scheduler.Timer1_Timer();
        QVERIFY(checked);
        const ReminderRecord copy = *f.store.readRecord(u"12/5/2026"_s, 1);
        QCOMPARE(copy.sound, u"CUCKOO_LOOP"_s);
        QCOMPARE(copy.time, u"11:30:00 PM"_s);
        // A typed recurrence name moves nowhere: it is consumed like a one-time reminder.
        f.add(kToday, u"11:31:00 PM"_s, u"typed"_s, u"Every other day"_s);
        f.clock.set(at(23, 31, 30));
        f.scheduler.Timer1_Timer();
        f.clock.set(at(23, 31, 59));
        f.scheduler.Timer1_Timer();
        QCOMPARE(f.host.notes(), QStringList({u"pills"_s, u"typed"_s}));
        // Today was complete after the typed one and went at the second tick.
        QCOMPARE(*f.store.storedDays(), QStringList({u"12/5/2026"_s}));
    }

    void damagedRecordsNeitherCrashNorFireWrongly()
    {
        SchedulerFixture f(at(10, 0, 10));
        const QString day = u"12/4/2026"_s;
        f.add(kToday, u"half past ten"_s, u"bad time"_s);
        f.store.appendReminder(day, {u"!!!"_s, u"BEEP"_s, Recurrence::kOneTime, k10});
        f.add(kToday, k10, u"good"_s);
        f.scheduler.Timer1_Timer();
        QCOMPARE(f.host.notes(), QStringList({Scheduler::kUnreadableNote, u"good"_s}));
        QCOMPARE(f.liveNotes(kToday), QStringList({u"bad time"_s}));

        // Absurd counts: read in no time, and the day is neither walked nor lost.
        for (const char *count : {"abc", "-5", "2000000000"}) {
            f.settings.save(ReminderStore::daySection(day), u"NumReminders"_s,
                            QString::fromLatin1(count));
            f.scheduler.Timer1_Timer();
        }
        QCOMPARE(f.host.shownTexts.size(), 2);
        QCOMPARE(f.liveNotes(kToday), QStringList({u"bad time"_s}));

        // A store that fails shows nothing and stops nothing.
        f.settings.setBroken(true);
        f.scheduler.Timer1_Timer();
        f.scheduler.CheckImmediateReminders();
        QCOMPARE(f.host.shownTexts.size(), 2);
        QVERIFY(f.scheduler.Timer1().isActive());
    }

    void aWriteThatFailsNeverLosesTheReminder()
    {
        // The copy lands but consuming fails: the reminder may come again, never vanish.
        SchedulerFixture f(at(10, 0, 10));
        f.add(kToday, k10, u"rent"_s, Recurrence::kMonthly);
        f.settings.failWritesAfter(6); // the copy's six writes work, the rest fail
        f.scheduler.Timer1_Timer();
        f.settings.failWritesAfter(-1);
        QCOMPARE(f.host.notes(), QStringList({u"rent"_s}));
        QCOMPARE(f.liveNotes(QDate(2027, 1, 4)), QStringList({u"rent"_s}));
        QCOMPARE(f.liveNotes(kToday), QStringList({u"rent"_s}));
        QCOMPARE(*f.store.numViewed(u"12/4/2026"_s), 0);
    }
};

PINGALO_TEST(TstDueCheck)
#include "tst_duecheck.moc"
