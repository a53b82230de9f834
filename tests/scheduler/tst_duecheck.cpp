// The tick of Timer1: what fires, when, in which order, and what the store
// holds while a reminder is on screen.
#include "SchedulerFixture.h"
#include "TestRegistry.h"

#include <QTest>

namespace {
const QDate kToday(2026, 12, 4);
QDateTime at(int h, int m, int s = 0, int ms = 0) { return QDateTime(kToday, QTime(h, m, s, ms)); }
const QString k10 = QStringLiteral("10:00:00 AM");
} // namespace

class TstDueCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aReminderFiresAtTheFirstTickOfItsMinuteOnly()
    {
        SchedulerFixture f(at(9, 59, 59, 900));
        f.add(kToday, k10, QStringLiteral("Stand-up"), Recurrence::kOneTime, QStringLiteral("VITAL_LOOP"));
        f.scheduler.Timer1_Timer();
        QVERIFY(f.host.events.isEmpty()); // a tenth of a second early is the minute before

        f.clock.set(at(10, 0, 0, 400));
        f.host.whileShown = [&] {
            // Consumed and counted before the window is on screen.
            QVERIFY(f.liveNotes(kToday).isEmpty());
            QCOMPARE(*f.store.numViewed(QStringLiteral("12/4/2026")), 1);
        };
        f.scheduler.Timer1_Timer();
        QCOMPARE(f.host.events,
                 QStringList({QStringLiteral("text:Date and Time: 12/4/2026 10:00:00 AM\r\n"
                                             "Reminder Note: Stand-up"),
                              QStringLiteral("sound:VITAL_LOOP"), QStringLiteral("window")}));
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
        {
            SchedulerFixture f(at(10, 0, 5));
            f.add(kToday, k10, QStringLiteral("first"));
            f.add(kToday, k10, QStringLiteral("second"));
            f.host.whileShown = [&] { f.clock.advanceMs(20'000); };
            f.scheduler.Timer1_Timer();
            QCOMPARE(f.host.notes(), QStringList({QStringLiteral("first"), QStringLiteral("second")}));
        }
        SchedulerFixture f(at(10, 0, 5));
        f.add(kToday, k10, QStringLiteral("first"));
        f.add(kToday, k10, QStringLiteral("second"));
        f.host.whileShown = [&] { f.clock.set(at(10, 1, 10)); }; // OK pressed too late
        f.scheduler.Timer1_Timer();
        QCOMPARE(f.host.notes(), QStringList({QStringLiteral("first")}));
        f.host.whileShown = nullptr;
        for (int i = 0; i < 200; ++i) { // no later tick of the day brings it
            f.clock.advanceMs(Scheduler::kTickMs);
            f.scheduler.Timer1_Timer();
        }
        QCOMPARE(f.host.notes(), QStringList({QStringLiteral("first")}));
        QCOMPARE(f.liveNotes(kToday), QStringList({QStringLiteral("second")}));
    }

    void lockDownHoldsEverythingAndOnlyTheBillReminderComesAfter()
    {
        SchedulerFixture f(at(10, 0, 10));
        f.add(kToday, k10, QStringLiteral("timed"));
        f.add(kToday, QString(), QStringLiteral("bill"), Recurrence::kBill);
        f.host.locked = true;
        f.scheduler.Timer1_Timer();
        QVERIFY(f.host.events.isEmpty());
        QCOMPARE(f.liveNotes(kToday).size(), 2);

        f.clock.set(at(10, 5));
        f.host.locked = false;
        f.scheduler.Timer1_Timer();
        QCOMPARE(f.host.events.first(),
                 QStringLiteral("text:Date and Time: 12/4/2026\r\nReminder Note: bill"));
        QCOMPARE(f.host.notes(), QStringList({QStringLiteral("bill")}));
        QCOMPARE(f.liveNotes(kToday), QStringList({QStringLiteral("timed")}));
        // The bill reminder moved on a month, its empty time kept.
        const ReminderRecord copy = *f.store.readRecord(QStringLiteral("1/4/2027"), 1);
        QCOMPARE(copy.time, QString());
        QCOMPARE(copy.recurrence, Recurrence::kBill);
    }

    void aRecurringReminderIsCopiedBeforeItsWindowShows()
    {
        SchedulerFixture f(at(23, 30, 1));
        f.add(kToday, QStringLiteral("11:30:00 PM"), QStringLiteral("pills"), Recurrence::kDaily,
              QStringLiteral("CUCKOO_LOOP"));
        bool checked = false;
        f.host.whileShown = [&] {
            QCOMPARE(f.liveNotes(kToday.addDays(1)), QStringList({QStringLiteral("pills")}));
            QVERIFY(f.liveNotes(kToday).isEmpty());
            checked = true;
        };
        f.scheduler.Timer1_Timer();
        QVERIFY(checked);
        const ReminderRecord copy = *f.store.readRecord(QStringLiteral("12/5/2026"), 1);
        QCOMPARE(copy.sound, QStringLiteral("CUCKOO_LOOP"));
        QCOMPARE(copy.time, QStringLiteral("11:30:00 PM"));
        // A typed recurrence name moves nowhere: it is consumed like a one-time reminder.
        f.add(kToday, QStringLiteral("11:31:00 PM"), QStringLiteral("typed"),
              QStringLiteral("Every other day"));
        f.clock.set(at(23, 31, 30));
        f.scheduler.Timer1_Timer();
        f.clock.set(at(23, 31, 59));
        f.scheduler.Timer1_Timer();
        QCOMPARE(f.host.notes(), QStringList({QStringLiteral("pills"), QStringLiteral("typed")}));
        // Today was complete after the typed one and went at the second tick.
        QCOMPARE(*f.store.storedDays(), QStringList({QStringLiteral("12/5/2026")}));
    }

    void damagedRecordsNeitherCrashNorFireWrongly()
    {
        SchedulerFixture f(at(10, 0, 10));
        const QString day = QStringLiteral("12/4/2026");
        f.add(kToday, QStringLiteral("half past ten"), QStringLiteral("bad time"));
        f.store.appendReminder(day, {QStringLiteral("!!!"), QStringLiteral("BEEP"), Recurrence::kOneTime, k10});
        f.add(kToday, k10, QStringLiteral("good"));
        f.scheduler.Timer1_Timer();
        QCOMPARE(f.host.notes(), QStringList({Scheduler::kUnreadableNote, QStringLiteral("good")}));
        QCOMPARE(f.liveNotes(kToday), QStringList({QStringLiteral("bad time")}));

        // Absurd counts: read in no time, and the day is neither walked nor lost.
        for (const char *count : {"abc", "-5", "2000000000"}) {
            f.settings.save(ReminderStore::daySection(day), QStringLiteral("NumReminders"),
                            QString::fromLatin1(count));
            f.scheduler.Timer1_Timer();
        }
        QCOMPARE(f.host.shownTexts.size(), 2);
        QCOMPARE(f.liveNotes(kToday), QStringList({QStringLiteral("bad time")}));

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
        f.add(kToday, k10, QStringLiteral("rent"), Recurrence::kMonthly);
        f.settings.failWritesAfter(6); // the copy's six writes work, the rest fail
        f.scheduler.Timer1_Timer();
        f.settings.failWritesAfter(-1);
        QCOMPARE(f.host.notes(), QStringList({QStringLiteral("rent")}));
        QCOMPARE(f.liveNotes(QDate(2027, 1, 4)), QStringList({QStringLiteral("rent")}));
        QCOMPARE(f.liveNotes(kToday), QStringList({QStringLiteral("rent")}));
        QCOMPARE(*f.store.numViewed(QStringLiteral("12/4/2026")), 0);
    }
};

PINGALO_TEST(TstDueCheck)
#include "tst_duecheck.moc"
