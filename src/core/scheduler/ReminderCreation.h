#pragma once

#include <QDate>
#include <QString>
#include <QTime>

class ReminderStore;

// How a reminder is created, apart from showing the answer: the checks in
// their order, the bill road, the minute arithmetic, the scrambling and the
// append. The note maker's create button and the command-line tool both come
// here, so that a reminder is refused for the same reasons wherever it is made.
class ReminderCreation {
public:
    struct Input {
        bool soundChecked = false;
        QString soundText; // the sound box: a sound's name, or "Sounds" for none
        // Only the program's own sounds: the note maker's box also takes a typed
        // name once its list was dropped down and left, and stores it as typed.
        bool knownSoundOnly = false;
        QString noteText;       // the note box, untrimmed
        QString recurrenceText; // the recurrence box, as shown or typed
        QDate pickedDate;
        QTime pickedTime; // only its hour and minute count
        QString uid;      // the calendar item it comes from, kept with it; or empty
    };

    enum class Outcome {
        Stored,
        NoSound,     // "Please select a sound.": a sound asked for but none chosen
        NoNote,      // "Please enter a reminder note."
        Past,        // "Cannot set reminder for past dates, or times."
        CurrentTime, // "Cannot set reminder for the current time."
        NoteNotHeld, // the note cannot be scrambled: a character Windows-1252 cannot
                     // hold, or more than 32,767 characters
        Failed,      // the store refused it
    };

    struct Result {
        Outcome outcome = Outcome::Failed;
        QString day;     // the day key used
        QString time;    // the time text used (empty for a bill reminder)
        qint64 slot = 0; // the slot the reminder took, once stored
        QString why;     // NoteNotHeld: what in the note cannot be kept (noteNotHeld)
    };

    // `billDate` is the note maker's pending bill day (a day key, or empty);
    // the bill road empties it before anything else can refuse.
    static Result create(const Input &input, QString &billDate, ReminderStore &store);

    // Why a note cannot be scrambled, naming the first character at fault and
    // the limit it breaks, as a sentence; empty when it can be.
    static QString noteNotHeld(const QString &note);

    // The status line and message of an outcome.
    static QString message(Outcome outcome);
    static QString status(const Result &result);
};
