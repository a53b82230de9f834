#pragma once

#include "core/store/ReminderStore.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

// Live reminders as an iCalendar file (RFC 5545), one VEVENT each:
//
//   DTSTART      the reminder's day and time as local wall-clock time (a
//                "floating" time, as the store keeps it); the day alone, an
//                all-day event, for a reminder without a time (a bill reminder)
//   SUMMARY      the note's first line; DESCRIPTION the whole note when it has
//                more lines
//   RRULE        FREQ=DAILY, WEEKLY, MONTHLY (also for bill reminders) or YEARLY
//   VALARM       ACTION:DISPLAY with TRIGGER:PT0S, at the reminder's moment
//   X-PINGALO-RECURRENCE, X-PINGALO-SOUND   what iCalendar cannot say
//   UID          the reminder's own, kept in the store; one that has none yet
//                is given one (`named`, for the caller to keep), made from
//                what it says, so that it is the same at each export
//                even when it cannot be kept
class CalendarWriter {
public:
    struct Result {
        QByteArray text;
        int written = 0;
        // Left out: their note cannot be unscrambled, or their day or time
        // cannot be read (hand-edited values).
        QList<LiveReminder> leftOut;
        // Given a UID now (in record.uid): keep it, and the next export and
        // an import find them by it (ReminderStore::keepUids).
        QList<LiveReminder> named;
    };

    // `stamp` is the moment of writing, the events' DTSTAMP.
    static Result write(const QList<LiveReminder> &reminders, const QDateTime &stamp);

    // One reminder with its UID as a calendar folder's item: as write() gives
    // it, with LAST-MODIFIED `stamp` too, and, when `acknowledged` is valid,
    // the alarm answered then (ACKNOWLEDGED, and X-MOZ-LASTACK, which some
    // calendar programs read instead). Empty when the reminder is damaged.
    static QByteArray item(const LiveReminder &reminder, const QDateTime &stamp,
                           const QDateTime &acknowledged);
    // Another program's item with its DISPLAY and AUDIO alarms answered at
    // `when` (and LAST-MODIFIED and DTSTAMP then), all else as it was. Empty
    // when the text is not one the reader takes.
    static QByteArray acknowledge(const QByteArray &item, const QDateTime &when);
};
