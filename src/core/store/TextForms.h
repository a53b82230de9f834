#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

// Every conversion between the texts kept in the store and dates, times and
// numbers. The forms are fixed whatever the desktop's locale, so that a store
// never loses its keys when the user changes regional settings:
//
//   day key  M/d/yyyy              12/4/2026
//   time     h:mm:ss AP            3:05:00 PM
//   moment   M/d/yyyy h:mm:ss AP   12/4/2026 3:05:00 PM  (the date alone at midnight)
//
// Nothing else in the program formats or parses a stored date or time.
// Dates run from 1 January 100 to 31 December 9999; outside that range a
// conversion has no result.
namespace TextForms {

QString dayKey(const QDate &date);
QString timeText(const QTime &time);
QString momentText(const QDateTime &moment);

// The parsers take the forms above and what a person would type for them:
// leading zeros, a two-digit year (30..99 → 1930s..1990s, 00..29 → 2000s),
// a time without seconds or on the 24-hour clock, am/pm in either case.
std::optional<QDate> parseDate(const QString &text);
std::optional<QTime> parseTime(const QString &text);
// A date with an optional time of day; the date alone means midnight.
std::optional<QDateTime> parseMoment(const QString &text);

// The date of whole-number parts with carrying: a month outside 1..12 carries
// into the year, and the day counts on from the first of that month, so
// (2026, 2, 31) is 3 March 2026 and (2026, 1, 0) is 31 December 2025.
// Invalid (QDate()) when the result lies outside the supported range.
QDate dateSerial(qint64 year, qint64 month, qint64 day);

// Boundaries crossed from one moment to another: both are cut down to their
// minute (hour, day) and subtracted, so seconds play no part. Wall-clock
// values, so a change of daylight-saving time does not count.
qint64 minutesBetween(const QDateTime &from, const QDateTime &to);
qint64 hoursBetween(const QDateTime &from, const QDateTime &to);
qint64 daysBetween(const QDate &from, const QDate &to);

// The longest leading decimal number of a text (blanks before it, a sign, a
// fraction and an exponent allowed); 0 when there is none: "7 days" → 7.
double leadingNumber(const QString &text);
// The shortest decimal text that reads back as the number, without an
// exponent: 7 → "7", 2.5 → "2.5" (so "007" and "2.50" are kept as 7 and 2.5).
QString numberText(double value);
// Rounds to the nearest whole number, a half to the even neighbour
// (2.5 → 2, 3.5 → 4); saturates at ±2^53, NaN gives 0.
qint64 roundHalfEven(double value);
// roundHalfEven(leadingNumber(text)): how a stored count is read.
qint64 wholeNumber(const QString &text);
// The ordinary test for numeric text: the whole text, with blanks around it,
// is a number with an optional sign, decimal point and exponent.
std::optional<double> numericValue(const QString &text);

// A text without its leading and trailing blanks (spaces; line breaks and
// tabs stay), as text taken from an entry box is stored.
QString trimBlanks(const QString &text);

} // namespace TextForms
