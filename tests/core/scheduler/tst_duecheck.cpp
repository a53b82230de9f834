// The scheduler beside what the model of a reminder's life (tst_model) does not
// see: the next day past the last date, the exact window text and what the
// store holds while a reminder is on screen, slots changed while a window
// waits, damaged records and a failing store, a password saved empty, a wake
// behind the start-up gate, and an absurd look-back setting.
#include "SchedulerFixture.h"
#include "TestRegistry.h"

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
    void nothingFollowsTheLastDate()
    {
        QVERIFY(!Recurrence::nextDay(Recurrence::kAnnual, QDate(9999, 6, 1)).isValid());
    }

    void theWindowsExactTextAndTheStoreWhileItShows()
    {
        SchedulerFixture f(at(10, 0, 0, 400));
        f.add(kToday, k10, u"Stand-up"_s, Recurrence::kDaily, u"VITAL_LOOP"_s);
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

    void aPasswordSavedEmptyOpensNoGate()
    {
        SchedulerFixture f(at(10, 5));
        f.program.setStoredPassword(QString()); // "Last" present but empty
        f.add(kToday, u"10:30:00 AM"_s, u"half past"_s);
        f.host.stat = 0;
        f.scheduler.StartReminderCheck();
        QCOMPARE(f.host.notes(), QStringList({u"half past"_s}));
    }

    void behindTheStartUpGateAWakeBringsUpTodaysOnly()
    {
        // Asleep overnight while the start-up password window waits: the catch-up brings
        // up today's skipped minutes only; yesterday's wait for the password and a check.
        SchedulerFixture f(QDateTime(kToday.addDays(-1), QTime(22, 0, 10)));
        f.program.setCheckMissed(u"14"_s);
        f.program.setStoredPassword(*ScrambleText(u"secret"_s, u"1"_s));
        f.host.stat = 0;
        f.add(kToday.addDays(-1), u"11:00:00 PM"_s, u"yesterday"_s);
        f.add(kToday, u"7:00:00 AM"_s, u"early"_s);
        f.scheduler.Timer1_Timer();
        f.clock.set(at(8, 0, 30));
        f.scheduler.catchUp();
        QCOMPARE(f.host.notes(), QStringList({u"early"_s}));
        f.host.stat = 1;
        f.scheduler.StartReminderCheck();
        QCOMPARE(f.host.notes(), QStringList({u"early"_s, u"yesterday"_s}));
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

    void anAbsurdLookBackWalksNoMillionsOfDays()
    {
        // (Rounding the setting: the text forms' number table.)
        SchedulerFixture f(at(10, 5));
        f.program.setCheckMissed(u"2000000000"_s);
        for (int age : {1, 400})
            f.add(kToday.addDays(-age), u"9:00:00 AM"_s, QString::number(age));
        f.scheduler.StartReminderCheck();
        QCOMPARE(f.host.notes(), QStringList({u"1"_s, u"400"_s}));
    }
};

PINGALO_TEST(TstDueCheck)
#include "tst_duecheck.moc"
