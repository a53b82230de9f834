#include "calendar/CalendarReader.h"

#include "calendar/CalendarProperties.h"
#include "core/scheduler/Recurrence.h"
#include "core/store/ScrambleText.h"
#include "core/store/SoundNames.h"
#include "core/store/TextForms.h"

#include <algorithm>
#include <libical/ical.h>
#include <optional>

namespace {

// How many occurrences of a rule are walked to find the next one ahead.
constexpr int kMostSteps = 100'000;

// A date or date-time of the file: as written (for the recurrence rules,
// which count in the item's own time zone), the zone it is in, and the
// moment in local time.
struct FileTime {
    icaltimetype raw = icaltime_null_time();
    const icaltimezone *zone = nullptr; // null: floating, the local wall clock
    QDateTime local;                    // invalid: no usable moment
    bool allDay = false;
    bool unknownZone = false;
};

bool ahead(const QDateTime &moment, const QDateTime &now)
{
    return moment.isValid() && TextForms::minutesBetween(now, moment) > 0;
}

QDateTime localOf(icaltimetype t, const icaltimezone *zone)
{
    if (icaltime_is_null_time(t))
        return {};
    const QDate date(t.year, t.month, t.day);
    if (!date.isValid() || TextForms::dayKey(date).isEmpty())
        return {};
    if (t.is_date)
        return QDateTime(date, QTime(0, 0));
    const QTime time(t.hour, t.minute, std::min(t.second, 59));
    if (!time.isValid())
        return {};
    if (!zone)
        return QDateTime(date, time);
    t.is_date = 0;
    return QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(t, zone));
}

icaltimetype rawTimeOf(icalproperty *property)
{
    switch (icalproperty_isa(property)) {
    case ICAL_DTSTART_PROPERTY:
        return icalproperty_get_dtstart(property);
    case ICAL_DTEND_PROPERTY:
        return icalproperty_get_dtend(property);
    case ICAL_DUE_PROPERTY:
        return icalproperty_get_due(property);
    case ICAL_EXDATE_PROPERTY:
        return icalproperty_get_exdate(property);
    case ICAL_RDATE_PROPERTY: {
        const icaldatetimeperiodtype value = icalproperty_get_rdate(property);
        return icaltime_is_null_time(value.time) ? value.period.start : value.time;
    }
    case ICAL_TRIGGER_PROPERTY:
        return icalproperty_get_trigger(property).time;
    default:
        return icaltime_null_time();
    }
}

FileTime fileTimeOf(icalcomponent *component, icalproperty *property)
{
    FileTime result;
    result.raw = rawTimeOf(property);
    if (icaltime_is_utc(result.raw)) {
        result.zone = icaltimezone_get_utc_timezone();
    } else if (icalparameter *tzid =
                   icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER)) {
        const char *name = icalparameter_get_tzid(tzid);
        // A VTIMEZONE of the file first, then the system's zones by name.
        for (icalcomponent *c = component; name && c && !result.zone;
             c = icalcomponent_get_parent(c))
            result.zone = icalcomponent_get_timezone(c, name);
        if (name && !result.zone)
            result.zone = icaltimezone_get_builtin_timezone(name);
        if (name && !result.zone)
            result.zone = icaltimezone_get_builtin_timezone_from_tzid(name);
        if (!result.zone) {
            result.unknownZone = true;
            return result;
        }
    }
    result.allDay = result.raw.is_date;
    result.local = localOf(result.raw, result.zone);
    return result;
}

QList<icalproperty *> propertiesOf(icalcomponent *component, icalproperty_kind kind)
{
    QList<icalproperty *> found;
    for (icalproperty *p = icalcomponent_get_first_property(component, kind); p;
         p = icalcomponent_get_next_property(component, kind))
        found.append(p);
    return found;
}

QString ownProperty(icalcomponent *component, const char *name)
{
    for (icalproperty *p : propertiesOf(component, ICAL_X_PROPERTY))
        if (qstricmp(icalproperty_get_x_name(p), name) == 0)
            return TextForms::trimBlanks(QString::fromUtf8(icalproperty_get_x(p)));
    return QString();
}

// Our recurrence for an RRULE that says no more than one of ours does.
QString recurrenceOf(icalproperty *rule)
{
    const QByteArray text = QByteArray(icalproperty_get_value_as_string(rule)).toUpper();
    QString name;
    for (const QByteArray &part : text.split(';')) {
        if (part == "FREQ=DAILY")
            name = Recurrence::kDaily;
        else if (part == "FREQ=WEEKLY")
            name = Recurrence::kWeekly;
        else if (part == "FREQ=MONTHLY")
            name = Recurrence::kMonthly;
        else if (part == "FREQ=YEARLY")
            name = Recurrence::kAnnual;
        else if (part != "INTERVAL=1")
            return QString();
    }
    return name;
}

// The earliest moment of the item's DISPLAY and AUDIO alarms, as seconds
// after its start; nullopt when it has no such alarm.
std::optional<qint64> alarmOffset(icalcomponent *item, const FileTime &start, const QDateTime &end,
                                  bool *unknownZone)
{
    std::optional<qint64> earliest;
    for (icalcomponent *alarm = icalcomponent_get_first_component(item, ICAL_VALARM_COMPONENT);
         alarm; alarm = icalcomponent_get_next_component(item, ICAL_VALARM_COMPONENT)) {
        icalproperty *action = icalcomponent_get_first_property(alarm, ICAL_ACTION_PROPERTY);
        icalproperty *trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (!action || !trigger ||
            (icalproperty_get_action(action) != ICAL_ACTION_DISPLAY &&
             icalproperty_get_action(action) != ICAL_ACTION_AUDIO))
            continue;
        const icaltriggertype value = icalproperty_get_trigger(trigger);
        qint64 offset = 0;
        if (!icaltime_is_null_time(value.time)) {
            const FileTime at = fileTimeOf(alarm, trigger);
            *unknownZone |= at.unknownZone;
            if (!at.local.isValid())
                continue;
            offset = start.local.secsTo(at.local);
        } else {
            offset = icaldurationtype_as_int(value.duration);
            icalparameter *related =
                icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
            if (related && icalparameter_get_related(related) == ICAL_RELATED_END)
                offset += start.local.secsTo(end);
        }
        earliest = std::min(earliest.value_or(offset), offset);
    }
    return earliest;
}

// The first start of a repeating item whose alarm (`offset` seconds after
// it) is still ahead: among its start, its RRULEs' and RDATEs' occurrences,
// less its EXDATEs. The start itself when none is ahead.
QDateTime nextStart(icalcomponent *item, const FileTime &start, qint64 offset, const QDateTime &now)
{
    QList<QDateTime> excluded;
    for (icalproperty *p : propertiesOf(item, ICAL_EXDATE_PROPERTY))
        excluded.append(fileTimeOf(item, p).local);
    const auto takes = [&](const QDateTime &t) {
        return !excluded.contains(t) && ahead(t.addSecs(offset), now);
    };
    QDateTime best;
    const auto consider = [&](const QDateTime &t) {
        if (t.isValid() && takes(t) && (!best.isValid() || t < best))
            best = t;
    };
    consider(start.local);
    for (icalproperty *p : propertiesOf(item, ICAL_RDATE_PROPERTY))
        consider(fileTimeOf(item, p).local);
    for (icalproperty *p : propertiesOf(item, ICAL_RRULE_PROPERTY)) {
        const icalrecurrencetype rule = icalproperty_get_rrule(p);
        icalrecur_iterator *walk = icalrecur_iterator_new(rule, start.raw);
        if (!walk)
            continue;
        if (rule.count == 0) {
            // Straight to a little before now, in the item's own wall clock.
            const QDateTime from = now.addSecs(-offset).addDays(-2);
            icaltimetype jump = start.raw;
            jump.year = from.date().year();
            jump.month = from.date().month();
            jump.day = from.date().day();
            if (icaltime_compare(jump, start.raw) > 0)
                icalrecur_iterator_set_start(walk, jump);
        }
        for (int i = 0; i < kMostSteps; ++i) {
            const icaltimetype next = icalrecur_iterator_next(walk);
            const QDateTime t = localOf(next, start.zone);
            if (!t.isValid())
                break;
            if (takes(t)) {
                consider(t);
                break;
            }
        }
        icalrecur_iterator_free(walk);
    }
    return best.isValid() ? best : start.local;
}

// A moment moved on by our own recurrence until it is ahead, as the program
// would have moved it each time it fired.
QDateTime stepAhead(const QString &recurrence, QDateTime moment, const QDateTime &now)
{
    if (Recurrence::isOneTime(recurrence))
        return moment;
    const qint64 behind = TextForms::daysBetween(moment.date(), now.date());
    if (recurrence == Recurrence::kDaily && behind > 1)
        moment = moment.addDays(behind - 1);
    if (recurrence == Recurrence::kWeekly && behind > 14)
        moment = moment.addDays((behind / 7 - 1) * 7);
    for (int i = 0; i < kMostSteps && !ahead(moment, now); ++i) {
        const QDate next = Recurrence::nextDay(recurrence, moment.date());
        if (!next.isValid())
            break;
        moment.setDate(next);
    }
    return moment;
}

// The note: the summary, then the description on the lines below it, unless
// the description begins with the summary and so holds the whole note.
QString noteOf(icalcomponent *item)
{
    const QString summary = QString::fromUtf8(icalcomponent_get_summary(item));
    const QString description = QString::fromUtf8(icalcomponent_get_description(item));
    QString note = description.startsWith(summary) ? description
                   : description.isEmpty()         ? summary
                                                   : summary + QLatin1Char('\n') + description;
    note = TextForms::trimBlanks(note);
    if (note.size() > kScrambleMaxLength)
        note = TextForms::trimBlanks(note.left(kScrambleMaxLength));
    return note;
}

void readItem(icalcomponent *item, const QDateTime &now, CalendarReader::Result &result)
{
    const bool todo = icalcomponent_isa(item) == ICAL_VTODO_COMPONENT;
    icalproperty *startProperty = icalcomponent_get_first_property(item, ICAL_DTSTART_PROPERTY);
    icalproperty *endProperty =
        icalcomponent_get_first_property(item, todo ? ICAL_DUE_PROPERTY : ICAL_DTEND_PROPERTY);
    icalproperty *anchor = startProperty ? startProperty : (todo ? endProperty : nullptr);
    if (!anchor) {
        result.skipped.append(CalendarSkip::NoMoment);
        return;
    }
    const FileTime start = fileTimeOf(item, anchor);
    QDateTime end = start.local;
    bool unknownZone = start.unknownZone;
    if (endProperty) {
        const FileTime e = fileTimeOf(item, endProperty);
        unknownZone |= e.unknownZone;
        end = e.local.isValid() ? e.local : end;
    } else if (icalproperty *d = icalcomponent_get_first_property(item, ICAL_DURATION_PROPERTY)) {
        end = end.addSecs(icaldurationtype_as_int(icalproperty_get_duration(d)));
    } else if (start.allDay && !todo) {
        end = end.addDays(1); // an all-day event lasts its day
    }
    const std::optional<qint64> alarm = alarmOffset(item, start, end, &unknownZone);
    if (unknownZone) {
        result.skipped.append(CalendarSkip::UnknownZone);
        return;
    }
    if (!start.local.isValid()) {
        result.skipped.append(CalendarSkip::NoMoment);
        return;
    }
    const qint64 offset = alarm.value_or(0);

    CalendarItem reminder;
    const QString ours = ownProperty(item, CalendarProperties::kRecurrence);
    const QList<icalproperty *> rules = propertiesOf(item, ICAL_RRULE_PROPERTY);
    const bool moreDates = icalcomponent_get_first_property(item, ICAL_RDATE_PROPERTY) ||
                           icalcomponent_get_first_property(item, ICAL_EXDATE_PROPERTY);
    QDateTime moment;
    if (!ours.isEmpty()) {
        reminder.recurrence = ours;
        moment = stepAhead(ours, start.local.addSecs(offset), now);
    } else {
        moment = nextStart(item, start, offset, now).addSecs(offset);
        if (rules.size() == 1 && !moreDates)
            reminder.recurrence = recurrenceOf(rules.first());
        if (reminder.recurrence.isEmpty()) {
            reminder.recurrence = Recurrence::kOneTime;
            reminder.repeatDropped = !rules.isEmpty() || moreDates;
        }
    }
    if (!moment.isValid() || TextForms::dayKey(moment.date()).isEmpty()) {
        result.skipped.append(CalendarSkip::NoMoment);
        return;
    }
    reminder.day = moment.date();
    // A day without a time comes back as the note maker's bill road makes it:
    // only for an all-day item that carries a recurring rule of ours.
    const bool dueAllDay =
        start.allDay && offset == 0 && !ours.isEmpty() && ours != Recurrence::kOneTime;
    if (!dueAllDay)
        reminder.time = QTime(moment.time().hour(), moment.time().minute());
    const QString sound = ownProperty(item, CalendarProperties::kSound);
    if (SoundNames::names().contains(sound))
        reminder.sound = sound;
    reminder.note = noteOf(item);
    result.items.append(reminder);
}

void readCalendar(icalcomponent *calendar, const QDateTime &now, CalendarReader::Result &result)
{
    for (icalcomponent *c = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
        const icalcomponent_kind kind = icalcomponent_isa(c);
        if (kind == ICAL_VEVENT_COMPONENT || kind == ICAL_VTODO_COMPONENT)
            readItem(c, now, result);
    }
}

} // namespace

CalendarReader::Result CalendarReader::read(const QByteArray &text, const QDateTime &now)
{
    icalerror_set_errors_are_fatal(0);
    Result result;
    icalcomponent *root = icalparser_parse_string(text.constData());
    if (!root)
        return result;
    // Several calendars in one file come under one root of their own.
    if (icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT) {
        result.isCalendar = true;
        readCalendar(root, now, result);
    } else if (icalcomponent_isa(root) == ICAL_XROOT_COMPONENT) {
        for (icalcomponent *c = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT);
             c; c = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT)) {
            result.isCalendar = true;
            readCalendar(c, now, result);
        }
    }
    icalcomponent_free(root);
    return result;
}
