// Prints how long pingalo-ctl's calendar work takes on a store of 10,000
// reminders over 365 days, as medians in milliseconds: exporting them all
// (reading the store, unscrambling, writing the iCalendar text) and importing
// that file into an empty store (reading it, the creation rules for each
// event, one transaction with full durability).
#include "BenchmarkStore.h"
#include "TestClock.h"
#include "calendar/CalendarImport.h"
#include "calendar/CalendarWriter.h"
#include "core/store/SqliteSettingsStore.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>

namespace {

double medianMs(std::vector<qint64> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2] / 1e6;
}

} // namespace

int main()
{
    // A week before the first reminder, so that every one is still ahead.
    const QDate first(2027, 1, 1);
    TestClock clock(QDateTime(first.addDays(-7), QTime(12, 0)));
    QTemporaryDir dir;
    SqliteSettingsStore settings(dir.filePath(QStringLiteral("from.db")));
    ReminderStore store(settings);
    std::printf("made %d reminders\n",
                fillStore(settings, store, first, TextForms::dayKey(first.addDays(100))));

    std::vector<qint64> exports;
    CalendarWriter::Result file;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        file = CalendarWriter::write(store.allLiveReminders().value_or(QList<LiveReminder>()),
                                     clock.now());
        exports.push_back(t.nsecsElapsed());
    }

    std::vector<qint64> imports;
    CalendarImport::Report report;
    for (int run = 0; run < 3; ++run) {
        SqliteSettingsStore fresh(dir.filePath(QStringLiteral("to-%1.db").arg(run)));
        ReminderStore target(fresh);
        QElapsedTimer t;
        t.start();
        report = CalendarImport::import(file.text, target);
        imports.push_back(t.nsecsElapsed());
    }

    std::printf("export %d reminders (%lld KiB):  median %8.1f ms\n", file.written,
                static_cast<long long>(file.text.size() / 1024), medianMs(exports));
    std::printf("import them into an empty store:   median %8.1f ms   (%d added)\n",
                medianMs(imports), report.added);
    return 0;
}
