#pragma once

#include "core/store/ReminderRecord.h"
#include "core/store/SettingsStore.h"

#include <QDate>

// One live slot of one day, as the readers of the store see it.
struct LiveReminder {
    QString day; // the day key, exactly as the store names the day
    qint64 slot = 0;
    ReminderRecord record;
    bool operator==(const LiveReminder &) const = default;
};
Q_DECLARE_TYPEINFO(LiveReminder, Q_RELOCATABLE_TYPE);

// The reminders in the settings store, under the application's sections:
//
//   Reminders                 the day index: one value per day, named by the
//                             day key, holding the day's slot count
//   Reminders\<day>           "NumReminders" (highest slot issued) and
//                             "NumViewed" (slots consumed; absent means 0)
//   Reminders\<day>\<slot>    "Reminder", "Sound", "Recurrance", "Time", and
//                             "UID" when the reminder has one
//
// Slots count from 1 and are never reused; removing a record leaves a hole.
// Each write operation below is one transaction: it lands whole or not at
// all, so the day index always agrees with "NumReminders" and 0 ≤ "NumViewed"
// ≤ "NumReminders" holds even when the process is killed half-way.
//
// Nothing is kept between calls: every read sees the store as it is now,
// with what another program wrote a moment ago. Reads and writes report a
// store failure with nullopt or false.
class ReminderStore {
public:
    static inline const QString kIndexSection = QStringLiteral("Reminders");
    static inline const QString kNumReminders = QStringLiteral("NumReminders");
    static inline const QString kNumViewed = QStringLiteral("NumViewed");
    static inline const QString kReminder = QStringLiteral("Reminder");
    static inline const QString kSound = QStringLiteral("Sound");
    static inline const QString kRecurrance = QStringLiteral("Recurrance");
    static inline const QString kTime = QStringLiteral("Time");
    static inline const QString kUid = QStringLiteral("UID");

    explicit ReminderStore(SettingsStore &store)
        : m_store(store)
    {
    }

    SettingsStore &settingsStore() const { return m_store; }

    // Called after every change this store object makes to the reminders
    // (the program mirrors them into its calendar folder).
    void setChangeListener(std::function<void()> listener)
    {
        m_changeListener = std::move(listener);
    }

    static QString daySection(const QString &day);
    static QString recordSection(const QString &day, qint64 slot);

    // "NumReminders" and "NumViewed" of a day, read as whole numbers.
    std::optional<qint64> numReminders(const QString &day) const;
    std::optional<qint64> numViewed(const QString &day) const;

    // A record; a hole when "Reminder" is empty or the section is gone.
    std::optional<ReminderRecord> readRecord(const QString &day, qint64 slot) const;

    // The live slots of a day whose count is `count` (holes and consumed
    // slots left out), in slot order, read in one go. Only the slots that
    // exist are looked at, so a damaged count of two billion costs nothing.
    std::optional<QList<LiveReminder>> liveReminders(const QString &day, qint64 count) const;
    // Every live slot of the store, read in one go: day by day in the order
    // of the day index, each day's slots up to the count the index gives it,
    // in slot order.
    std::optional<QList<LiveReminder>> allLiveReminders() const;

    // The day index: (day key, slot count) in the order the days were added.
    std::optional<QList<StoreValue>> dayIndex() const;
    // The days that exist in the store, whether through the day index or a
    // day section, by their day keys (in no particular order).
    std::optional<QStringList> storedDays() const;

    // Appends a record to a day as the note maker does: the record's values,
    // then "NumReminders", then the day index. Gives the new slot.
    std::optional<qint64> appendReminder(const QString &day, const ReminderRecord &record);
    // Appends the copy of a recurring reminder to its next day: "NumReminders"
    // first, then the record's values, then the day index. Gives the new slot.
    std::optional<qint64> appendCopy(const QString &day, const ReminderRecord &record);
    // Consumes a fired slot: deletes its record, then saves "NumViewed" as
    // `viewedBefore` + 1 (the running check counts in memory).
    bool consumeSlot(const QString &day, qint64 slot, qint64 viewedBefore);
    // Deletes a slot as the list viewer does: "NumViewed" + 1, then the record.
    bool deleteFromList(const QString &day, const QString &slot);
    // Deletes, as deleteFromList does, a slot read earlier while it still holds
    // `listed` (its UID aside). One that came up, went, or holds another
    // reminder since (a day removed and begun again reuses its numbers) is
    // left alone, counted no more, and is Gone.
    enum class ListedDelete { Deleted, Gone, Failed };
    ListedDelete deleteListed(const QString &day, qint64 slot, const ReminderRecord &listed);
    // Gives each of `named` that still holds its reminder (read earlier,
    // without a UID) the UID it now carries, in one transaction.
    bool keepUids(const QList<LiveReminder> &named);
    // Deletes a record without counting it (the look-back of past days).
    bool deleteRecord(const QString &day, qint64 slot);
    // Removes a whole day: its section with all records, then its index value.
    bool removeDay(const QString &day);

private:
    std::optional<qint64> nextSlot(const QString &day) const;
    bool saveRecord(const QString &section, const ReminderRecord &record);
    std::optional<qint64> append(const QString &day, const ReminderRecord &record, bool countFirst);

    // Gives `written`, telling the change listener when it is true.
    bool changed(bool written) const;

    SettingsStore &m_store;
    std::function<void()> m_changeListener;
};
