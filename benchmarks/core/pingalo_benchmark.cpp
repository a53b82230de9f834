// Prints how fast the store and the scheduler are, as medians in microseconds.
//
// On a store of 10,000 reminders over 365 days, one day of which holds 500:
// one append (with full durability), reading every live slot of the 500-slot
// day as the due check does, reading every live record as the list viewer does,
// and one tick of the due check on the 500-slot day when it is today.
// Each read is measured beside the same read done as one raw SQLite query on
// the same file, and their ratio printed: what the program adds to SQLite.
// On a store of 30 past days of 100 reminders each: the look-back of a check
// that shows and clears them all (the reminder windows answered at once).
//
//   pingalo_benchmark [STORE-FILE]     (default: a fresh file in /tmp)
#include "BenchmarkStore.h"
#include "core/scheduler/Recurrence.h"
#include "core/scheduler/Scheduler.h"
#include "core/scheduler/SchedulerHost.h"
#include "core/store/ProgramSettings.h"
#include "core/store/ReminderStore.h"
#include "core/store/ScrambleText.h"
#include "core/store/SqliteSettingsStore.h"
#include "core/store/TextForms.h"
#include "core/system/Clock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sqlite3.h>

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

// Reads a section tree of the file as one raw SQLite query on a connection of
// its own, touching every text the way the store's read does.
class RawReader {
public:
    explicit RawReader(const QString &path)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_prepare_v3(m_db,
                           "SELECT rowid, section, name, value FROM entries WHERE app='Pingalo!' "
                           "AND section>=?1 AND section<?1||']' AND (section=?1 OR "
                           "section>=?1||'\\')",
                           -1, SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr);
    }
    ~RawReader()
    {
        sqlite3_finalize(m_stmt);
        sqlite3_close(m_db);
    }
    RawReader(const RawReader &) = delete;
    RawReader &operator=(const RawReader &) = delete;

    // Gives the number of rows read; the bytes go into `touched`.
    int read(const QString &section)
    {
        const QByteArray key = section.toUtf8();
        sqlite3_bind_text(m_stmt, 1, key.constData(), int(key.size()), SQLITE_STATIC);
        int rows = 0;
        while (sqlite3_step(m_stmt) == SQLITE_ROW) {
            ++rows;
            touched += sqlite3_column_int64(m_stmt, 0);
            for (int column = 1; column <= 3; ++column)
                touched +=
                    sqlite3_column_bytes(m_stmt, column) + *sqlite3_column_text(m_stmt, column);
        }
        sqlite3_reset(m_stmt);
        return rows;
    }

    qint64 touched = 0;

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
};

// Times `run` once, in microseconds.
template<class Run> double timed(Run run)
{
    QElapsedTimer t;
    t.start();
    run();
    return t.nsecsElapsed() / 1000.0;
}

double threadCpuMicros()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

// A read of the program measured beside the same read as a raw query, one
// after the other each time, so that both meet the same load. The ratio is
// the median of each pair's ratio of processor time, which the other
// programs of a busy machine do not tip as they tip the elapsed times.
struct Paired {
    std::vector<double> ours, raw, ratios;

    template<class Ours, class Raw> void measure(int times, Ours runOurs, Raw runRaw)
    {
        for (int i = 0; i < times; ++i) {
            double cpu = threadCpuMicros();
            ours.push_back(timed(runOurs));
            const double oursCpu = threadCpuMicros() - cpu;
            cpu = threadCpuMicros();
            raw.push_back(timed(runRaw));
            ratios.push_back(oursCpu / std::max(threadCpuMicros() - cpu, 1.0));
        }
    }
};

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

    RawReader raw(path);
    const QString busySection = ReminderStore::daySection(busyDay);
    Paired days;
    int live = 0, rawDayRows = 0;
    days.measure(
        50, [&] { live = readDay(store, busyDay); }, [&] { rawDayRows = raw.read(busySection); });

    Paired all;
    int total = 0, rawAllRows = 0;
    all.measure(
        10, [&] { total = readAll(store); },
        [&] { rawAllRows = raw.read(ReminderStore::kIndexSection); });

    // The due check's tick on the busy day, at a minute when none of its
    // reminders is due, so that every tick walks all 500 slots.
    FixedClock clock;
    Clock::setInstance(&clock);
    clock.now = QDateTime(first.addDays(100), QTime(23, 59, 30));
    CountingHost host;
    ProgramSettings program(settings);
    Scheduler scheduler(store, program, host);
    Paired ticks;
    ticks.measure(
        50, [&] { scheduler.Timer1_Timer(); }, [&] { raw.read(busySection); });

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
                live, median(days.ours));
    std::printf("  the same as one raw SQLite query of %d rows: %9.1f us\n", rawDayRows,
                median(days.raw));
    std::printf("tick of the due check on that day:        median %9.1f us   (target < 5000)\n",
                median(ticks.ours));
    std::printf("  its day as one raw SQLite query:             %9.1f us\n", median(ticks.raw));
    std::printf("read all %d live records:              median %9.1f us   (target < 100000)\n",
                total, median(all.ours));
    std::printf("  the same as one raw SQLite query of %d rows: %9.1f us\n", rawAllRows,
                median(all.raw));
    std::printf("look-back showing %d reminders of 30 days: median %9.1f us = %.1f us a reminder\n",
                shown, median(lookBacks), median(lookBacks) / std::max(shown, 1));
    // What the program adds to SQLite (target: at most 2.0 each).
    std::printf("ratio day-of-500-slots %.2f\n", median(days.ratios));
    std::printf("ratio tick-on-that-day %.2f\n", median(ticks.ratios));
    std::printf("ratio all-10000-records %.2f\n", median(all.ratios));
    return raw.touched == 0; // keeps the raw reads from being optimised away
}
