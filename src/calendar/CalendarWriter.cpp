#include "calendar/CalendarWriter.h"

#include "calendar/CalendarProperties.h"
#include "calendar/CalendarScreen.h"
#include "core/scheduler/Recurrence.h"
#include "core/store/SoundNames.h"
#include "core/store/TextForms.h"

#include <QCryptographicHash>
#include <QSet>
#include <cstdlib>
#include <libical/ical.h>

namespace {

icalproperty *ownProperty(const char *name, const QString &value)
{
    icalproperty *property = icalproperty_new_x(value.toUtf8().constData());
    icalproperty_set_x_name(property, name);
    return property;
}

icalrecurrencetype_frequency frequencyOf(const QString &recurrence)
{
    if (recurrence == Recurrence::kDaily)
        return ICAL_DAILY_RECURRENCE;
    if (recurrence == Recurrence::kWeekly)
        return ICAL_WEEKLY_RECURRENCE;
    if (recurrence == Recurrence::kMonthly || recurrence == Recurrence::kBill)
        return ICAL_MONTHLY_RECURRENCE;
    if (recurrence == Recurrence::kAnnual)
        return ICAL_YEARLY_RECURRENCE;
    return ICAL_NO_RECURRENCE;
}

// A UID for a reminder without one, from what it says: a one-time reminder
// is named by its day too, a recurring one not, since its day changes each
// time it fires. Two reminders alike in everything are told apart by their
// order; a UID another reminder keeps is never given.
QByteArray uidFor(const LiveReminder &reminder, const QString &note, QSet<QString> &taken)
{
    const ReminderRecord &r = reminder.record;
    const QString day = Recurrence::isOneTime(r.recurrence) ? reminder.day : QString();
    const QByteArray hash =
        QCryptographicHash::hash(
            QStringList({day, r.time, r.recurrence, r.sound, note}).join(QChar(0)).toUtf8(),
            QCryptographicHash::Sha1)
            .toHex()
            .left(20);
    for (int n = 1;; ++n) {
        const QByteArray uid = hash + '-' + QByteArray::number(n) + "@pingalo-vantor";
        if (!taken.contains(QString::fromLatin1(uid))) {
            taken.insert(QString::fromLatin1(uid));
            return uid;
        }
    }
}

icaltimetype utcTime(const QDateTime &moment)
{
    return icaltime_from_timet_with_zone(moment.toSecsSinceEpoch(), 0,
                                         icaltimezone_get_utc_timezone());
}

// Marks the item's DISPLAY and AUDIO alarms answered at `when`.
void markAnswered(icalcomponent *item, const QDateTime &when)
{
    const icaltimetype at = utcTime(when);
    for (icalcomponent *alarm = icalcomponent_get_first_component(item, ICAL_VALARM_COMPONENT);
         alarm; alarm = icalcomponent_get_next_component(item, ICAL_VALARM_COMPONENT)) {
        icalproperty *action = icalcomponent_get_first_property(alarm, ICAL_ACTION_PROPERTY);
        if (!action || (icalproperty_get_action(action) != ICAL_ACTION_DISPLAY &&
                        icalproperty_get_action(action) != ICAL_ACTION_AUDIO))
            continue;
        while (icalproperty *old =
                   icalcomponent_get_first_property(alarm, ICAL_ACKNOWLEDGED_PROPERTY))
            icalcomponent_remove_property(alarm, old), icalproperty_free(old);
        icalcomponent_add_property(alarm, icalproperty_new_acknowledged(at));
    }
    for (icalproperty *p = icalcomponent_get_first_property(item, ICAL_X_PROPERTY); p;) {
        icalproperty *next = icalcomponent_get_next_property(item, ICAL_X_PROPERTY);
        if (qstricmp(icalproperty_get_x_name(p), "X-MOZ-LASTACK") == 0)
            icalcomponent_remove_property(item, p), icalproperty_free(p);
        p = next;
    }
    icalproperty *lastAck = icalproperty_new_x(icaltime_as_ical_string(at));
    icalproperty_set_x_name(lastAck, "X-MOZ-LASTACK");
    icalcomponent_add_property(item, lastAck);
}

// Sets the item's LAST-MODIFIED and DTSTAMP to `when`.
void markModified(icalcomponent *item, const QDateTime &when)
{
    for (const icalproperty_kind kind : {ICAL_LASTMODIFIED_PROPERTY, ICAL_DTSTAMP_PROPERTY})
        while (icalproperty *old = icalcomponent_get_first_property(item, kind))
            icalcomponent_remove_property(item, old), icalproperty_free(old);
    icalcomponent_add_property(item, icalproperty_new_lastmodified(utcTime(when)));
    icalcomponent_add_property(item, icalproperty_new_dtstamp(utcTime(when)));
}

QByteArray textOf(icalcomponent *calendar)
{
    char *text = icalcomponent_as_ical_string_r(calendar);
    QByteArray result(text);
    std::free(text);
    return result;
}

icalcomponent *eventOf(const LiveReminder &reminder, const QString &note, const QDate &day,
                       const std::optional<QTime> &time, icaltimetype stamp)
{
    const ReminderRecord &r = reminder.record;
    icalcomponent *event = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(event, icalproperty_new_uid(r.uid.toUtf8().constData()));
    icalcomponent_add_property(event, icalproperty_new_dtstamp(stamp));

    icaltimetype start = time ? icaltime_null_time() : icaltime_null_date();
    start.year = day.year();
    start.month = day.month();
    start.day = day.day();
    if (time) {
        start.hour = time->hour();
        start.minute = time->minute();
    }
    icalcomponent_add_property(event, icalproperty_new_dtstart(start));

    const qsizetype lineBreak = note.indexOf(QLatin1Char('\n'));
    const QString summary = lineBreak < 0 ? note : note.left(lineBreak).remove(QLatin1Char('\r'));
    icalcomponent_add_property(event, icalproperty_new_summary(summary.toUtf8().constData()));
    if (lineBreak >= 0)
        icalcomponent_add_property(event, icalproperty_new_description(note.toUtf8().constData()));

    if (const auto frequency = frequencyOf(r.recurrence); frequency != ICAL_NO_RECURRENCE) {
        icalrecurrencetype rule;
        icalrecurrencetype_clear(&rule);
        rule.freq = frequency;
        icalcomponent_add_property(event, icalproperty_new_rrule(rule));
    }
    if (!r.recurrence.isEmpty())
        icalcomponent_add_property(event,
                                   ownProperty(CalendarProperties::kRecurrence, r.recurrence));
    if (!r.sound.isEmpty() && r.sound != SoundNames::kNotChosen)
        icalcomponent_add_property(event, ownProperty(CalendarProperties::kSound, r.sound));

    icalcomponent *alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icaltriggertype atStart{};
    atStart.time = icaltime_null_time();
    atStart.duration = icaldurationtype_null_duration();
    icalcomponent_add_property(alarm, icalproperty_new_trigger(atStart));
    icalcomponent_add_property(alarm, icalproperty_new_description(summary.toUtf8().constData()));
    icalcomponent_add_component(event, alarm);
    return event;
}

} // namespace

CalendarWriter::Result CalendarWriter::write(const QList<LiveReminder> &reminders,
                                             const QDateTime &stamp)
{
    icalerror_set_errors_are_fatal(0);
    Result result;
    icalcomponent *calendar = icalcomponent_new(ICAL_VCALENDAR_COMPONENT);
    icalcomponent_add_property(
        calendar, icalproperty_new_prodid("-//Pingalo//Pingalo! Vantor " PINGALO_VERSION "//EN"));
    icalcomponent_add_property(calendar, icalproperty_new_version("2.0"));
    const icaltimetype stampUtc =
        icaltime_from_timet_with_zone(stamp.toSecsSinceEpoch(), 0, icaltimezone_get_utc_timezone());
    QSet<QString> taken;
    for (const LiveReminder &reminder : reminders)
        taken.insert(reminder.record.uid);
    for (LiveReminder reminder : reminders) {
        const auto note = reminder.record.note();
        const auto day = TextForms::parseDate(reminder.day);
        const bool timed = !reminder.record.time.isEmpty();
        const auto time = timed ? TextForms::parseTime(reminder.record.time) : std::nullopt;
        if (!note || !day || (timed && !time)) {
            result.leftOut.append(reminder);
            continue;
        }
        if (reminder.record.uid.isEmpty()) {
            reminder.record.uid = QString::fromLatin1(uidFor(reminder, *note, taken));
            result.named.append(reminder);
        }
        icalcomponent_add_component(calendar, eventOf(reminder, *note, *day, time, stampUtc));
        ++result.written;
    }
    result.text = textOf(calendar);
    icalcomponent_free(calendar);
    return result;
}

namespace {

// The items of a calendar text modified at `modified`, and answered at
// `answered` when it is valid; empty when the text is not one the reader takes
// whole (what the screening leaves out unread would be lost on writing back).
QByteArray rewritten(const QByteArray &text, const QDateTime &answered, const QDateTime &modified)
{
    const CalendarScreen::Screened screened = CalendarScreen::screen(text);
    if (!screened.refusal.isEmpty() || screened.text.size() != text.size())
        return {};
    icalcomponent *calendar = icalparser_parse_string(screened.text.constData());
    if (!calendar)
        return {};
    QByteArray result;
    if (icalcomponent_isa(calendar) == ICAL_VCALENDAR_COMPONENT) {
        for (icalcomponent *c = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT); c;
             c = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
            if (icalcomponent_isa(c) != ICAL_VEVENT_COMPONENT &&
                icalcomponent_isa(c) != ICAL_VTODO_COMPONENT)
                continue;
            if (answered.isValid())
                markAnswered(c, answered);
            markModified(c, modified);
        }
        result = textOf(calendar);
    }
    icalcomponent_free(calendar);
    return result;
}

} // namespace

QByteArray CalendarWriter::item(const LiveReminder &reminder, const QDateTime &stamp,
                                const QDateTime &acknowledged)
{
    const Result one = write({reminder}, stamp);
    return one.written == 1 ? rewritten(one.text, acknowledged, stamp) : QByteArray();
}

QByteArray CalendarWriter::acknowledge(const QByteArray &item, const QDateTime &when)
{
    icalerror_set_errors_are_fatal(0);
    return rewritten(item, when, when);
}
