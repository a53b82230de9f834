#include "core/scheduler/Snooze.h"

#include "core/scheduler/Recurrence.h"
#include "core/store/ProgramSettings.h"
#include "core/store/ReminderStore.h"
#include "core/store/TextForms.h"

#include <algorithm>

namespace Snooze {

const QList<Choice> &choices()
{
    static const QList<Choice> list = {
        {5, QStringLiteral("5 minutes")},        {10, QStringLiteral("10 minutes")},
        {15, QStringLiteral("15 minutes")},      {30, QStringLiteral("30 minutes")},
        {60, QStringLiteral("1 hour")},          {120, QStringLiteral("2 hours")},
        {kTomorrow, QStringLiteral("Tomorrow")},
    };
    return list;
}

int lastChoice(const ProgramSettings &settings)
{
    bool number = false;
    const int minutes = settings.snooze().value_or(QString()).toInt(&number);
    const bool offered = std::any_of(choices().cbegin(), choices().cend(),
                                     [minutes](const Choice &c) { return c.minutes == minutes; });
    return number && offered ? minutes : kDefaultMinutes;
}

QDateTime until(const QDateTime &now, int minutes)
{
    if (minutes == kTomorrow)
        return QDateTime(now.date().addDays(1), QTime(now.time().hour(), now.time().minute()));
    const QDateTime minuteStart = now.addMSecs(-(now.time().second() * 1000 + now.time().msec()));
    return minuteStart.addSecs(60LL * minutes);
}

bool add(ReminderStore &store, const ReminderRecord &due, int minutes, const QDateTime &now)
{
    const QDateTime at = until(now, minutes);
    const QString day = TextForms::dayKey(at.date());
    if (day.isEmpty())
        return false; // past the last date a day key can name
    const QTime time(at.time().hour(), at.time().minute());
    return store
        .appendReminder(day,
                        {due.reminder, due.sound, Recurrence::kOneTime, TextForms::timeText(time)})
        .has_value();
}

} // namespace Snooze
