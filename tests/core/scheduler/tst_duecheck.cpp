// The scheduler: the next day of each recurrence; the tick of Timer1 (what
// fires, when, in which order, and what the store holds while a reminder is on
// screen); the start-up and manual checks (today's reminders of the current
// hour, the message rules, the password road and the look-back over missed days).
#include "SchedulerFixture.h"
#include "TestRegistry.h"

#include <QTimeZone>

namespace {
const QDate kToday(2026, 12, 4);
QDateTime at(int h, int m, int s = 0, int ms = 0)
{
    return QDateTime(kToday, QTime(h, m, s, ms));
}
const QString k10 = u"10:00:00 AM"_s;
const QString kMessage = u"message"_s;
} // namespace

class TstDueCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // (Month ends, leap days and year ends met by ticks: the year simulation.)
    void theNextDayAndWhatIsOneTime()
    {
        // clang-format off
        const struct { const char *row; QString name; QDate firing, next; } cases[] = {
            {"monthly 31 Jan", Recurrence::kMonthly, QDate(2027, 1, 31), QDate(2027, 3, 3)},
            {"one-time", Recurrence::kOneTime, QDate(2026, 12, 4), QDate()},
            {"empty", QString(), QDate(2026, 12, 4), QDate()},
            {"wrong case", u"daily reminder"_s, QDate(2026, 12, 4), QDate()},
            {"past the last date", Recurrence::kAnnual, QDate(9999, 6, 1), QDate()},
        };
        // clang-format on
        for (const auto &c : cases) {
            QVERIFY2(Recurrence::nextDay(c.name, c.firing) == c.next, c.row);
            QVERIFY2(Recurrence::isOneTime(c.name) == (!c.next.isValid() && c.firing.year() < 9999),
                     c.row);
        }
    }

    void aReminderFiresAtTheFirstTickOfItsMinuteOnly()
    {
        SchedulerFixture f(at(9, 59, 59, 900));
        f.add(kToday, k10, u"Stand-up"_s, Recurrence::kDaily, u"VITAL_LOOP"_s);
        f.scheduler.Timer1_Timer();
        QVERIFY(f.host.events.isEmpty()); // a tenth of a second early is the minute before

        f.clock.set(at(10, 0, 0, 400));
        f.host.whileShown = [&] {
            // Copied, consumed and counted before the window is on screen.
            QCOMPARE(f.liveNotes(kToday.addDays(1)), QStringList({u"Stand-up"_s}));
            QVERIFY(f.liveNotes(kToday).isEmpty());
            QCOMPARE(*f.store.numViewed(u"12/4/2026"_s), 1);
        };
        f.scheduler.Timer1_Timer();
        QCOMPARE(f.host.events,
                 QStringList({QStringLiteral("text:Date and Time: 12/4/2026 10:00:00 AM\r\n"
                                             "Reminder Note: Stand-up"),
                              u"sound:VITAL_LOOP"_s, u"window"_s}));
        QVERIFY(f.host.timerWasOffWhileShown);

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
            // No later tick of the day brings the second.
            for (int i = 0; i < 200; ++i, f.clock.advanceMs(Scheduler::kTickMs))
                f.scheduler.Timer1_Timer();
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

            f.host.locked = false;
            if (!wokeLocked)
                f.scheduler.lockDownEnded();
            f.clock.set(at(12, 0, 40));
            f.scheduler.Timer1_Timer();
            QCOMPARE(f.host.notes(), QStringList({u"bill"_s}));
            QCOMPARE(f.liveNotes(kToday), QStringList({u"timed"_s, u"slept through"_s}));
            // The bill reminder moved on a month, its empty time kept.
            QCOMPARE(f.store.readRecord(u"1/4/2027"_s, 1)->time, QString());
        }
    }

    void aJumpOfTheClockCatchesUpOnceInSlotOrder()
    {
        { // A busy machine held a tick up from 10:00:59.9 to 10:02:00.2: 10:01 had no tick.
            SchedulerFixture busy(at(10, 0, 59, 900));
            busy.add(kToday, u"10:01:00 AM"_s, u"held up"_s);
            busy.scheduler.Timer1_Timer();
            busy.clock.set(at(10, 2, 0, 200));
            busy.scheduler.Timer1_Timer();
            QCOMPARE(busy.host.notes(), QStringList({u"held up"_s}));
        }
        { // Asleep from 9:00 to 10:00, then a manual check's window before any tick:
          // the next tick still catches up what the sleep skipped.
            SchedulerFixture late(at(9, 0, 10));
            late.add(kToday, u"9:30:00 AM"_s, u"slept through"_s);
            late.add(kToday, k10, u"this hour"_s);
            late.scheduler.Timer1_Timer();
            late.clock.set(at(10, 0, 15));
            late.scheduler.CheckImmediateReminders();
            late.clock.advanceMs(Scheduler::kTickMs);
            late.scheduler.Timer1_Timer();
            QCOMPARE(late.host.notes(), QStringList({u"this hour"_s, u"slept through"_s}));
        }
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

        // Asleep overnight, the jump alone seen by the tick: the look-back shows
        // yesterday's (before and after only), then today's come up from midnight on.
        const QDate tomorrow = kToday.addDays(1);
        f.add(tomorrow, u"7:00:00 AM"_s, u"early"_s);
        f.add(tomorrow, u"9:00:00 AM"_s, u"later"_s);
        f.host.shownTexts.clear();
        f.program.setCheckMissed(u"14"_s);
        f.clock.set(QDateTime(tomorrow, QTime(8, 0, 30)));
        f.scheduler.Timer1_Timer();
        QCOMPARE(f.host.notes(), QStringList({u"before"_s, u"after"_s, u"early"_s}));
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
        QCOMPARE(spring.host.shownTexts.join(u'|'),
                 Scheduler::reminderText(u"3/28/2027 2:30:00 AM"_s, u"in the gap"_s));

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
            QCOMPARE(Clock::now().time().hour(), hour + 1); // the hour was walked through twice
            QCOMPARE(f.host.notes(), QStringList({u"daily"_s, u"once"_s}));
            QCOMPARE(f.liveNotes(day.addDays(1)), QStringList({u"daily"_s}));
        }
    }

    void damagedRecordsNeitherCrashNorFireWrongly()
    {
        SchedulerFixture f(at(10, 0, 10));
        const QString day = u"12/4/2026"_s;
        f.add(kToday, u"half past ten"_s, u"bad time"_s);
        f.store.appendReminder(day, {u"!!!"_s, u"BEEP"_s, Recurrence::kOneTime, k10});
        f.add(kToday, k10, u"good"_s);
        f.scheduler.Timer1_Timer();
        QCOMPARE(f.host.notes(), QStringList({ReminderRecord::kUnreadableNote, u"good"_s}));

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

    void theCurrentHourDecidesOnceThePasswordIsGiven()
    {
        SchedulerFixture f(at(10, 5));
        f.program.setStoredPassword(*ScrambleText(u"secret"_s, u"1"_s));
        f.add(kToday, u"9:00:00 AM"_s, u"missed this morning"_s);
        f.add(kToday, u"10:30:00 AM"_s, u"half past"_s);
        f.add(kToday, u"3:00:00 PM"_s, u"afternoon"_s);
        // A password not yet given opens the gate instead; the manual flag keeps its value.
        f.host.stat = 0;
        f.scheduler.setManualCheck(1);
        f.scheduler.StartReminderCheck();
        QCOMPARE(f.host.events, QStringList({u"gate"_s}));
        QCOMPARE(f.scheduler.ManualCheck(), 1);
        f.host.stat = 1;
        f.scheduler.StartReminderCheck();
        QCOMPARE(f.host.notes(), QStringList({u"half past"_s}));
        QVERIFY(!f.host.events.contains(kMessage));
        // Already consumed: its own minute brings nothing.
        f.clock.set(at(10, 30));
        f.scheduler.Timer1_Timer();
        QCOMPARE(f.host.shownTexts.size(), 1);
        // Protection removed ("Last" present but empty): no gate whatever the flag. Nothing
        // of this hour: a manual check says so and leaves the others.
        f.program.setStoredPassword(QString());
        f.host.stat = 0;
        f.host.events.clear();
        f.scheduler.setManualCheck(1);
        f.scheduler.StartReminderCheck();
        QCOMPARE(f.host.events, QStringList({kMessage}));
        QCOMPARE(f.liveNotes(kToday), QStringList({u"missed this morning"_s, u"afternoon"_s}));
    }

    void theMessageRules()
    {
        // An empty day: a manual check says so, start-up stays silent. A complete day is
        // removed; the message follows unless started with "-SU", manual or not.
        for (const QString &arguments : {u"-SU"_s, QString(), u"-su"_s, u"-SU "_s}) {
            for (int manual : {0, 1}) {
                SchedulerFixture f(at(10, 5));
                f.host.arguments = arguments;
                f.scheduler.setManualCheck(manual);
                f.scheduler.StartReminderCheck();
                QCOMPARE(f.host.events, manual ? QStringList({kMessage}) : QStringList());
                f.add(kToday, u"9:00:00 AM"_s, u"done"_s);
                f.store.deleteFromList(u"12/4/2026"_s, u"1"_s);
                f.scheduler.setManualCheck(manual);
                f.scheduler.StartReminderCheck();
                QVERIFY(!f.dayExists(kToday));
                QCOMPARE(f.host.events.count(kMessage), manual + (arguments != u"-SU"_s));
                QCOMPARE(f.scheduler.ManualCheck(), 0);
            }
        }
    }

    void aLookBackThatCannotReadADayKeepsIt()
    {
        // The day's slots cannot be read again after the first window: the day is
        // not removed with its unseen reminder.
        SchedulerFixture f(at(10, 5));
        f.program.setCheckMissed(u"1"_s);
        const QDate yesterday = kToday.addDays(-1);
        f.add(yesterday, u"9:00:00 AM"_s, u"seen"_s);
        f.add(yesterday, u"9:30:00 AM"_s, u"unseen"_s);
        f.host.whileShown = [&] { f.settings.setTreeReadsBroken(true); };
        f.scheduler.CheckMissedReminders();
        f.settings.setTreeReadsBroken(false);
        QCOMPARE(f.host.notes(), QStringList({u"seen"_s}));
        QCOMPARE(f.liveNotes(yesterday), QStringList({u"unseen"_s}));
    }

    void theLookBackShowsMissedDaysNewestFirst()
    {
        SchedulerFixture f(at(10, 5));
        f.program.setCheckMissed(u"14"_s);
        f.add(kToday.addDays(-15), u"9:00:00 AM"_s, u"too old"_s);
        f.add(kToday.addDays(-14), u"9:00:00 AM"_s, u"14 days"_s);
        const ReminderRecord weekly{*ScrambleText(u"weekly"_s, u"1"_s), u"PAGER_1_LOOP"_s,
                                    Recurrence::kWeekly, u"8:00:00 PM"_s, u"w@example.com"_s};
        f.store.appendReminder(u"12/1/2026"_s, weekly);
        f.add(kToday.addDays(-1), u"11:00:00 PM"_s, u"yesterday"_s);
        f.add(kToday.addDays(-1), QString(), u"yesterday's bill"_s, Recurrence::kBill);
        // A past day holding only holes.
        f.add(kToday.addDays(-2), u"1:00:00 PM"_s, u"deleted"_s);
        f.store.deleteFromList(u"12/2/2026"_s, u"1"_s);

        f.scheduler.StartReminderCheck();
        QCOMPARE(f.host.notes(),
                 QStringList({u"yesterday"_s, u"yesterday's bill"_s, u"weekly"_s, u"14 days"_s}));
        // Only the day is shown, not the time, with the slot's own sound.
        QCOMPARE(f.host.shownTexts.at(2), u"Date and Time: 12/1/2026\r\nReminder Note: weekly"_s);
        QVERIFY(f.host.events.contains(u"sound:PAGER_1_LOOP"_s));
        // Missed three days ago, moved to seven days after today, all else kept.
        QCOMPARE(*f.store.readRecord(u"12/11/2026"_s, 1), weekly);
        // Every examined day is gone, section and index value; the 15-day-old one stays, and
        // the bill reminder went a month from today.
        QStringList days = *f.store.storedDays();
        days.sort();
        QCOMPARE(days, QStringList({u"1/4/2027"_s, u"11/19/2026"_s, u"12/11/2026"_s}));
    }

    void theLookBackDaysAreRoundedAndMayBeAbsurd()
    {
        for (const auto &[setting, shown] :
             {std::pair{"2.5", 2}, {"3.5", 3}, {"-3", 0}, {"abc", 0}, {"2000000000", 4}}) {
            SchedulerFixture f(at(10, 5));
            f.program.setCheckMissed(QString::fromLatin1(setting));
            for (int age : {1, 2, 4, 400})
                f.add(kToday.addDays(-age), u"9:00:00 AM"_s, QString::number(age));
            f.scheduler.StartReminderCheck();
            QCOMPARE(f.host.shownTexts.size(), shown);
        }
    }
};

PINGALO_TEST(TstDueCheck)
#include "tst_duecheck.moc"
