#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>

// Why an event or to-do of a calendar file did not become a reminder.
enum class CalendarSkip {
    AlreadyThere, // the same reminder (day, time, note, recurrence) is in the list
    Past,         // its moment has passed, or is the current minute
    NoMoment,     // no start, due time or alarm gives it a moment
    UnknownZone,  // its time zone is neither in the file nor known here
    NoNote,       // no summary or description to make a note of
    NoteNotHeld,  // its text holds a character a note cannot keep
};

// One reminder read from a calendar file, ready for the creation rules.
struct CalendarItem {
    QDate day;
    QTime time;                 // invalid: due all day, as a bill reminder
    QString recurrence;         // a recurrence name, or what our own property held
    QString sound;              // one of the program's sounds, or empty
    QString note;               // summary and description, cut to what a note holds
    bool repeatDropped = false; // its repeat rule has no match here: once only
};

// The events and to-dos of an iCalendar file (RFC 5545), read through libical.
//
// An item's moment is the earliest trigger of its DISPLAY and AUDIO alarms
// (relative ones counted from the start, or from the end or due time), or,
// without such an alarm, its start (a to-do's due time when it has no start).
// Times with a time zone, or in UTC, are converted to local time; floating
// times are local already. A repeating item gets its first occurrence whose
// moment is still ahead. An RRULE of FREQ=DAILY, WEEKLY, MONTHLY or YEARLY
// with nothing more than INTERVAL=1 becomes our recurrence; any other rule
// leaves the next occurrence as a one-time reminder. Our own recurrence
// property, where present, wins over the RRULE and is stepped by our rule.
class CalendarReader {
public:
    struct Result {
        bool isCalendar = false; // false: the text holds no VCALENDAR at all
        QList<CalendarItem> items;
        QList<CalendarSkip> skipped;
    };

    static Result read(const QByteArray &text, const QDateTime &now);
};
