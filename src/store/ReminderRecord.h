#pragma once

#include <QString>

// One stored reminder: the values of one slot of one day. `reminder` is the
// note as stored (scrambled); a record whose `reminder` is empty is a hole.
struct ReminderRecord {
    QString reminder;
    QString sound;
    QString recurrence;
    QString time;

    bool isHole() const { return reminder.isEmpty(); }
    bool operator==(const ReminderRecord &) const = default;
};
