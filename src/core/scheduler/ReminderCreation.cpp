#include "core/scheduler/ReminderCreation.h"

#include "core/scheduler/Recurrence.h"
#include "core/store/ReminderStore.h"
#include "core/store/ScrambleText.h"
#include "core/store/SoundNames.h"
#include "core/store/TextForms.h"
#include "core/system/Clock.h"

namespace {
} // namespace

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
        return result;
    }
    const ReminderRecord record{*scrambled, TextForms::trimBlanks(input.soundText),
                                TextForms::trimBlanks(input.recurrenceText), result.time};
    const auto slot = store.appendReminder(result.day, record);
    if (!slot)
        return result;
    result.slot = *slot;
    result.outcome = Outcome::Stored;
    return result;
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
