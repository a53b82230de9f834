#pragma once

#include <QDate>
#include <QString>
#include <optional>

class ReminderStore;

// Copies a fired recurring reminder to its next day, counted from `firing`
// (the date it fires on, which for the look-back is today, not its own day).
// The copy keeps the stored (scrambled) note `storedNote` and the time `time`
// exactly; its "Sound" and "Recurrance" are read again from the fired slot.
// Does nothing for a one-time reminder.
//
// Gives the day key and slot of the copy; nullopt when nothing was copied
// (one-time, no next date, or the store failed).
struct CopiedSlot {
    QString day;
    qint64 slot = 0;
};
std::optional<CopiedSlot> RescheduleReminder(ReminderStore &store, const QString &firedDay,
                                             qint64 firedSlot, const QString &storedNote,
                                             const QString &time, const QString &recurrence,
                                             const QDate &firing);
