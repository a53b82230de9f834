#pragma once

#include "core/store/ScrambleText.h"

#include <QString>

// One stored reminder: the values of one slot of one day. `reminder` is the
// note as stored (scrambled); a record whose `reminder` is empty is a hole.
// `uid` names the calendar item it came from or went out as (empty: none
// yet); it is stored only when there is one.
struct ReminderRecord {
    QString reminder;
    QString sound;
    QString recurrence;
    QString time;
    QString uid = {};

    // The text shown for a note that cannot be unscrambled (a hand-edited
    // store): the reminder itself still comes up and can be listed and deleted.
    static inline const QString kUnreadableNote =
        QStringLiteral("(This reminder's note is damaged in the store and cannot be shown.)");

    bool isHole() const { return reminder.isEmpty(); }
    // The note unscrambled; none when it cannot be.
    std::optional<QString> note() const { return ScrambleText(reminder, QStringLiteral("0")); }
    QString shownNote() const { return note().value_or(kUnreadableNote); }
    bool operator==(const ReminderRecord &) const = default;
};
