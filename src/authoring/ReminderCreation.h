#pragma once

#include <QDate>
#include <QString>
#include <QTime>

class ReminderStore;

// What the note maker's create button does with its controls, apart from
// showing the answer: the checks in their order, the bill road, the minute
// arithmetic, the scrambling and the append.
class ReminderCreation {
public:
    struct Input {
        bool soundChecked = false;
        QString soundText;      // the sound box
        QString noteText;       // the note box, untrimmed
        QString recurrenceText; // the recurrence box, as shown or typed
        QDate pickedDate;
        QTime pickedTime; // only its hour and minute count
    };

    enum class Outcome {
        Stored,
        NoSound,     // "Please select a sound."
        NoNote,      // "Please enter a reminder note."
        Past,        // "Cannot set reminder for past dates, or times."
        CurrentTime, // "Cannot set reminder for the current time."
        Failed,      // the note cannot be scrambled, or the store refused it
    };

    struct Result {
        Outcome outcome = Outcome::Failed;
        QString day;  // the day key used
        QString time; // the time text used (empty for a bill reminder)
    };

    // `billDate` is the note maker's pending bill day (a day key, or empty);
    // the bill road empties it before anything else can refuse.
    static Result create(const Input &input, QString &billDate, ReminderStore &store);

    // The status line and message of an outcome.
    static QString message(Outcome outcome);
    static QString status(const Result &result);
};
