// Appends reminders to the store named on the command line, one after the
// other, and prints "<day> <slot>" after each append has returned, until it
// is killed.
#include "core/store/ReminderStore.h"
#include "core/store/SqliteSettingsStore.h"
#include "core/store/TextForms.h"

#include <QDate>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2; // usage: store_crash_writer STORE
    SqliteSettingsStore settings(QString::fromLocal8Bit(argv[1]));
    ReminderStore store(settings);
    for (qint64 i = 0;; ++i) {
        const QString day = TextForms::dayKey(QDate(2026, 12, 1).addDays(i % 5));
        const ReminderRecord record{QStringLiteral("note %1").arg(i), QStringLiteral("BEEP"),
                                    QStringLiteral("Daily Reminder"), QStringLiteral("9:00:00 AM")};
        const auto slot = store.appendReminder(day, record);
        if (!slot)
            return 1;
        std::printf("%s %lld\n", qPrintable(day), static_cast<long long>(*slot));
        std::fflush(stdout);
    }
}
