#pragma once

#include "core/store/ReminderStore.h"
#include "core/store/TextForms.h"

// What every writer keeps true of the reminders in a store. Gives the first
// violation found, or the empty text when the store is sound.
inline QString reminderStoreViolation(SettingsStore &settings)
{
    ReminderStore store(settings);
    const auto days = store.storedDays();
    if (!days)
        return QStringLiteral("the store cannot be read");
    for (const QString &day : *days) {
        const QString section = ReminderStore::daySection(day);
        const QString count =
            settings.get(section, ReminderStore::kNumReminders).value_or(QString());
        const QString indexed = settings.get(ReminderStore::kIndexSection, day).value_or(QString());
        if (count != indexed)
            return QStringLiteral("%1: NumReminders %2 but the day index says %3")
                .arg(day, count, indexed);
        const qint64 n = TextForms::wholeNumber(count);
        const qint64 viewed = *store.numViewed(day);
        if (viewed < 0 || viewed > n)
            return QStringLiteral("%1: NumViewed %2 of %3").arg(day).arg(viewed).arg(n);
        const auto children = settings.childSections(section);
        for (const QString &child : *children)
            if (child.toLongLong() > n)
                return QStringLiteral("%1: slot %2 beyond NumReminders %3").arg(day, child).arg(n);
    }
    return QString();
}
