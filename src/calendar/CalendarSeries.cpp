#include "calendar/CalendarSeries.h"

#include "core/scheduler/Recurrence.h"

#include <QElapsedTimer>
#include <algorithm>

namespace {

constexpr short kEnd = ICAL_RECURRENCE_ARRAY_MAX;
constexpr int kLatestYear = 9999;

bool empty(const short *values)
{
    return values[0] == kEnd;
}

// The only value of a BY part, or kEnd when it has none or several.
short only(const short *values)
{
    return values[0] != kEnd && values[1] == kEnd ? values[0] : kEnd;
}

bool withoutByParts(const icalrecurrencetype &r)
{
    return empty(r.by_second) && empty(r.by_minute) && empty(r.by_hour) && empty(r.by_day) &&
           empty(r.by_month_day) && empty(r.by_year_day) && empty(r.by_week_no) &&
           empty(r.by_month) && empty(r.by_set_pos) && !r.rscale;
}

// Whether a rule's days of the month fall in none of its months (30 February):
// libical would look for its first occurrence up to the year 2582.
bool neverComes(const icalrecurrencetype &r)
{
    const auto has = [](const short *values, int size, int value) {
        for (int i = 0; i < size && values[i] != kEnd; ++i)
            if (values[i] == value)
                return true;
        return false;
    };
    for (int month = 1; month <= 12 && !empty(r.by_month_day); ++month) {
        if (!empty(r.by_month) && !has(r.by_month, ICAL_BY_MONTH_SIZE, month))
            continue;
        const int length = month == 2 ? 29 : 30 + ((month + month / 8) % 2);
        for (int day = 1; day <= length; ++day)
            if (has(r.by_month_day, ICAL_BY_MONTHDAY_SIZE, day) ||
                has(r.by_month_day, ICAL_BY_MONTHDAY_SIZE, day - length - 1))
                return false;
    }
    return !empty(r.by_month_day);
}

// A time of the file as a wall-clock value (carried as UTC, so that no
// daylight-saving change moves it).
QDateTime wallOf(const icaltimetype &t)
{
    return QDateTime(QDate(t.year, t.month, t.day),
                     t.is_date ? QTime(0, 0) : QTime(t.hour, t.minute, std::min(t.second, 59)),
                     Qt::UTC);
}

icaltimetype withWall(icaltimetype t, const QDateTime &wall)
{
    t.year = wall.date().year();
    t.month = wall.date().month();
    t.day = wall.date().day();
    if (!t.is_date) {
        t.hour = wall.time().hour();
        t.minute = wall.time().minute();
        t.second = wall.time().second();
    }
    return t;
}

} // namespace

bool CalendarWork::step()
{
    return ++m_steps <= kMostSteps && !spent();
}

RuleWalk::RuleWalk(const icalrecurrencetype &rule, icaltimetype start, CalendarWork &work)
    : m_rule(rule)
    , m_start(start)
    , m_work(work)
{
    m_walking.start();
    if (!wallOf(start).isValid())
        return; // no occurrence at all
    const int interval = std::max<int>(rule.interval, 1);
    switch (withoutByParts(rule) ? rule.freq : ICAL_NO_RECURRENCE) {
    case ICAL_SECONDLY_RECURRENCE:
        m_unitSeconds = interval;
        break;
    case ICAL_MINUTELY_RECURRENCE:
        m_unitSeconds = 60LL * interval;
        break;
    case ICAL_HOURLY_RECURRENCE:
        m_unitSeconds = 3600LL * interval;
        break;
    case ICAL_DAILY_RECURRENCE:
        m_unitSeconds = 86'400LL * interval;
        break;
    case ICAL_WEEKLY_RECURRENCE:
        m_unitSeconds = 7 * 86'400LL * interval;
        break;
    case ICAL_MONTHLY_RECURRENCE:
        m_unitMonths = interval;
        break;
    case ICAL_YEARLY_RECURRENCE:
        m_unitMonths = 12 * interval;
        break;
    default:
        if (rule.freq == ICAL_SECONDLY_RECURRENCE || rule.freq == ICAL_MINUTELY_RECURRENCE ||
            rule.freq == ICAL_HOURLY_RECURRENCE)
            m_tooMuch = true;
        else if (!neverComes(rule))
            m_libical = icalrecur_iterator_new(rule, start);
        return;
    }
    if (icaltime_is_null_time(rule.until))
        return;
    icaltimetype until = rule.until;
    if (icaltime_is_utc(until) && start.zone)
        until = icaltime_convert_to_zone(until, const_cast<icaltimezone *>(start.zone));
    m_until = wallOf(until);
    if (until.is_date)
        m_until = m_until.addSecs(86'399);
    if (!m_until.isValid())
        m_until = wallOf(start); // an UNTIL that cannot be read ends at the start
}

RuleWalk::~RuleWalk()
{
    m_work.spend(m_walking.nsecsElapsed());
    if (m_libical)
        icalrecur_iterator_free(m_libical);
}

void RuleWalk::skipTo(const QDateTime &from)
{
    if (!from.isValid())
        return;
    const icaltimetype at = withWall(m_start, from);
    if (m_libical) {
        if (m_rule.count == 0 && icaltime_compare(at, m_start) > 0)
            icalrecur_iterator_set_start(m_libical, at);
        return;
    }
    // Counted out here, occurrence n is the nth of COUNT, but for the months
    // without the start's day.
    const QDateTime start = wallOf(m_start);
    if (m_rule.count > 0 && m_unitMonths > 0 && start.date().day() > 28)
        return;
    qint64 index = 0;
    if (m_unitSeconds > 0)
        index = start.secsTo(from) / m_unitSeconds;
    else if (m_unitMonths > 0)
        index = ((qint64(from.date().year()) - start.date().year()) * 12 + from.date().month() -
                 start.date().month()) /
                m_unitMonths;
    m_index = std::max(m_index, index - 1);
    m_counted = m_index;
}

icaltimetype RuleWalk::plainNext()
{
    const QDateTime start = wallOf(m_start);
    while (true) {
        if (!stepped())
            return icaltime_null_time();
        QDateTime at;
        if (m_unitSeconds > 0) {
            at = start.addSecs(m_index * m_unitSeconds);
        } else {
            const qint64 month = start.date().month() - 1 + m_index * m_unitMonths;
            const qint64 year = start.date().year() + month / 12;
            if (year > kLatestYear)
                return icaltime_null_time();
            // A month without the start's day has no occurrence.
            const QDate day(int(year), int(month % 12) + 1, start.date().day());
            at = day.isValid() ? QDateTime(day, start.time(), Qt::UTC) : QDateTime();
        }
        ++m_index;
        if (!at.isValid()) {
            if (m_unitSeconds > 0)
                return icaltime_null_time();
            continue;
        }
        if (at.date().year() > kLatestYear || (m_rule.count > 0 && ++m_counted > m_rule.count) ||
            (m_until.isValid() && at > m_until))
            return icaltime_null_time();
        return withWall(m_start, at);
    }
}

icaltimetype RuleWalk::next()
{
    if (m_tooMuch)
        return icaltime_null_time();
    if (!m_libical)
        return m_unitSeconds > 0 || m_unitMonths > 0 ? plainNext() : icaltime_null_time();
    if (!stepped())
        return icaltime_null_time();
    return icalrecur_iterator_next(m_libical);
}

bool RuleWalk::stepped()
{
    m_work.spend(m_walking.nsecsElapsed());
    m_walking.start();
    if (m_work.step() && ++m_steps <= kMostItemSteps)
        return true;
    m_tooMuch = true;
    return false;
}

QString plainRecurrence(icalrecurrencetype &rule, const icaltimetype &start)
{
    icalrecurrencetype plain = rule;
    const short weekday = only(plain.by_day);
    if (plain.freq == ICAL_WEEKLY_RECURRENCE && weekday != kEnd &&
        icalrecurrencetype_day_position(weekday) == 0 &&
        int(icalrecurrencetype_day_day_of_week(weekday)) == icaltime_day_of_week(start))
        plain.by_day[0] = kEnd;
    const bool inStartMonth = only(plain.by_month) == start.month;
    if (only(plain.by_month_day) == start.day &&
        ((plain.freq == ICAL_MONTHLY_RECURRENCE && empty(plain.by_month)) ||
         (plain.freq == ICAL_YEARLY_RECURRENCE && inStartMonth)))
        plain.by_month_day[0] = kEnd;
    if (plain.freq == ICAL_YEARLY_RECURRENCE && inStartMonth)
        plain.by_month[0] = kEnd;
    // Restated only when nothing else is said beside them.
    if (!withoutByParts(plain))
        return QString();
    rule = plain;
    if (rule.interval > 1 || rule.count > 0 || !icaltime_is_null_time(rule.until))
        return QString();
    switch (rule.freq) {
    case ICAL_DAILY_RECURRENCE:
        return Recurrence::kDaily;
    case ICAL_WEEKLY_RECURRENCE:
        return Recurrence::kWeekly;
    case ICAL_MONTHLY_RECURRENCE:
        return Recurrence::kMonthly;
    case ICAL_YEARLY_RECURRENCE:
        return Recurrence::kAnnual;
    default:
        return QString();
    }
}
