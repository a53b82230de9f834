// Reads and writes a Pingalo! store from the command line, as another program
// would, for the end-to-end tests:
//
//   pingalo_store_tool STORE append DAY TIME NOTE SOUND RECURRENCE
//   pingalo_store_tool STORE set SECTION NAME VALUE
//   pingalo_store_tool STORE live DAY          (prints "slot|time|note|sound|recurrence" lines)
#include "platform/SqliteSettingsStore.h"
#include "store/ReminderStore.h"
#include "store/ScrambleText.h"

#include <cstdio>

namespace {

QString arg(char **argv, int i)
{
    return QString::fromLocal8Bit(argv[i]);
}

int usage()
{
    std::fprintf(stderr, "usage: pingalo_store_tool STORE append|set|live ...\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3)
        return usage();
    SqliteSettingsStore settings(arg(argv, 1));
    ReminderStore store(settings);
    const QString command = arg(argv, 2);
    if (command == QLatin1String("append") && argc == 8) {
        const auto note = ScrambleText(arg(argv, 5), QStringLiteral("1"));
        if (!note)
            return 1;
        const auto slot =
            store.appendReminder(arg(argv, 3), {*note, arg(argv, 6), arg(argv, 7), arg(argv, 4)});
        if (!slot)
            return 1;
        std::printf("%lld\n", static_cast<long long>(*slot));
        return 0;
    }
    if (command == QLatin1String("set") && argc == 6)
        return settings.save(arg(argv, 3), arg(argv, 4), arg(argv, 5)) ? 0 : 1;
    if (command == QLatin1String("live") && argc == 4) {
        const QString day = arg(argv, 3);
        const auto live = store.liveReminders(day, store.numReminders(day).value_or(0));
        for (const LiveReminder &r : live.value_or(QList<LiveReminder>())) {
            const QString note =
                ScrambleText(r.record.reminder, QStringLiteral("0")).value_or(QString());
            std::printf("%lld|%s|%s|%s|%s\n", static_cast<long long>(r.slot),
                        qPrintable(r.record.time), qPrintable(note), qPrintable(r.record.sound),
                        qPrintable(r.record.recurrence));
        }
        return 0;
    }
    return usage();
}
