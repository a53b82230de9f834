#include "core/scheduler/RescheduleReminder.h"

#include "core/scheduler/Recurrence.h"
#include "core/store/ReminderStore.h"
#include "core/store/TextForms.h"

std::optional<CopiedSlot> RescheduleReminder(ReminderStore &store, const QString &firedDay,
                                             qint64 firedSlot, const QString &storedNote,
                                             const QString &time, const QString &recurrence,
                                             const QDate &firing)
{
    if (Recurrence::isOneTime(recurrence))
        return std::nullopt;
    const QString nextDay = TextForms::dayKey(Recurrence::nextDay(recurrence, firing));
    if (nextDay.isEmpty())
        return std::nullopt;

    std::optional<qint64> slot;
    store.settingsStore().transaction([&] {
        const auto fired = store.readRecord(firedDay, firedSlot);
        if (!fired)
            return false;
        ReminderRecord copy;
        copy.reminder = storedNote;
        copy.sound = fired->sound;
        // A slot deleted meanwhile reads as a hole: keep the name the caller read.
        copy.recurrence = fired->isHole() ? recurrence : fired->recurrence;
        copy.time = time;
        copy.uid = fired->uid; // the same reminder, a step on
        slot = store.appendCopy(nextDay, copy);
        return slot.has_value();
    });
    if (!slot)
        return std::nullopt;
    return CopiedSlot{nextDay, *slot};
}
