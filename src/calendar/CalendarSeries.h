#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QString>
#include <libical/ical.h>

// The work one calendar file may make the reader do in walking repeat
// rules, for all its items together: a number of occurrences, and a few
// seconds spent walking them (one libical step of a rule that hardly ever or
// never comes can take long). Items reached after it is spent are skipped.
class CalendarWork {
public:
    static constexpr qint64 kMostSteps = 1'000'000;
    static constexpr qint64 kMostNanoseconds = 5'000'000'000;

    // Takes one step; false when the budget is spent.
    bool step();
    // Counts time spent in a step (an elapsed time, never the wall clock).
    void spend(qint64 nanoseconds) { m_nanoseconds += nanoseconds; }
    bool spent() const { return m_steps > kMostSteps || m_nanoseconds > kMostNanoseconds; }

private:
    qint64 m_steps = 0;
    qint64 m_nanoseconds = 0;
};

// The occurrences of one repeat rule (RRULE) from the item's start, in order,
// as times in the start's own wall clock. A rule without BY parts is counted
// out here in a few operations, whatever its frequency or COUNT; any other
// goes through libical, one occurrence per step of the file's work. A rule
// more often than daily with BY parts is not walked at all: libical may spend
// hours inside one step of it; nor one on days of the month that none of its
// months has.
class RuleWalk {
public:
    // Occurrences walked for one item, at most.
    static constexpr int kMostItemSteps = 20'000;

    RuleWalk(const icalrecurrencetype &rule, icaltimetype start, CalendarWork &work);
    ~RuleWalk();
    RuleWalk(const RuleWalk &) = delete;
    RuleWalk &operator=(const RuleWalk &) = delete;

    // Goes on from `from` (a time in the start's wall clock), when the rule
    // allows it: not when libical would have to count COUNT from the start.
    void skipTo(const QDateTime &from);
    // The next occurrence; a null time when there is none, or when the walk
    // took more work than allowed (then tooMuch()).
    icaltimetype next();
    bool tooMuch() const { return m_tooMuch; }

private:
    icaltimetype plainNext();
    // Counts a step and the time since the last one (what the reader did
    // with that occurrence included) in the file's work; false when spent.
    bool stepped();

    icalrecurrencetype m_rule;
    icaltimetype m_start;
    CalendarWork &m_work;
    icalrecur_iterator *m_libical = nullptr; // null: counted out here
    bool m_tooMuch = false;
    int m_steps = 0;
    QElapsedTimer m_walking;
    // Counted out here: occurrence m_index is m_index * m_interval units on.
    qint64 m_index = 0;
    qint64 m_counted = 0;
    qint64 m_unitSeconds = 0; // 0: months (m_unitMonths of them)
    int m_unitMonths = 0;
    QDateTime m_until; // invalid: none
};

// The name of our recurrence that a rule says, once the BY parts that only
// restate its start are left out (WEEKLY;BYDAY=TU from a Tuesday,
// MONTHLY;BYMONTHDAY=15 from the 15th, YEARLY;BYMONTH=3;BYMONTHDAY=15 from
// 15 March): DAILY, WEEKLY, MONTHLY or YEARLY every time, without end. Empty
// for any other rule. `rule` loses those parts when they are all it has.
QString plainRecurrence(icalrecurrencetype &rule, const icaltimetype &start);
