// A whole leap year of ticks, 59.5 seconds apart, over reminders of every
// recurrence: each fires exactly on its days and minutes, none twice, none lost.
#include "SchedulerFixture.h"
#include "TestRegistry.h"

namespace {

struct Plan {
    QString note;
    QString recurrence;
    QDate first;
    QTime time; // invalid: a bill reminder, due all day
};

// The day after `d` for a recurrence, worked out with QDate's own calendar
// arithmetic rather than the program's date-serial rule.
QDate following(const QString &recurrence, const QDate &d)
{
    if (recurrence == Recurrence::kDaily)
        return d.addDays(1);
    if (recurrence == Recurrence::kWeekly)
        return d.addDays(7);
    if (recurrence == Recurrence::kMonthly || recurrence == Recurrence::kBill)
        return QDate(d.year(), d.month(), 1).addMonths(1).addDays(d.day() - 1);
    if (recurrence == Recurrence::kAnnual)
        return QDate(d.year() + 1, d.month(), 1).addDays(d.day() - 1);
    return QDate();
}

} // namespace

class TstYearSimulation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyReminderFiresOnItsDaysOnly()
    {
        const QDate start(2028, 1, 1), end(2029, 1, 1);
        const QList<Plan> plans = {
            {u"daily"_s, Recurrence::kDaily, start, QTime(7, 30)},
            {u"daily at midnight"_s, Recurrence::kDaily, QDate(2028, 12, 30), QTime(0, 0)},
            {u"weekly"_s, Recurrence::kWeekly, QDate(2028, 1, 3), QTime(18, 0)},
            {u"monthly 31st"_s, Recurrence::kMonthly, QDate(2028, 1, 31), QTime(9, 15)},
            {u"monthly 31 March"_s, Recurrence::kMonthly, QDate(2028, 3, 31), QTime(23, 59)},
            {u"bill"_s, Recurrence::kBill, QDate(2028, 1, 31), QTime()},
            {u"annual 29 Feb"_s, Recurrence::kAnnual, QDate(2028, 2, 29), QTime(12, 0)},
            {u"annual 31 Dec"_s, Recurrence::kAnnual, QDate(2028, 12, 31), QTime(8, 0)},
            {u"one-time 31 Dec"_s, Recurrence::kOneTime, QDate(2028, 12, 31), QTime(23, 59)},
            {u"one-time at midnight"_s, Recurrence::kOneTime, QDate(2028, 6, 1), QTime(0, 0)},
            {u"same minute A"_s, Recurrence::kDaily, QDate(2028, 7, 1), QTime(12, 0)},
            {u"same minute B"_s, Recurrence::kDaily, QDate(2028, 7, 1), QTime(12, 0)},
        };

        // Expected: "note@M/d/yyyy h:mm" for every firing inside the year.
        const auto firing = [](const QString &note, const QDateTime &at) -> QString {
            return note + u'@' + TextForms::dayKey(at.date()) + u' ' + at.toString(u"h:mm"_s);
        };
        QStringList expected;
        for (const Plan &p : plans)
            for (QDate d = p.first; d.isValid() && d < end; d = following(p.recurrence, d))
                expected << firing(p.note, QDateTime(d, p.time.isValid() ? p.time : QTime(0, 0)));
        expected.sort();

        SchedulerFixture f(QDateTime(start, QTime(0, 0, 0, 250)));
        for (const Plan &p : plans)
            f.add(p.first, p.time.isValid() ? TextForms::timeText(p.time) : QString(), p.note,
                  p.recurrence);
        QStringList fired;
        f.host.whileShown = [&] { fired << firing(f.host.notes().last(), Clock::now()); };
        for (; Clock::now().date() < end; f.clock.advanceMs(Scheduler::kTickMs))
            f.scheduler.Timer1_Timer();
        fired.sort();
        QCOMPARE(fired, expected);

        // What is left waits in the next year, each on its next day.
        QStringList newYear = f.liveNotes(QDate(2029, 1, 1));
        newYear.sort();
        QCOMPARE(newYear, QStringList({u"daily"_s, u"daily at midnight"_s, u"monthly 31 March"_s,
                                       u"same minute A"_s, u"same minute B"_s, u"weekly"_s}));
        QCOMPARE(f.liveNotes(QDate(2029, 1, 2)), QStringList({u"bill"_s, u"monthly 31st"_s}));
        QCOMPARE(f.liveNotes(QDate(2029, 3, 1)), QStringList({u"annual 29 Feb"_s}));
        QCOMPARE(f.liveNotes(QDate(2029, 12, 31)), QStringList({u"annual 31 Dec"_s}));
    }
};

PINGALO_TEST(TstYearSimulation)
#include "tst_yearsimulation.moc"
