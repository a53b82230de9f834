#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

class ProgramSettings;
class ReminderStore;
struct ReminderRecord;

// Putting off a reminder that came up: besides what OK does, one one-time
// reminder with the same note and sound, a chosen number of minutes later.
// It is an ordinary reminder from then on (listed, deleted, exported like any
// other).
namespace Snooze {

// "Tomorrow": the same time of day on the next day, whatever its length.
inline constexpr int kTomorrow = 1440;
inline constexpr int kDefaultMinutes = 10;

struct Choice {
    int minutes;
    QString text;
};
// 5, 10, 15 and 30 minutes, 1 and 2 hours, and tomorrow, in the order offered.
const QList<Choice> &choices();

// The choice last used, kept as "Snooze" in "Settings": the default when it is
// absent, unreadable or none of the choices.
int lastChoice(const ProgramSettings &settings);

// The minute the put-off reminder comes up: the start of the current minute
// plus `minutes`, counted in real time (a daylight-saving change does not
// shorten or lengthen the wait), or tomorrow's same minute.
QDateTime until(const QDateTime &now, int minutes);

// Appends the one-time reminder for `due` (its note as stored, scrambled, and
// its sound), in one transaction. False when the store refused it.
bool add(ReminderStore &store, const ReminderRecord &due, int minutes, const QDateTime &now);

} // namespace Snooze
