#pragma once

#include <QByteArray>
#include <QString>
#include <libical/ical.h>

// What a calendar file must pass before libical reads it, so that no file
// can make the reader hang or crash: libical's parser takes time that grows
// with the square of a line's length and frees nested parts recursively, and
// it expands a time zone's rules minute by minute if a file says so.
namespace CalendarScreen {

// The longest logical line (after unfolding) read: more than any calendar
// program writes for a property the reader uses. Longer attachments and
// other programs' own properties are left out instead, unread.
inline constexpr qsizetype kMostLineBytes = 256 * 1024;
// The deepest nesting of parts read: a calendar needs 3 (an alarm in an event
// in the calendar).
inline constexpr int kMostDepth = 8;
// The most time zones a file may describe: libical takes time that grows with
// the square of their number to let go of them.
inline constexpr int kMostZones = 1000;

struct Screened {
    QByteArray text; // what libical gets
    QString refusal; // not empty: the file is not read, and this says why
};

Screened screen(const QByteArray &file);

// Cuts from the time zones of a parsed file every rule that no real zone
// has (real zones change once or twice a year, by yearly rules), before
// libical expands a zone, and starts old yearly rules in 1970 at the earliest.
void tameZones(icalcomponent *root);

} // namespace CalendarScreen
