// The start-up and manual checks: today's reminders of the current hour, the
// message rules, the password road and the look-back over missed days.
#include "SchedulerFixture.h"
#include "TestRegistry.h"

#include <QTest>

namespace {
const QDate kToday(2026, 12, 4);
QDateTime at(int h, int m) { return QDateTime(kToday, QTime(h, m, 20)); }
const QString kMessage = QStringLiteral("message");
} // namespace

class TstChecks : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theCurrentHourDecides()
    {
        {
            SchedulerFixture f(at(10, 5));
            f.add(kToday, QStringLiteral("10:30:00 AM"), QStringLiteral("half past"));
            f.add(kToday, QStringLiteral("3:00:00 PM"), QStringLiteral("afternoon"));
            f.scheduler.setManualCheck(1);
            f.scheduler.StartReminderCheck();
            QCOMPARE(f.host.notes(), QStringList({QStringLiteral("half past")}));
            QVERIFY(!f.host.events.contains(kMessage));
            QCOMPARE(f.scheduler.ManualCheck(), 0);
            // Already consumed: its own minute brings nothing.
            f.clock.set(at(10, 30));
            f.scheduler.Timer1_Timer();
            QCOMPARE(f.host.shownTexts.size(), 1);
        }
        SchedulerFixture f(at(10, 5));
        f.add(kToday, QStringLiteral("9:00:00 AM"), QStringLiteral("missed this morning"));
        f.add(kToday, QStringLiteral("3:00:00 PM"), QStringLiteral("afternoon"));
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
        for (const QString &arguments : {QStringLiteral("-SU"), QString(), QStringLiteral("-su"),
                                         QStringLiteral("-SU ")}) {
            for (int manual : {0, 1}) {
                SchedulerFixture f(at(10, 5));
                f.host.arguments = arguments;
                f.add(kToday, QStringLiteral("9:00:00 AM"), QStringLiteral("done"));
                f.store.deleteFromList(QStringLiteral("12/4/2026"), QStringLiteral("1"));
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
        f.program.setStoredPassword(*ScrambleText(QStringLiteral("secret"), QStringLiteral("1")));
        f.add(kToday, QStringLiteral("10:30:00 AM"), QStringLiteral("hidden"));
        f.host.stat = 0;
        f.scheduler.setManualCheck(1);
        f.scheduler.StartReminderCheck();
        QCOMPARE(f.host.events, QStringList({QStringLiteral("gate")}));
        QCOMPARE(f.scheduler.ManualCheck(), 1); // keeps its value
        f.host.stat = 1;
        f.scheduler.StartReminderCheck();
        QCOMPARE(f.host.notes(), QStringList({QStringLiteral("hidden")}));
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
        f.program.setCheckMissed(QStringLiteral("14"));
        f.add(kToday.addDays(-15), QStringLiteral("9:00:00 AM"), QStringLiteral("too old"));
        f.add(kToday.addDays(-14), QStringLiteral("9:00:00 AM"), QStringLiteral("14 days"));
        f.add(kToday.addDays(-3), QStringLiteral("8:00:00 PM"), QStringLiteral("weekly"),
              Recurrence::kWeekly, QStringLiteral("PAGER_1_LOOP"));
        f.add(kToday.addDays(-1), QStringLiteral("11:00:00 PM"), QStringLiteral("yesterday"));
        f.add(kToday.addDays(-1), QString(), QStringLiteral("yesterday's bill"), Recurrence::kBill);
        // A past day holding only holes.
        f.add(kToday.addDays(-2), QStringLiteral("1:00:00 PM"), QStringLiteral("deleted"));
        f.store.deleteFromList(QStringLiteral("12/2/2026"), QStringLiteral("1"));
        bool timerOff = true;
        f.host.whileShown = [&] { timerOff = timerOff && !f.scheduler.Timer1().isActive(); };

        f.scheduler.StartReminderCheck();
        QCOMPARE(f.host.notes(), QStringList({QStringLiteral("yesterday"), QStringLiteral("yesterday's bill"),
                                              QStringLiteral("weekly"), QStringLiteral("14 days")}));
        QVERIFY(timerOff);
        // Only the day is shown, not the time; the sound comes before the window.
        QCOMPARE(f.host.shownTexts.at(2), QStringLiteral("Date and Time: 12/1/2026\r\nReminder Note: weekly"));
        QCOMPARE(f.host.events.mid(f.host.events.indexOf(QStringLiteral("sound:PAGER_1_LOOP")), 2),
                 QStringList({QStringLiteral("sound:PAGER_1_LOOP"), QStringLiteral("window")}));
        // Missed three days ago, moved to seven days after today at the same time.
        const ReminderRecord weekly = *f.store.readRecord(QStringLiteral("12/11/2026"), 1);
        QCOMPARE(weekly.time, QStringLiteral("8:00:00 PM"));
        QCOMPARE(weekly.sound, QStringLiteral("PAGER_1_LOOP"));
        // The bill reminder moves a month from today.
        QCOMPARE(f.liveNotes(QDate(2027, 1, 4)), QStringList({QStringLiteral("yesterday's bill")}));
        // Every examined day is gone, section and index value; the 15-day-old one stays.
        QStringList days = *f.store.storedDays();
        days.sort();
        QCOMPARE(days, QStringList({QStringLiteral("1/4/2027"), QStringLiteral("11/19/2026"),
                                    QStringLiteral("12/11/2026")}));
        QVERIFY(!f.host.events.contains(kMessage));
    }

    void theLookBackDaysAreRoundedAndMayBeAbsurd()
    {
        for (const auto &[setting, shown] : {std::pair{"2.5", 2}, {"3.5", 3}, {"", 0}, {"abc", 0},
                                             {"2000000000", 4}}) {
            SchedulerFixture f(at(10, 5));
            f.program.setCheckMissed(QString::fromLatin1(setting));
            for (int age : {1, 2, 4, 400})
                f.add(kToday.addDays(-age), QStringLiteral("9:00:00 AM"), QString::number(age));
            f.scheduler.StartReminderCheck();
            QCOMPARE(f.host.shownTexts.size(), shown);
        }
    }
};

PINGALO_TEST(TstChecks)
#include "tst_checks.moc"
