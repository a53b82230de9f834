#include "calendar/CalendarReader.h"

#include "calendar/CalendarProperties.h"
#include "calendar/CalendarScreen.h"
#include "calendar/CalendarSeries.h"
#include "core/scheduler/Recurrence.h"
#include "core/store/ScrambleText.h"
#include "core/store/SoundNames.h"
#include "core/store/TextForms.h"

#include <QHash>
#include <QScopeGuard>
#include <QSet>
#include <algorithm>
#include <optional>

namespace {

// Times with a time zone are converted up to this year: libical works out a
// zone's changes up to the year it is asked about.
constexpr int kLatestZonedYear = 2582;
// The first year a reminder's day can have (the store's day keys run from
// the year 100).
constexpr int kEarliestYear = 100;
// Occurrences after the next one that our steps must give alike.
constexpr int kStepsCompared = 4;

// Local wall-clock times are carried as UTC values: a daylight-saving change
// moves none of them, and 2:30 stays 2:30 on the night that skips it.
QDateTime wall(const QDate &date, const QTime &time)
{
    return QDateTime(date, time, Qt::UTC);
}

// A date or date-time of the file: as written (for the repeat rules, which
// count in the item's own time zone) and the zone it is in.
struct FileTime {
    icaltimetype raw = icaltime_null_time();
    const icaltimezone *zone = nullptr; // null: floating, the local wall clock
    bool unknownZone = false;
};

bool ahead(const QDateTime &moment, const QDateTime &now)
{
    return moment.isValid() && TextForms::minutesBetween(now, moment) > 0;
}

qint64 minuteOf(const QDateTime &t)
{
    return TextForms::minutesBetween(wall(QDate(1, 1, 1), QTime(0, 0)), t);
}

// The local wall-clock time of a time of the file, `offset` seconds on;
// invalid when it has none a reminder can be kept under.
QDateTime wallOf(icaltimetype t, const icaltimezone *zone, qint64 offset = 0)
{
    if (icaltime_is_null_time(t))
        return {};
    const QDate date(t.year, t.month, t.day);
    const QTime time = t.is_date ? QTime(0, 0) : QTime(t.hour, t.minute, std::min(t.second, 59));
    if (!date.isValid() || !time.isValid() || date.year() < kEarliestYear || date.year() > 9999)
        return {};
    if (t.is_date || !zone)
        return wall(date, time).addSecs(offset);
    if (t.year > kLatestZonedYear)
        return {};
    const QDateTime local =
        QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(t, zone) + offset);
    return wall(local.date(), local.time());
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
    case ICAL_RECURRENCEID_PROPERTY:
        return icalproperty_get_recurrenceid(property);
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

// The time zones of one calendar of the file, by TZID (libical would look
// through all of them for every time that names one).
class FileZones {
public:
    explicit FileZones(icalcomponent *calendar)
    {
        for (icalcomponent *c =
                 icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT);
             c; c = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT)) {
            icalproperty *tzid = icalcomponent_get_first_property(c, ICAL_TZID_PROPERTY);
            const QByteArray name = tzid ? QByteArray(icalproperty_get_tzid(tzid)) : QByteArray();
            if (name.isEmpty() || m_zones.contains(name))
                continue;
            icaltimezone *zone = icaltimezone_new();
            if (icaltimezone_set_component(zone, icalcomponent_new_clone(c)))
                m_zones.insert(name, zone);
            else
                icaltimezone_free(zone, 1);
        }
    }
    ~FileZones()
    {
        for (icaltimezone *zone : std::as_const(m_zones))
            icaltimezone_free(zone, 1);
    }
    FileZones(const FileZones &) = delete;
    FileZones &operator=(const FileZones &) = delete;

    const icaltimezone *find(const char *name) const { return m_zones.value(name); }

private:
    QHash<QByteArray, icaltimezone *> m_zones;
};

FileTime fileTimeOf(const FileZones &zones, icalproperty *property)
{
    FileTime result;
    result.raw = rawTimeOf(property);
    if (icaltime_is_utc(result.raw)) {
        result.zone = icaltimezone_get_utc_timezone();
    } else if (icalparameter *tzid =
                   icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER)) {
        const char *name = icalparameter_get_tzid(tzid);
        // A VTIMEZONE of the file first, then the system's zones by name.
        if (name)
            result.zone = zones.find(name);
        if (name && !result.zone)
            result.zone = icaltimezone_get_builtin_timezone(name);
        if (name && !result.zone)
            result.zone = icaltimezone_get_builtin_timezone_from_tzid(name);
        result.unknownZone = !result.zone;
    }
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

// The earliest moment of the item's DISPLAY and AUDIO alarms, as seconds
// after its start; nullopt when it has no such alarm.
std::optional<qint64> alarmOffset(icalcomponent *item, const FileZones &zones,
                                  const QDateTime &start, const QDateTime &end, bool *unknownZone)
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
            const FileTime at = fileTimeOf(zones, trigger);
            *unknownZone |= at.unknownZone;
            const QDateTime when = wallOf(at.raw, at.zone);
            if (!when.isValid())
                continue;
            offset = start.secsTo(when);
        } else {
            offset = icaldurationtype_as_int(value.duration);
            icalparameter *related =
                icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
            if (related && icalparameter_get_related(related) == ICAL_RELATED_END)
                offset += start.secsTo(end);
        }
        earliest = std::min(earliest.value_or(offset), offset);
    }
    return earliest;
}

// What the reader knows of a whole file while it reads its items.
// A UTC time of the file (LAST-MODIFIED, ACKNOWLEDGED); invalid when absent.
QDateTime utcOf(icaltimetype t)
{
    if (icaltime_is_null_time(t) || icaltime_is_date(t))
        return {};
    const QDateTime utc(QDate(t.year, t.month, t.day),
                        QTime(t.hour, t.minute, std::min(t.second, 59)), Qt::UTC);
    return utc.isValid() ? utc : QDateTime();
}

// When the item's alarm was last answered: the latest ACKNOWLEDGED of its
// DISPLAY and AUDIO alarms, or its X-MOZ-LASTACK.
QDateTime acknowledgedOf(icalcomponent *item)
{
    QDateTime latest;
    for (icalcomponent *alarm = icalcomponent_get_first_component(item, ICAL_VALARM_COMPONENT);
         alarm; alarm = icalcomponent_get_next_component(item, ICAL_VALARM_COMPONENT))
        if (icalproperty *p = icalcomponent_get_first_property(alarm, ICAL_ACKNOWLEDGED_PROPERTY))
            latest = std::max(latest, utcOf(icalproperty_get_acknowledged(p)));
    const QString lastAck = ownProperty(item, "X-MOZ-LASTACK");
    if (!lastAck.isEmpty())
        latest = std::max(latest, utcOf(icaltime_from_string(lastAck.toLatin1().constData())));
    return latest;
}

struct Context {
    QDateTime now; // local wall clock
    CalendarWork work;
    const FileZones *zones = nullptr; // of the calendar read
    // The instances that items with a RECURRENCE-ID move or cancel, by UID,
    // as minutes of local wall-clock time.
    QHash<QString, QSet<qint64>> moved;
};

// The next occurrence of a repeating item (its moment, `offset` seconds
// after it, still ahead) and whether our steps follow the series from there.
struct Next {
    QDateTime moment; // invalid: none ahead
    QString recurrence;
    bool repeats = false;
    bool tooMuch = false;
};

// Whether our recurrence `name`, stepped from `first` (the moment of the
// occurrence `occurrence`), gives the series' next occurrences, which `walk`
// goes on to.
bool followed(const QString &name, const QDateTime &first, icaltimetype occurrence,
              const FileTime &start, qint64 offset, RuleWalk &walk)
{
    // Our steps carry a 31st into the next month and 29 February into March.
    const QDate day = first.date();
    if ((name == Recurrence::kMonthly && day.day() > 28) ||
        (name == Recurrence::kAnnual && day.month() == 2 && day.day() == 29))
        return false;
    // A zone whose daylight saving differs from ours moves the local time.
    for (int month = 1; start.zone && !occurrence.is_date && month <= 12; ++month) {
        icaltimetype later = occurrence;
        icaltime_adjust(&later, 30 * month, 0, 0, 0);
        const QDateTime at = wallOf(later, start.zone, offset);
        if (at.isValid() && at.time() != first.time())
            return false;
    }
    QDateTime ours = first;
    for (int i = 0; i < kStepsCompared; ++i) {
        ours.setDate(Recurrence::nextDay(name, ours.date()));
        const QDateTime theirs = wallOf(walk.next(), start.zone, offset);
        if (!theirs.isValid() || TextForms::minutesBetween(ours, theirs) != 0)
            return false;
    }
    return true;
}

Next nextOf(icalcomponent *item, const FileTime &start, qint64 offset, const QSet<qint64> &moved,
            Context &cx)
{
    Next next;
    QSet<qint64> excluded = moved;
    for (icalproperty *p : propertiesOf(item, ICAL_EXDATE_PROPERTY)) {
        const FileTime t = fileTimeOf(*cx.zones, p);
        if (const QDateTime at = wallOf(t.raw, t.zone ? t.zone : start.zone); at.isValid())
            excluded.insert(minuteOf(at));
    }
    const auto kept = [&](icaltimetype t, const icaltimezone *zone) {
        const QDateTime at = wallOf(t, zone);
        return !at.isValid() || !excluded.contains(minuteOf(at));
    };
    const auto consider = [&](const QDateTime &t) {
        if (ahead(t, cx.now) && (!next.moment.isValid() || t < next.moment))
            next.moment = t;
    };
    if (kept(start.raw, start.zone))
        consider(wallOf(start.raw, start.zone, offset));
    QDateTime lastAdded; // the latest RDATE
    for (icalproperty *p : propertiesOf(item, ICAL_RDATE_PROPERTY)) {
        const FileTime t = fileTimeOf(*cx.zones, p);
        const icaltimezone *zone = t.zone ? t.zone : start.zone;
        const QDateTime at = wallOf(t.raw, zone, offset);
        if (at.isValid() && (!lastAdded.isValid() || at > lastAdded))
            lastAdded = at;
        if (kept(t.raw, zone))
            consider(at);
        next.repeats = true;
    }
    const QList<icalproperty *> rules = propertiesOf(item, ICAL_RRULE_PROPERTY);
    for (icalproperty *p : rules) {
        next.repeats = true;
        icalrecurrencetype rule = icalproperty_get_rrule(p);
        const QString plain = plainRecurrence(rule, start.raw);
        RuleWalk walk(rule, start.raw, cx.work);
        // Straight to a little before now, in the item's own wall clock.
        walk.skipTo(cx.now.addSecs(-offset).addDays(-2));
        icaltimetype occurrence = walk.next();
        QDateTime first;
        for (; !icaltime_is_null_time(occurrence); occurrence = walk.next()) {
            first = wallOf(occurrence, start.zone, offset);
            if (!first.isValid() || (kept(occurrence, start.zone) && ahead(first, cx.now)))
                break;
        }
        next.tooMuch |= walk.tooMuch();
        if (icaltime_is_null_time(occurrence) || !first.isValid())
            continue;
        consider(first);
        const auto furthest = std::max_element(excluded.cbegin(), excluded.cend());
        if (rules.size() == 1 && !plain.isEmpty() && first == next.moment &&
            (furthest == excluded.cend() || *furthest <= minuteOf(first.addSecs(-offset))) &&
            !(lastAdded.isValid() && lastAdded >= first) &&
            followed(plain, first, occurrence, start, offset, walk))
            next.recurrence = plain;
    }
    return next;
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
    for (int i = 0; i < RuleWalk::kMostItemSteps && !ahead(moment, now); ++i) {
        const QDate next = Recurrence::nextDay(recurrence, moment.date());
        if (!next.isValid())
            break;
        moment.setDate(next);
    }
    return moment;
}

// The note: the summary, then the description on the lines below it, unless
// the description begins with the summary and so holds the whole note. A
// note of nothing but white space is none.
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
    return note.trimmed().isEmpty() ? QString() : note;
}

bool cancelled(icalcomponent *item, bool todo)
{
    const icalproperty_status status = icalcomponent_get_status(item);
    return status == ICAL_STATUS_CANCELLED ||
           (todo && (status == ICAL_STATUS_COMPLETED ||
                     icalcomponent_get_first_property(item, ICAL_COMPLETED_PROPERTY)));
}

QString uidOf(icalcomponent *item)
{
    QString uid = TextForms::trimBlanks(QString::fromUtf8(icalcomponent_get_uid(item)));
    icalproperty *instance = icalcomponent_get_first_property(item, ICAL_RECURRENCEID_PROPERTY);
    if (!uid.isEmpty() && instance)
        uid += QStringLiteral(";RECURRENCE-ID=") +
               QString::fromUtf8(icalproperty_get_value_as_string(instance));
    return uid;
}

std::optional<CalendarSkip> readItem(icalcomponent *item, Context &cx,
                                     CalendarReader::Result &result)
{
    const bool todo = icalcomponent_isa(item) == ICAL_VTODO_COMPONENT;
    if (cancelled(item, todo))
        return CalendarSkip::Cancelled;
    if (cx.work.spent())
        return CalendarSkip::TooMuchWork;
    icalproperty *startProperty = icalcomponent_get_first_property(item, ICAL_DTSTART_PROPERTY);
    icalproperty *endProperty =
        icalcomponent_get_first_property(item, todo ? ICAL_DUE_PROPERTY : ICAL_DTEND_PROPERTY);
    icalproperty *anchor = startProperty ? startProperty : (todo ? endProperty : nullptr);
    if (!anchor)
        return CalendarSkip::NoMoment;
    const FileTime start = fileTimeOf(*cx.zones, anchor);
    const QDateTime from = wallOf(start.raw, start.zone);
    QDateTime end = from;
    QDateTime due;
    bool unknownZone = start.unknownZone;
    if (endProperty) {
        const FileTime e = fileTimeOf(*cx.zones, endProperty);
        unknownZone |= e.unknownZone;
        due = wallOf(e.raw, e.zone);
        end = due.isValid() ? due : end;
    } else if (icalproperty *d = icalcomponent_get_first_property(item, ICAL_DURATION_PROPERTY)) {
        end = end.addSecs(icaldurationtype_as_int(icalproperty_get_duration(d)));
    } else if (start.raw.is_date && !todo) {
        end = end.addDays(1); // an all-day event lasts its day
    }
    const std::optional<qint64> alarm = alarmOffset(item, *cx.zones, from, end, &unknownZone);
    if (unknownZone)
        return CalendarSkip::UnknownZone;
    if (!from.isValid())
        return CalendarSkip::NoMoment;
    const qint64 offset = alarm.value_or(0);

    CalendarItem reminder;
    reminder.uid = uidOf(item);
    reminder.alarmed = alarm.has_value();
    if (icalproperty *p = icalcomponent_get_first_property(item, ICAL_LASTMODIFIED_PROPERTY))
        reminder.lastModified = utcOf(icalproperty_get_lastmodified(p));
    reminder.acknowledged = acknowledgedOf(item);
    // An answered occurrence is done: the item's moment is the one after it.
    const QDateTime readNow = cx.now;
    if (reminder.acknowledged.isValid()) {
        const QDateTime answered = reminder.acknowledged.toLocalTime();
        cx.now = std::max(cx.now, wall(answered.date(), answered.time()));
    }
    const auto restoreNow = qScopeGuard([&cx, readNow] { cx.now = readNow; });
    const QString ours = ownProperty(item, CalendarProperties::kRecurrence);
    reminder.ours = !ours.isEmpty();
    QDateTime moment;
    if (!ours.isEmpty()) {
        reminder.recurrence = ours;
        moment = stepAhead(ours, from.addSecs(offset), cx.now);
    } else if (icalcomponent_get_first_property(item, ICAL_RECURRENCEID_PROPERTY)) {
        reminder.recurrence = Recurrence::kOneTime; // one instance of a series, on its own
        moment = from.addSecs(offset);
    } else {
        const Next next = nextOf(
            item, start, offset,
            cx.moved.value(TextForms::trimBlanks(QString::fromUtf8(icalcomponent_get_uid(item)))),
            cx);
        if (next.tooMuch)
            return CalendarSkip::TooMuchWork;
        moment = next.moment.isValid() ? next.moment : from.addSecs(offset);
        reminder.recurrence = next.recurrence.isEmpty() ? Recurrence::kOneTime : next.recurrence;
        reminder.repeatDropped = next.repeats && next.recurrence.isEmpty();
        // An open to-do whose start has passed is still due at its due time.
        if (todo && !next.repeats && !ahead(moment, cx.now) && ahead(due, cx.now))
            moment = due;
    }
    if (!moment.isValid() || TextForms::dayKey(moment.date()).isEmpty())
        return CalendarSkip::NoMoment;
    reminder.day = moment.date();
    // A day without a time comes back as the note maker's bill road makes it:
    // only for an all-day item that carries a recurring rule of ours.
    const bool dueAllDay =
        start.raw.is_date && offset == 0 && !ours.isEmpty() && ours != Recurrence::kOneTime;
    if (!dueAllDay)
        reminder.time = QTime(moment.time().hour(), moment.time().minute());
    const QString sound = ownProperty(item, CalendarProperties::kSound);
    if (SoundNames::names().contains(sound))
        reminder.sound = sound;
    reminder.note = noteOf(item);
    result.items.append(reminder);
    return std::nullopt;
}

void readCalendar(icalcomponent *calendar, Context &cx, CalendarReader::Result &result)
{
    const FileZones zones(calendar);
    cx.zones = &zones;
    QList<icalcomponent *> items;
    for (icalcomponent *c = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
        const icalcomponent_kind kind = icalcomponent_isa(c);
        if (kind != ICAL_VEVENT_COMPONENT && kind != ICAL_VTODO_COMPONENT)
            continue;
        items.append(c);
        icalproperty *p = icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY);
        const FileTime instance = p ? fileTimeOf(zones, p) : FileTime();
        if (const QDateTime at = wallOf(instance.raw, instance.zone); at.isValid())
            cx.moved[TextForms::trimBlanks(QString::fromUtf8(icalcomponent_get_uid(c)))].insert(
                minuteOf(at));
    }
    for (icalcomponent *item : std::as_const(items))
        if (const auto skipped = readItem(item, cx, result))
            result.skipped.append(*skipped);
}

} // namespace

CalendarReader::Result CalendarReader::read(const QByteArray &text, const QDateTime &now)
{
    icalerror_set_errors_are_fatal(0);
    Result result;
    const CalendarScreen::Screened screened = CalendarScreen::screen(text);
    result.refusal = screened.refusal;
    if (!result.refusal.isEmpty()) {
        result.isCalendar = true;
        return result;
    }
    icalcomponent *root = icalparser_parse_string(screened.text.constData());
    if (!root)
        return result;
    CalendarScreen::tameZones(root);
    Context cx{wall(now.date(), now.time()), CalendarWork(), nullptr, {}};
    // Several calendars in one file come under one root of their own.
    if (icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT) {
        result.isCalendar = true;
        readCalendar(root, cx, result);
    } else if (icalcomponent_isa(root) == ICAL_XROOT_COMPONENT) {
        for (icalcomponent *c = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT);
             c; c = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT)) {
            result.isCalendar = true;
            readCalendar(c, cx, result);
        }
    }
    icalcomponent_free(root);
    return result;
}
