// The start-up and manual checks: today's reminders of the current hour, the
// message rules, the password road and the look-back over missed days.
#include "SchedulerFixture.h"
#include "TestRegistry.h"

#include <QTest>

namespace {
const QDate kToday(2026, 12, 4);
QDateTime at(int h, int m)
{
    return QDateTime(kToday, QTime(h, m, 20));
}
const QString kMessage = u"message"_s;
} // namespace

class TstChecks : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theCurrentHourDecides()
    {
        {
            SchedulerFixture f(at(10, 5));
            f.add(kToday, u"10:30:00 AM"_s, u"half past"_s);
            f.add(kToday, u"3:00:00 PM"_s, u"afternoon"_s);
            f.scheduler.setManualCheck(1);
            f.scheduler.StartReminderCheck();
            QCOMPARE(f.host.notes(), QStringList({u"half past"_s}));
            QVERIFY(!f.host.events.contains(kMessage));
            QCOMPARE(f.scheduler.ManualCheck(), 0);
            // Already consumed: its own minute brings nothing.
            f.clock.set(at(10, 30));
            f.scheduler.Timer1_Timer();
            QCOMPARE(f.host.shownTexts.size(), 1);
        }
        SchedulerFixture f(at(10, 5));
        f.add(kToday, u"9:00:00 AM"_s, u"missed this morning"_s);
        f.add(kToday, u"3:00:00 PM"_s, u"afternoon"_s);
        f.scheduler.setManualCheck(1);
        f.scheduler.StartReminderCheck();
        QCOMPARE(f.host.events, QStringList({kMessage}));
        QCOMPARE(f.liveNotes(kToday).size(), 2);
    }

    void theMessageRules()
    {
        // An empty day: the manual check says so, start-up stays silent.
        {
            SchedulerFixture f(at(10, 5));
            f.scheduler.StartReminderCheck();
            QVERIFY(f.host.events.isEmpty());
            f.scheduler.setManualCheck(1);
            f.scheduler.StartReminderCheck();
            QCOMPARE(f.host.events, QStringList({kMessage}));
        }
        // A complete day is removed; the message follows unless started with "-SU",
        // whether the check is manual or not.
        for (const QString &arguments : {u"-SU"_s, QString(), u"-su"_s, u"-SU "_s}) {
            for (int manual : {0, 1}) {
                SchedulerFixture f(at(10, 5));
                f.host.arguments = arguments;
                f.add(kToday, u"9:00:00 AM"_s, u"done"_s);
                f.store.deleteFromList(u"12/4/2026"_s, u"1"_s);
                f.scheduler.setManualCheck(manual);
                f.scheduler.StartReminderCheck();
                QVERIFY(!f.dayExists(kToday));
                QCOMPARE(f.host.events.contains(kMessage), arguments != QLatin1String("-SU"));
                QCOMPARE(f.scheduler.ManualCheck(), 0);
            }
        }
    }

    void aPasswordNotYetGivenOpensTheGateInstead()
    {
        SchedulerFixture f(at(10, 5));
        f.program.setStoredPassword(*ScrambleText(u"secret"_s, u"1"_s));
        f.add(kToday, u"10:30:00 AM"_s, u"hidden"_s);
        f.host.stat = 0;
        f.scheduler.setManualCheck(1);
        f.scheduler.StartReminderCheck();
        QCOMPARE(f.host.events, QStringList({u"gate"_s}));
        QCOMPARE(f.scheduler.ManualCheck(), 1); // keeps its value
        f.host.stat = 1;
        f.scheduler.StartReminderCheck();
        QCOMPARE(f.host.notes(), QStringList({u"hidden"_s}));
        // Protection removed ("Last" present but empty): no gate whatever the flag.
        f.program.setStoredPassword(QString());
        f.host.stat = 0;
        f.host.events.clear();
        f.scheduler.setManualCheck(1);
        f.scheduler.StartReminderCheck();
        QCOMPARE(f.host.events, QStringList({kMessage}));
    }

    void theLookBackShowsMissedDaysNewestFirst()
    {
        SchedulerFixture f(at(10, 5));
        f.program.setCheckMissed(u"14"_s);
        f.add(kToday.addDays(-15), u"9:00:00 AM"_s, u"too old"_s);
        f.add(kToday.addDays(-14), u"9:00:00 AM"_s, u"14 days"_s);
        f.add(kToday.addDays(-3), u"8:00:00 PM"_s, u"weekly"_s, Recurrence::kWeekly,
              u"PAGER_1_LOOP"_s);
        f.add(kToday.addDays(-1), u"11:00:00 PM"_s, u"yesterday"_s);
        f.add(kToday.addDays(-1), QString(), u"yesterday's bill"_s, Recurrence::kBill);
        // A past day holding only holes.
        f.add(kToday.addDays(-2), u"1:00:00 PM"_s, u"deleted"_s);
        f.store.deleteFromList(u"12/2/2026"_s, u"1"_s);
        bool timerOff = true;
        f.host.whileShown = [&] { timerOff = timerOff && !f.scheduler.Timer1().isActive(); };

        f.scheduler.StartReminderCheck();
        QCOMPARE(f.host.notes(),
                 QStringList({u"yesterday"_s, u"yesterday's bill"_s, u"weekly"_s, u"14 days"_s}));
        QVERIFY(timerOff);
        // Only the day is shown, not the time; the sound comes before the window.
        QCOMPARE(f.host.shownTexts.at(2), u"Date and Time: 12/1/2026\r\nReminder Note: weekly"_s);
        QCOMPARE(f.host.events.mid(f.host.events.indexOf(u"sound:PAGER_1_LOOP"_s), 2),
                 QStringList({u"sound:PAGER_1_LOOP"_s, u"window"_s}));
        // Missed three days ago, moved to seven days after today at the same time.
        const ReminderRecord weekly = *f.store.readRecord(u"12/11/2026"_s, 1);
        QCOMPARE(weekly.time, u"8:00:00 PM"_s);
        QCOMPARE(weekly.sound, u"PAGER_1_LOOP"_s);
        // The bill reminder moves a month from today.
        QCOMPARE(f.liveNotes(QDate(2027, 1, 4)), QStringList({u"yesterday's bill"_s}));
        // Every examined day is gone, section and index value; the 15-day-old one stays.
        QStringList days = *f.store.storedDays();
        days.sort();
        QCOMPARE(days, QStringList({u"1/4/2027"_s, u"11/19/2026"_s, u"12/11/2026"_s}));
        QVERIFY(!f.host.events.contains(kMessage));
    }

    void theLookBackDaysAreRoundedAndMayBeAbsurd()
    {
        for (const auto &[setting, shown] :
             {std::pair{"2.5", 2}, {"3.5", 3}, {"", 0}, {"abc", 0}, {"2000000000", 4}}) {
            SchedulerFixture f(at(10, 5));
            f.program.setCheckMissed(QString::fromLatin1(setting));
            for (int age : {1, 2, 4, 400})
                f.add(kToday.addDays(-age), u"9:00:00 AM"_s, QString::number(age));
            f.scheduler.StartReminderCheck();
            QCOMPARE(f.host.shownTexts.size(), shown);
        }
    }
};

PINGALO_TEST(TstChecks)
#include "tst_checks.moc"
