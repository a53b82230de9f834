#pragma once

#include "calendar/CalendarReader.h"

#include <QMap>

class ReminderStore;

// A calendar file's events and to-dos made into reminders through the
// program's creation rules (the note maker's), in one transaction: the store
// gets every reminder the file gives or, when it fails, none. Each keeps the
// UID of its item.
//
// An item is looked for in the list by its UID first: found with the same
// note, time, recurrence and sound (on the same day, or a day its recurrence
// steps to, as a recurring reminder moves on), it is already there; found
// otherwise, the reminder is updated to the item. Without its UID in the
// list, an item is already there when a live reminder not yet matched has the
// same day, time, note and recurrence. So importing the same file twice adds
// nothing the second time, nor does an export read back after its recurring
// reminders came up and moved on.
class CalendarImport {
public:
    struct Report {
        bool isCalendar = false; // false: not an iCalendar file; nothing was read
        QString refusal;         // not empty: the file was refused, and this says why
        bool stored = false;     // false: the store failed; nothing was added
        int added = 0;
        int updated = 0;
        int repeatDropped = 0; // of those added: once only, their rule has no match
        QMap<CalendarSkip, int> skipped;
        QString noteNotHeld; // the first note that could not be kept, and why
    };

    static Report import(const QByteArray &text, ReminderStore &store);

    // Why items were skipped, in words that follow a count ("3 were …").
    static QString skipText(CalendarSkip why);
};
