// Prints how fast the store and the scheduler are, as medians in microseconds.
//
// On a store of 10,000 reminders over 365 days, one day of which holds 500:
// one append (with full durability), reading every live slot of the 500-slot
// day as the due check does, reading every live record as the list viewer does,
// and one tick of the due check on the 500-slot day when it is today.
// On a store of 30 past days of 100 reminders each: the look-back of a check
// that shows and clears them all (the reminder windows answered at once).
//
//   pingalo_benchmark [STORE-FILE]     (default: a fresh file in /tmp)
#include "BenchmarkStore.h"
#include "platform/Clock.h"
#include "platform/SqliteSettingsStore.h"
#include "scheduler/Recurrence.h"
#include "scheduler/Scheduler.h"
#include "scheduler/SchedulerHost.h"
#include "store/ProgramSettings.h"
#include "store/ReminderStore.h"
#include "store/ScrambleText.h"
#include "store/TextForms.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// Reads every live slot of a day the way the due check walks it.
int readDay(ReminderStore &store, const QString &day)
{
    int live = 0;
    const auto slots = store.liveReminders(day, store.numReminders(day).value_or(0));
    for (const LiveReminder &r : slots.value_or(QList<LiveReminder>()))
        live += ScrambleText(r.record.reminder, QStringLiteral("0")).has_value();
    return live;
}

// Reads every live record through the day index, as the list viewer does.
int readAll(ReminderStore &store)
{
    int live = 0;
    for (const LiveReminder &r : store.allLiveReminders().value_or(QList<LiveReminder>()))
        live += ScrambleText(r.record.reminder, QStringLiteral("0")).has_value();
    return live;
}

class FixedClock : public Clock {
public:
    QDateTime now;

protected:
    QDateTime currentDateTime() const override { return now; }
};

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir dir;
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.filePath(QStringLiteral("bench.db"));
    QFile::remove(path);
    SqliteSettingsStore settings(path);
    ReminderStore store(settings);

    const QDate first(2027, 1, 1);
    const QString busyDay = TextForms::dayKey(first.addDays(100));
    std::printf("filling %s with 10,000 reminders over 365 days...\n", qPrintable(path));
    std::printf("made %d reminders\n", fillStore(settings, store, first, busyDay));

    std::vector<double> appends;
    const QString appendDay = TextForms::dayKey(first.addDays(400));
    for (int i = 0; i < 200; ++i) {
        const ReminderRecord record = makeRecord(i);
        QElapsedTimer t;
        t.start();
        store.appendReminder(appendDay, record);
        appends.push_back(t.nsecsElapsed() / 1000.0);
    }
    store.removeDay(appendDay);

    std::vector<double> days;
    int live = 0;
    for (int i = 0; i < 50; ++i) {
        QElapsedTimer t;
        t.start();
        live = readDay(store, busyDay);
        days.push_back(t.nsecsElapsed() / 1000.0);
    }

    std::vector<double> all;
    int total = 0;
    for (int i = 0; i < 10; ++i) {
        QElapsedTimer t;
        t.start();
        total = readAll(store);
        all.push_back(t.nsecsElapsed() / 1000.0);
    }

    // The due check's tick on the busy day, at a minute when none of its
    // reminders is due, so that every tick walks all 500 slots.
    FixedClock clock;
    Clock::setInstance(&clock);
    clock.now = QDateTime(first.addDays(100), QTime(23, 59, 30));
    CountingHost host;
    ProgramSettings program(settings);
    Scheduler scheduler(store, program, host);
    std::vector<double> ticks;
    for (int i = 0; i < 50; ++i) {
        QElapsedTimer t;
        t.start();
        scheduler.Timer1_Timer();
        ticks.push_back(t.nsecsElapsed() / 1000.0);
    }

    // The look-back over 30 past days of 100 reminders each.
    QTemporaryDir lookBackDir;
    SqliteSettingsStore pastSettings(lookBackDir.filePath(QStringLiteral("past.db")));
    ReminderStore past(pastSettings);
    ProgramSettings pastProgram(pastSettings);
    pastProgram.setCheckMissed(QStringLiteral("30"));
    Scheduler lookBack(past, pastProgram, host);
    clock.now = QDateTime(QDate(2027, 6, 1), QTime(12, 0));
    std::vector<double> lookBacks;
    int shown = 0;
    for (int run = 0; run < 3; ++run) {
        for (int d = 1; d <= 30; ++d) {
            const QString day = TextForms::dayKey(QDate(2027, 6, 1).addDays(-d));
            pastSettings.transaction([&] {
                for (int i = 0; i < 100; ++i)
                    past.appendReminder(day, makeRecord(i * 6)); // one-time reminders
                return true;
            });
        }
        host.windows = 0;
        QElapsedTimer t;
        t.start();
        lookBack.CheckMissedReminders();
        lookBacks.push_back(t.nsecsElapsed() / 1000.0);
        shown = host.windows;
    }
    Clock::setInstance(nullptr);

    std::printf("append one reminder (synchronous=FULL):  median %9.1f us   (target < 2000)\n",
                median(appends));
    std::printf("read the %d live slots of one day:       median %9.1f us   (target < 5000)\n",
                live, median(days));
    std::printf("tick of the due check on that day:        median %9.1f us   (target < 5000)\n",
                median(ticks));
    std::printf("read all %d live records:              median %9.1f us   (target < 100000)\n",
                total, median(all));
    std::printf("look-back showing %d reminders of 30 days: median %9.1f us = %.1f us a reminder\n",
                shown, median(lookBacks), median(lookBacks) / std::max(shown, 1));
    return 0;
}
