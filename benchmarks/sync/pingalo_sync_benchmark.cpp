// Prints how long the calendar folder's merge takes on a store of 10,000
// reminders over 365 days (SQLite, with full durability): the first merge
// into an empty folder (10,000 item files written), a merge of the unchanged
// folder (the median of ten: a look at each file, no read), and a first merge
// of a folder of 10,000 other programs' items into an empty store. Then the
// due check's tick with the folder and without it.
#include "BenchmarkStore.h"
#include "TestClock.h"
#include "core/scheduler/Scheduler.h"
#include "core/store/ProgramSettings.h"
#include "core/store/SqliteSettingsStore.h"
#include "sync/CalendarSync.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>

namespace {

double msOf(const std::function<void()> &work)
{
    QElapsedTimer t;
    t.start();
    work();
    return t.nsecsElapsed() / 1e6;
}

double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i)
        samples.push_back(msOf(work));
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// The scheduler's host, merging the folder before each tick as the program does.
class SyncingHost : public CountingHost {
public:
    CalendarSync *sync = nullptr;
    void syncStore() override
    {
        if (sync)
            sync->merge();
    }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QDate first(2027, 1, 1);
    TestClock clock(QDateTime(first.addDays(100), QTime(10, 0, 30)));
    SqliteSettingsStore settings(dir.filePath(QStringLiteral("store.db")));
    ReminderStore store(settings);
    ProgramSettings program(settings);
    std::printf("made %d reminders\n",
                fillStore(settings, store, first, TextForms::dayKey(first.addDays(100))));
    CalendarSync sync(store, program);
    QString error;
    if (!sync.setFolder(dir.filePath(QStringLiteral("calendar")), &error))
        qFatal("%s", qPrintable(error));

    int written = 0;
    const double firstMerge = msOf([&] { written = sync.merge().written; });
    std::printf("first merge into an empty folder, %d items written: %8.1f ms   (target < 2000)\n",
                written, firstMerge);
    const double unchanged = medianMs(10, [&] { sync.merge(); });
    std::printf("merge of the unchanged folder of %d items:           %8.1f ms   (target < 50)\n",
                written, unchanged);

    // Another machine's first look: the same 10,000 items, an empty store.
    SqliteSettingsStore otherSettings(dir.filePath(QStringLiteral("other.db")));
    ReminderStore otherStore(otherSettings);
    ProgramSettings otherProgram(otherSettings);
    otherProgram.setCalendarFolder(dir.filePath(QStringLiteral("calendar")));
    CalendarSync other(otherStore, otherProgram);
    int added = 0;
    const double intoEmpty = msOf([&] { added = other.merge().added; });
    std::printf("first merge of %d items into an empty store:         %8.1f ms   (target < 2000)\n",
                added, intoEmpty);

    SyncingHost host;
    Scheduler scheduler(store, program, host);
    const double plain = medianMs(10, [&] { scheduler.Timer1_Timer(); });
    host.sync = &sync;
    const double syncing = medianMs(10, [&] { scheduler.Timer1_Timer(); });
    std::printf("tick on a day of 500 reminders: %.2f ms without the folder, %.2f ms with it\n",
                plain, syncing);
    return 0;
}
