#pragma once

#include "calendar/CalendarReader.h"

#include <QMap>

class ReminderStore;

// A calendar file's events and to-dos made into reminders through the
// program's creation rules (the note maker's), in one transaction: the store
// gets every reminder the file gives or, when it fails, none.
//
// An item that is already in the list (the same day, time, note and
// recurrence as a live reminder not yet matched) is not added again, so
// importing the same file twice adds nothing the second time.
class CalendarImport {
public:
    struct Report {
        bool isCalendar = false; // false: not an iCalendar file; nothing was read
        bool stored = false;     // false: the store failed; nothing was added
        int added = 0;
        int repeatDropped = 0; // of those added: once only, their rule has no match
        QMap<CalendarSkip, int> skipped;
    };

    static Report import(const QByteArray &text, ReminderStore &store);

    // Why items were skipped, in words that follow a count ("3 were …").
    static QString skipText(CalendarSkip why);
};
