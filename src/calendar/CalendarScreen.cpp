#include "calendar/CalendarScreen.h"

#include <QList>
#include <cstring>

namespace {

// Time zone parts that follow a rule, at most, per zone.
constexpr int kMostRuledParts = 8;
// Yearly zone rules start no earlier: time before it is never a reminder's.
constexpr int kEarliestZoneYear = 1970;

bool startsWith(const QByteArray &text, const char *prefix)
{
    return qstrnicmp(text.constData(), prefix, qsizetype(std::strlen(prefix))) == 0;
}

// Properties the reader never looks at, whatever their size.
bool unread(const QByteArray &name)
{
    return startsWith(name, "ATTACH") ||
           (startsWith(name, "X-") && !startsWith(name, "X-PINGALO-"));
}

int count(const short *values, int size)
{
    int n = 0;
    while (n < size && values[n] != ICAL_RECURRENCE_ARRAY_MAX)
        ++n;
    return n;
}

// A rule as real zones write them: yearly, in one month, on one weekday
// (2SU, -1SU) or a few days of the month.
bool zoneLike(const icalrecurrencetype &r)
{
    return r.freq == ICAL_YEARLY_RECURRENCE && r.interval <= 1 && !r.rscale &&
           count(r.by_second, ICAL_BY_SECOND_SIZE) == 0 &&
           count(r.by_minute, ICAL_BY_MINUTE_SIZE) == 0 &&
           count(r.by_hour, ICAL_BY_HOUR_SIZE) == 0 &&
           count(r.by_year_day, ICAL_BY_YEARDAY_SIZE) == 0 &&
           count(r.by_week_no, ICAL_BY_WEEKNO_SIZE) == 0 &&
           count(r.by_set_pos, ICAL_BY_SETPOS_SIZE) == 0 &&
           count(r.by_month, ICAL_BY_MONTH_SIZE) <= 1 && count(r.by_day, ICAL_BY_DAY_SIZE) <= 1 &&
           count(r.by_month_day, ICAL_BY_MONTHDAY_SIZE) <= 7;
}

void tameZone(icalcomponent *zone)
{
    int ruled = 0;
    for (icalcomponent *part = icalcomponent_get_first_component(zone, ICAL_ANY_COMPONENT); part;
         part = icalcomponent_get_next_component(zone, ICAL_ANY_COMPONENT)) {
        QList<icalproperty *> rules;
        for (icalproperty *p = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY); p;
             p = icalcomponent_get_next_property(part, ICAL_RRULE_PROPERTY))
            rules.append(p);
        for (icalproperty *rule : std::as_const(rules)) {
            const icalrecurrencetype r = icalproperty_get_rrule(rule);
            if (zoneLike(r) && ++ruled <= kMostRuledParts) {
                icalproperty *start = icalcomponent_get_first_property(part, ICAL_DTSTART_PROPERTY);
                icaltimetype from = start ? icalproperty_get_dtstart(start) : icaltime_null_time();
                if (start && r.count == 0 && from.year < kEarliestZoneYear) {
                    from.year = kEarliestZoneYear;
                    icalproperty_set_dtstart(start, from);
                }
                continue;
            }
            // Without its rule the part is one change, at its start.
            icalcomponent_remove_property(part, rule);
            icalproperty_free(rule);
        }
    }
}

} // namespace

namespace CalendarScreen {

Screened screen(const QByteArray &file)
{
    Screened result;
    const char *data = file.constData();
    const qsizetype size = file.size();
    result.text.reserve(size);
    int depth = 0;
    int zones = 0;
    qsizetype lineNumber = 1;
    for (qsizetype begin = 0, end = 0; begin < size; begin = end) {
        // One logical line: a physical line and those that continue it with
        // a blank or a tab. Its first bytes, unfolded, say what it is.
        QByteArray head;
        qsizetype length = 0;
        const qsizetype firstLine = lineNumber;
        end = begin;
        do {
            const auto *lf = static_cast<const char *>(std::memchr(data + end, '\n', size - end));
            const qsizetype next = lf ? lf - data + 1 : size;
            const qsizetype from = end == begin ? end : end + 1;
            for (qsizetype i = from; i < next && head.size() < 16; ++i)
                if (data[i] != '\r' && data[i] != '\n')
                    head.append(data[i]);
            length += next - from;
            end = next;
            ++lineNumber;
        } while (end < size && (data[end] == ' ' || data[end] == '\t'));

        if (length > kMostLineBytes) {
            if (unread(head))
                continue;
            result.refusal = QStringLiteral("its line %1 is %L2 bytes long, and no line of a "
                                            "calendar is read past %L3 bytes")
                                 .arg(firstLine)
                                 .arg(length)
                                 .arg(kMostLineBytes);
            return result;
        }
        if (startsWith(head, "BEGIN:") && ++depth > kMostDepth) {
            result.refusal = QStringLiteral("its parts are nested more than %1 deep (at line %2), "
                                            "deeper than any calendar needs")
                                 .arg(kMostDepth)
                                 .arg(firstLine);
            return result;
        }
        if (startsWith(head, "BEGIN:VTIMEZONE") && ++zones > kMostZones) {
            result.refusal = QStringLiteral("it describes more than %L1 time zones, more than "
                                            "any calendar needs")
                                 .arg(kMostZones);
            return result;
        }
        if (startsWith(head, "END:") && depth > 0)
            --depth;
        result.text.append(data + begin, end - begin);
    }
    return result;
}

void tameZones(icalcomponent *root)
{
    const auto tameCalendar = [](icalcomponent *calendar) {
        for (icalcomponent *zone =
                 icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT);
             zone; zone = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT))
            tameZone(zone);
    };
    if (icalcomponent_isa(root) != ICAL_XROOT_COMPONENT)
        return tameCalendar(root);
    for (icalcomponent *c = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT))
        tameCalendar(c);
}

} // namespace CalendarScreen
