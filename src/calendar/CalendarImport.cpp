#include "calendar/CalendarImport.h"

#include "core/scheduler/ReminderCreation.h"
#include "core/store/ReminderStore.h"
#include "core/store/SoundNames.h"
#include "core/store/TextForms.h"
#include "core/system/Clock.h"

#include <QHash>

namespace {

// What makes two reminders the same one: line breaks count alike whichever
// way they were written.
QString sameness(const QString &day, const QString &time, QString note, const QString &recurrence)
{
    note.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return QStringList({day, time, note, recurrence}).join(QChar(0));
}

} // namespace

CalendarImport::Report CalendarImport::import(const QByteArray &text, ReminderStore &store)
{
    Report report;
    const CalendarReader::Result read = CalendarReader::read(text, Clock::now());
    report.isCalendar = read.isCalendar;
    if (!read.isCalendar)
        return report;

    int added = 0;
    int repeatDropped = 0;
    QMap<CalendarSkip, int> skipped;
    report.stored = store.settingsStore().transaction([&] {
        const auto live = store.allLiveReminders();
        if (!live)
            return false;
        QHash<QString, int> present;
        for (const LiveReminder &r : *live)
            if (const auto note = r.record.note())
                ++present[sameness(r.day, r.record.time, *note, r.record.recurrence)];

        for (const CalendarItem &item : read.items) {
            const bool timed = item.time.isValid();
            const QString day = TextForms::dayKey(item.day);
            const QString key = sameness(day, timed ? TextForms::timeText(item.time) : QString(),
                                         item.note, TextForms::trimBlanks(item.recurrence));
            if (int &left = present[key]; left > 0) {
                --left;
                ++skipped[CalendarSkip::AlreadyThere];
                continue;
            }
            ReminderCreation::Input input;
            input.soundChecked = !item.sound.isEmpty();
            input.soundText = input.soundChecked ? item.sound : SoundNames::kNotChosen;
            input.noteText = item.note;
            input.recurrenceText = item.recurrence;
            input.pickedDate = item.day;
            input.pickedTime = item.time;
            QString billDate = timed ? QString() : day; // no time: the bill road
            using Outcome = ReminderCreation::Outcome;
            switch (ReminderCreation::create(input, billDate, store).outcome) {
            case Outcome::Stored:
                ++added;
                repeatDropped += item.repeatDropped;
                break;
            case Outcome::Past:
            case Outcome::CurrentTime:
                ++skipped[CalendarSkip::Past];
                break;
            case Outcome::NoNote:
                ++skipped[CalendarSkip::NoNote];
                break;
            case Outcome::NoteNotHeld:
                ++skipped[CalendarSkip::NoteNotHeld];
                break;
            case Outcome::NoSound: // the reader passes only the program's sounds
            case Outcome::Failed:
                return false;
            }
        }
        return true;
    });
    if (!report.stored)
        return report;
    report.added = added;
    report.repeatDropped = repeatDropped;
    report.skipped = skipped;
    for (CalendarSkip why : read.skipped)
        ++report.skipped[why];
    return report;
}

QString CalendarImport::skipText(CalendarSkip why)
{
    switch (why) {
    case CalendarSkip::AlreadyThere:
        return QStringLiteral("already in the reminder list");
    case CalendarSkip::Past:
        return QStringLiteral("past (or due this very minute)");
    case CalendarSkip::NoMoment:
        return QStringLiteral("without a start, due time or alarm");
    case CalendarSkip::UnknownZone:
        return QStringLiteral("in a time zone that neither the file nor this system knows");
    case CalendarSkip::NoNote:
        return QStringLiteral("without a summary or description to make a note of");
    case CalendarSkip::NoteNotHeld:
        return QStringLiteral("written with characters a reminder note cannot hold "
                              "(it holds only those of Windows-1252)");
    }
    return QString();
}
