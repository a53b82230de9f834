#include "calendar/CalendarImport.h"

#include "core/scheduler/Recurrence.h"
#include "core/scheduler/ReminderCreation.h"
#include "core/store/ReminderStore.h"
#include "core/store/SoundNames.h"
#include "core/store/TextForms.h"
#include "core/system/Clock.h"

#include <QHash>
#include <QSet>

namespace {

QString withNewlines(QString note)
{
    return note.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// What makes two reminders the same one without a UID: line breaks count
// alike whichever way they were written.
QString sameness(const QString &day, const QString &time, const QString &note,
                 const QString &recurrence)
{
    return QStringList({day, time, withNewlines(note), recurrence}).join(QChar(0));
}

// Whether the reminder of an item's UID is the item still: the same note,
// time, recurrence and sound, on the item's day or, for a recurring one, a
// day from which its steps reach the other.
bool stillTheItem(const LiveReminder &r, const QString &note, const CalendarItem &item,
                  const QString &time)
{
    const QString sound = r.record.sound == SoundNames::kNotChosen ? QString() : r.record.sound;
    if (r.record.time != time || withNewlines(note) != withNewlines(item.note) ||
        r.record.recurrence != TextForms::trimBlanks(item.recurrence) || sound != item.sound)
        return false;
    const QDate stored = TextForms::parseDate(r.day).value_or(QDate());
    QDate from = std::min(stored, item.day);
    for (int i = 0; i < 1000 && from.isValid() && from < std::max(stored, item.day); ++i)
        from = Recurrence::nextDay(r.record.recurrence, from);
    return from == std::max(stored, item.day);
}

} // namespace

CalendarImport::Report CalendarImport::import(const QByteArray &text, ReminderStore &store)
{
    Report report;
    const CalendarReader::Result read = CalendarReader::read(text, Clock::now());
    report.isCalendar = read.isCalendar;
    report.refusal = read.refusal;
    if (!read.isCalendar || !read.refusal.isEmpty())
        return report;

    Report counts;
    report.stored = store.settingsStore().transaction([&] {
        const auto live = store.allLiveReminders();
        if (!live)
            return false;
        QSet<QString> itemUids;
        for (const CalendarItem &item : read.items)
            itemUids.insert(item.uid);
        QHash<QString, qsizetype> byUid;
        QHash<QString, QList<qsizetype>> byContent;
        for (qsizetype i = 0; i < live->size(); ++i) {
            const ReminderRecord &r = live->at(i).record;
            const auto note = r.note();
            if (!note)
                continue;
            if (!r.uid.isEmpty() && !byUid.contains(r.uid))
                byUid.insert(r.uid, i);
            if (r.uid.isEmpty() || !itemUids.contains(r.uid))
                byContent[sameness(live->at(i).day, r.time, *note, r.recurrence)].append(i);
        }
        QSet<qsizetype> matched;
        QList<LiveReminder> named; // matched by content, given the item's UID

        for (const CalendarItem &item : read.items) {
            const bool timed = item.time.isValid();
            const QString day = TextForms::dayKey(item.day);
            const QString time = timed ? TextForms::timeText(item.time) : QString();
            std::optional<LiveReminder> replaced;
            if (const auto at = byUid.constFind(item.uid);
                !item.uid.isEmpty() && at != byUid.cend() && !matched.contains(*at)) {
                matched.insert(*at);
                const LiveReminder &r = live->at(*at);
                if (stillTheItem(r, *r.record.note(), item, time)) {
                    ++counts.skipped[CalendarSkip::AlreadyThere];
                    continue;
                }
                replaced = r;
            } else {
                QList<qsizetype> &alike = byContent[sameness(
                    day, time, item.note, TextForms::trimBlanks(item.recurrence))];
                alike.removeIf([&](qsizetype i) { return matched.contains(i); });
                if (!alike.isEmpty()) {
                    matched.insert(alike.first());
                    LiveReminder r = live->at(alike.first());
                    if (r.record.uid.isEmpty() && !item.uid.isEmpty()) {
                        r.record.uid = item.uid;
                        named.append(r);
                    }
                    ++counts.skipped[CalendarSkip::AlreadyThere];
                    continue;
                }
            }
            ReminderCreation::Input input;
            input.soundChecked = !item.sound.isEmpty();
            input.soundText = input.soundChecked ? item.sound : SoundNames::kNotChosen;
            input.noteText = item.note;
            input.recurrenceText = item.recurrence;
            input.pickedDate = item.day;
            input.pickedTime = item.time;
            input.uid = item.uid;
            QString billDate = timed ? QString() : day; // no time: the bill road
            const ReminderCreation::Result made = ReminderCreation::create(input, billDate, store);
            using Outcome = ReminderCreation::Outcome;
            switch (made.outcome) {
            case Outcome::Stored:
                if (!replaced) {
                    ++counts.added;
                    counts.repeatDropped += item.repeatDropped;
                } else if (store.deleteListed(replaced->day, replaced->slot, replaced->record) ==
                           ReminderStore::ListedDelete::Failed) {
                    return false;
                } else {
                    ++counts.updated;
                }
                break;
            case Outcome::Past:
            case Outcome::CurrentTime:
                ++counts.skipped[CalendarSkip::Past];
                break;
            case Outcome::NoNote:
                ++counts.skipped[CalendarSkip::NoNote];
                break;
            case Outcome::NoteNotHeld:
                if (counts.noteNotHeld.isEmpty())
                    counts.noteNotHeld =
                        QStringLiteral("\u201C%1\u201D: %2").arg(item.note.left(40), made.why);
                ++counts.skipped[CalendarSkip::NoteNotHeld];
                break;
            case Outcome::NoSound: // the reader passes only the program's sounds
            case Outcome::Failed:
                return false;
            }
        }
        return store.keepUids(named);
    });
    if (!report.stored)
        return report;
    report.added = counts.added;
    report.updated = counts.updated;
    report.repeatDropped = counts.repeatDropped;
    report.skipped = counts.skipped;
    report.noteNotHeld = counts.noteNotHeld;
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
        return QStringLiteral("written with characters a reminder note cannot hold");
    case CalendarSkip::Cancelled:
        return QStringLiteral("cancelled, or to-dos already done");
    case CalendarSkip::TooMuchWork:
        return QStringLiteral("repeating by rules that would take too long to follow (more "
                              "often than daily with BY parts, or past the work one file may "
                              "take)");
    }
    return QString();
}
