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
    Cancelled,    // a cancelled event or instance, or a to-do done or cancelled
    TooMuchWork,  // its repeat rules would take more work than one file may
};

// One reminder read from a calendar file, ready for the creation rules.
struct CalendarItem {
    QDate day;
    QTime time;         // invalid: due all day, as a bill reminder
    QString recurrence; // a recurrence name, or what our own property held
    QString sound;      // one of the program's sounds, or empty
    QString note;       // summary and description, cut to what a note holds
    QString uid;        // the item's UID, with ";RECURRENCE-ID=" and the instance for one instance
    bool repeatDropped = false; // its repeat rule has no match here: once only
    // What a calendar folder's merge needs besides:
    bool alarmed = false;   // it has a DISPLAY or AUDIO alarm: a reminder, not only an event
    bool ours = false;      // written by this program (it carries our recurrence property)
    QDateTime lastModified; // its LAST-MODIFIED, in UTC; invalid when it has none
    QDateTime acknowledged; // when its alarm was last answered, in UTC; invalid: never
};

// The events and to-dos of an iCalendar file (RFC 5545), read through libical
// under limits that no file can pass to make it hang or crash (line length,
// nesting, the work of walking repeat rules; see CalendarScreen and
// CalendarWork).
//
// An item's moment is the earliest trigger of its DISPLAY and AUDIO alarms
// (relative ones counted from the start, or from the end or due time), or,
// without such an alarm, its start (a to-do's due time when it has no start,
// or when its start has passed and its due time has not). Times with a time
// zone, or in UTC, are converted to local time; floating times are local
// already, and kept as written even in the hour that a change to daylight
// saving time skips. A repeating item gets its first occurrence whose moment
// is still ahead, leaving out its EXDATEs and the instances that other items
// of its UID move or cancel (RECURRENCE-ID); such an item is read on its own.
//
// An alarm answered (ACKNOWLEDGED on a DISPLAY or AUDIO alarm, or the item's
// X-MOZ-LASTACK) at or after an occurrence's moment has that occurrence done:
// the item's moment is its next one after the answer.
//
// A series becomes our recurrence when our own steps give the same
// occurrences: one RRULE of FREQ=DAILY, WEEKLY, MONTHLY or YEARLY, every time
// and without end, its BY parts no more than a restatement of its start, and
// nothing in its way ahead (an RDATE, an EXDATE, a moved instance, a time
// zone whose daylight saving differs from ours, a monthly day past the 28th or
// 29 February, which our steps carry into the next month). Any other series
// leaves its next occurrence as a one-time reminder. Our own recurrence
// property, where present, wins over the RRULE and is stepped by our rule.
class CalendarReader {
public:
    struct Result {
        bool isCalendar = false; // false: the text holds no VCALENDAR at all
        QString refusal;         // not empty: the file was not read, and this says why
        QList<CalendarItem> items;
        QList<CalendarSkip> skipped;
    };

    static Result read(const QByteArray &text, const QDateTime &now);
};
