#pragma once

#include <QDate>
#include <QStringList>

// The recurrence names a reminder can carry, and the day it moves to after it
// fires. Comparisons are exact and case-sensitive.
namespace Recurrence {

inline const QString kOneTime = QStringLiteral("One-Time Reminder");
inline const QString kDaily = QStringLiteral("Daily Reminder");
inline const QString kWeekly = QStringLiteral("Weekly Reminder");
inline const QString kMonthly = QStringLiteral("Monthly Reminder");
inline const QString kAnnual = QStringLiteral("Annual Reminder");
inline const QString kBill = QStringLiteral("Bill Reminder");

// The six names in the order the note maker lists them.
QStringList names();

// True for a name after which the record is only consumed: "One-Time
// Reminder", the empty text, and any typed name that is none of the six
// (those are treated like a one-time reminder).
bool isOneTime(const QString &name);

// The next day of a reminder with this recurrence that fires on `firing`,
// counted from the firing date with date-serial carrying (31 January monthly
// → 3 March). Invalid for a one-time reminder, or past the last date.
QDate nextDay(const QString &name, const QDate &firing);

} // namespace Recurrence
