#include "core/scheduler/ReminderCreation.h"

#include "core/scheduler/Recurrence.h"
#include "core/store/ReminderStore.h"
#include "core/store/ScrambleText.h"
#include "core/store/SoundNames.h"
#include "core/store/TextForms.h"
#include "core/system/Clock.h"
#include "core/system/Cp1252.h"

ReminderCreation::Result ReminderCreation::create(const Input &input, QString &billDate,
                                                  ReminderStore &store)
{
    Result result;
    const bool chosen = input.knownSoundOnly ? SoundNames::names().contains(input.soundText)
                                             : input.soundText != SoundNames::kNotChosen;
    if (input.soundChecked && !chosen) {
        result.outcome = Outcome::NoSound;
        return result;
    }
    if (input.noteText.isEmpty()) { // blanks are a note
        result.outcome = Outcome::NoNote;
        return result;
    }

    QDate day;
    QTime time;
    const bool billRoad = !input.recurrenceText.isEmpty() &&
                          input.recurrenceText != Recurrence::kOneTime && !billDate.isEmpty();
    if (billRoad) {
        day = TextForms::parseDate(billDate).value_or(QDate());
        billDate.clear();
    } else {
        day = input.pickedDate;
        time = QTime(input.pickedTime.hour(), input.pickedTime.minute());
    }
    result.day = TextForms::dayKey(day);
    result.time = time.isValid() ? TextForms::timeText(time) : QString();
    if (result.day.isEmpty())
        return result; // no date a reminder can be kept under

    const QDateTime moment(day, time.isValid() ? time : QTime(0, 0));
    const qint64 minutes = TextForms::minutesBetween(Clock::now(), moment);
    if (minutes < 0) {
        result.outcome = Outcome::Past;
        return result;
    }
    if (minutes == 0) {
        result.outcome = Outcome::CurrentTime;
        return result;
    }

    // Scrambled before the first write: a note that cannot be kept writes nothing.
    const auto scrambled = ScrambleText(TextForms::trimBlanks(input.noteText), QStringLiteral("1"));
    if (!scrambled) {
        result.outcome = Outcome::NoteNotHeld;
        result.why = noteNotHeld(TextForms::trimBlanks(input.noteText));
        return result;
    }
    const ReminderRecord record{*scrambled, TextForms::trimBlanks(input.soundText),
                                TextForms::trimBlanks(input.recurrenceText), result.time,
                                input.uid};
    const auto slot = store.appendReminder(result.day, record);
    if (!slot)
        return result;
    result.slot = *slot;
    result.outcome = Outcome::Stored;
    return result;
}

QString ReminderCreation::noteNotHeld(const QString &note)
{
    qsizetype at = 0;
    if (ScrambleText(note, QStringLiteral("1"), &at))
        return QString();
    if (at >= note.size())
        return QStringLiteral("The note has %L1 characters; a reminder note holds at most %L2.")
            .arg(note.size())
            .arg(kScrambleMaxLength);
    const QString character = note.mid(at, note.at(at).isHighSurrogate() ? 2 : 1);
    const QString quoted = QStringLiteral("\u201C") + character + QStringLiteral("\u201D");
    if (Cp1252::code(note.at(at)) < 0)
        return QStringLiteral("Its character %1, %2, is not one of Windows-1252, the only "
                              "characters a reminder note holds.")
            .arg(at + 1)
            .arg(quoted);
    return QStringLiteral("Its character %1, %2, cannot stand at that place: the note is "
                          "scrambled by adding a key's code to each character's Windows-1252 "
                          "code, and the sum must stay below 256, so %2 fits only at some places "
                          "in a note.")
        .arg(at + 1)
        .arg(quoted);
}

QString ReminderCreation::message(Outcome outcome)
{
    switch (outcome) {
    case Outcome::NoSound:
        return QStringLiteral("Please select a sound.");
    case Outcome::NoNote:
        return QStringLiteral("Please enter a reminder note.");
    case Outcome::Past:
        return QStringLiteral("Cannot set reminder for past dates, or times.");
    case Outcome::CurrentTime:
        return QStringLiteral("Cannot set reminder for the current time.");
    case Outcome::NoteNotHeld:
    case Outcome::Failed:
        return QStringLiteral(
            "Pingalo! has encountered an error and the reminder note could not be "
            "created. You may need to restart your system to clear the error.");
    case Outcome::Stored:
        break;
    }
    return QString();
}

QString ReminderCreation::status(const Result &result)
{
    switch (result.outcome) {
    case Outcome::Stored:
        return QStringLiteral("Reminder is set for: ") + result.day + QLatin1Char(' ') +
               result.time;
    case Outcome::NoSound:
    case Outcome::NoNote:
        return QStringLiteral("Incomplete Date Error");
    case Outcome::Past:
    case Outcome::CurrentTime:
        return QStringLiteral("Invalid Date Error");
    case Outcome::NoteNotHeld:
    case Outcome::Failed:
        break;
    }
    return QString();
}
