// A model of a reminder's life. Seeded random runs of what happens to a running
// program (reminders of every recurrence made, ticks with gaps, sleeps, clocks
// set forward and back, daylight-saving changes, lock-down, restarts, checks,
// deletions, a reminder viewed from the list while others come due) drive the
// real scheduler and store; after every step the windows shown, the store's
// reminders and its days are compared with a small model of the program's
// rules, which knows nothing of how the scheduler walks the store.
//
//   PINGALO_MODEL_SEED=N PINGALO_MODEL_RUNS=1 test_scheduler   replays run N
#include "FakeSchedulerHost.h"
#include "StoreInvariants.h"
#include "TestClock.h"
#include "TestRegistry.h"
#include "core/scheduler/Recurrence.h"
#include "core/scheduler/Scheduler.h"
#include "core/store/MemorySettingsStore.h"
#include "core/store/ProgramSettings.h"
#include "core/store/ScrambleText.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTimeZone>
#include <memory>

namespace {

// The day a recurring reminder that fires on `d` moves to, by QDate's own
// calendar arithmetic: a day past the month's end carries into the next month.
QDate following(const QString &recurrence, const QDate &d)
{
    if (recurrence == Recurrence::kDaily)
        return d.addDays(1);
    if (recurrence == Recurrence::kWeekly)
        return d.addDays(7);
    if (recurrence == Recurrence::kMonthly || recurrence == Recurrence::kBill)
        return QDate(d.year(), d.month(), 1).addMonths(1).addDays(d.day() - 1);
    if (recurrence == Recurrence::kAnnual)
        return QDate(d.year() + 1, d.month(), 1).addDays(d.day() - 1);
    return QDate(); // one-time, and any name that is none of the five
}

// The wall-clock minute of a moment, as a person reads it off the clock.
QDateTime wall(const QDateTime &moment)
{
    const QTime t = moment.time();
    return QDateTime(moment.date(), QTime(t.hour(), t.minute()), Qt::UTC);
}

qint64 minutes(const QDateTime &from, const QDateTime &to)
{
    return from.secsTo(to) / 60;
}

struct Item {
    QString note, recurrence, sound, uid;
    QDate day;
    QTime time;   // invalid: due all day (a bill reminder)
    qint64 order; // slot order within a day: later appends come later
};

// What the program's rules say must happen, step by step.
struct Model {
    QList<Item> items;
    QSet<QDate> days; // the days the store holds
    qint64 appended = 0;
    QDateTime now, lastCovered; // `now` moves on with every OK, as the real clock will
    std::optional<QDateTime> heldSince;
    bool locked = false, busy = false, password = false;
    int stat = 1, lookBack = 14, manual = 0; // `manual`: what ManualCheck must read
    QString arguments;
    qint64 okDelayMs = 0;
    QStringList events; // what the screen is expected to show

    void append(Item item)
    {
        item.order = ++appended;
        days.insert(item.day);
        items.append(item);
    }

    QList<Item> itemsOf(const QDate &day) const
    {
        QList<Item> found;
        for (const Item &i : items)
            if (i.day == day)
                found.append(i);
        std::sort(found.begin(), found.end(),
                  [](const Item &a, const Item &b) { return a.order < b.order; });
        return found;
    }

    // One window: shown, the reminder moved on or consumed, then OK after a while.
    void show(const Item &item, const QString &when)
    {
        events << u"text:"_s + Scheduler::reminderText(when, item.note) << u"sound:"_s + item.sound
               << u"window"_s;
        items.removeIf([&](const Item &i) { return i.order == item.order; });
        if (const QDate next = following(item.recurrence, now.date()); next.isValid()) {
            Item copy = item;
            copy.day = next;
            append(copy);
        }
        const bool caughtUp = minutes(lastCovered, wall(now)) <= Scheduler::kJumpMinutes;
        now = now.addMSecs(okDelayMs);
        if (caughtUp) // minutes spent waiting for OK count as passed
            lastCovered = wall(now);
    }

    // Today's reminders due in the minutes from `from` (or the current one) to
    // the current one, or in the current hour; bill reminders whenever. Gives
    // how many came up.
    int fireToday(std::optional<QDateTime> from, bool sameHour)
    {
        const QDate today = now.date();
        const QList<Item> todays = itemsOf(today);
        if (days.contains(today) && todays.isEmpty()) {
            days.remove(today); // every slot of the day was used up
            return 0;
        }
        int fired = 0;
        for (const Item &item : todays) {
            const QDateTime due(today, item.time.isValid() ? item.time : QTime(0, 0), Qt::UTC);
            const QDateTime w = wall(now);
            const bool inTime =
                !item.time.isValid() ||
                (sameHour ? due.date() == w.date() && due.time().hour() == w.time().hour()
                          : due >= from.value_or(w) && due <= w);
            if (inTime) {
                show(item, TextForms::momentText(due));
                ++fired;
            }
        }
        return fired;
    }

    // The look-back: every reminder of the days from yesterday back `lookBack`
    // days, newest day first, each day then removed.
    void lookBackOverMissedDays()
    {
        QList<QDate> past;
        for (const QDate &d : std::as_const(days))
            if (const qint64 age = d.daysTo(now.date()); age >= 1 && age <= lookBack)
                past.append(d);
        std::sort(past.begin(), past.end(), std::greater<>());
        for (const QDate &d : past) {
            for (const Item &item : itemsOf(d))
                show(item, TextForms::dayKey(d));
            days.remove(d);
        }
    }

    void tick()
    {
        const QDateTime w = wall(now);
        if (locked) {
            heldSince.reset();
            lastCovered = w;
            return;
        }
        if (busy) {
            heldSince = heldSince.value_or(w);
            return;
        }
        std::optional<QDateTime> from = std::exchange(heldSince, std::nullopt);
        if (minutes(lastCovered, w) > Scheduler::kJumpMinutes) {
            const QDateTime skipped = lastCovered.addSecs(60);
            from = from ? std::min(*from, skipped) : skipped;
        }
        if (from && from->date() < w.date()) {
            lookBackOverMissedDays();
            from = QDateTime(w.date(), QTime(0, 0), Qt::UTC);
        }
        fireToday(from, false);
        lastCovered = wall(now);
    }

    void check(bool manual)
    {
        if (password && stat == 0) {
            events << u"gate"_s; // ManualCheck keeps its value
            return;
        }
        this->manual = 0;
        lookBackOverMissedDays();
        const QDate today = now.date();
        // A day used up is removed, and said unless the program started at log-on;
        // otherwise a manual check that brought nothing of today says so.
        const bool usedUp = days.contains(today) && itemsOf(today).isEmpty();
        const int fired = fireToday(std::nullopt, true);
        if (usedUp ? arguments != u"-SU"_s : manual && fired == 0)
            events << u"message"_s;
    }
};

// Empty, or typed in the wrong case: one-time.
const QStringList kRecurrences = {
    Recurrence::kOneTime, Recurrence::kDaily, Recurrence::kWeekly, Recurrence::kMonthly,
    Recurrence::kAnnual,  Recurrence::kBill,  u"daily reminder"_s, QString()};
// Only "-SU" exactly is the log-on start.
const QStringList kArguments = {u"-SU"_s, QString(), u"-su"_s, u"-SU "_s};

// One run: the real program's pieces beside the model.
class Run {
public:
    explicit Run(quint32 seed)
        : m_random(seed)
        , m_zone(m_random.bounded(4) ? QTimeZone("Europe/Berlin") : QTimeZone::utc())
        , m_clock(startMoment())
    {
        m_model.now = Clock::now();
        m_model.password = m_random.bounded(3) == 0;
        if (m_model.password)
            m_program.setStoredPassword(*ScrambleText(u"pw"_s, u"1"_s));
        m_model.arguments = kArguments.at(m_random.bounded(int(kArguments.size())));
        m_host.arguments = m_model.arguments;
        m_host.whileShown = [this] { m_clock.advanceMs(m_model.okDelayMs); };
        restart();
    }

    // Gives the first difference between the program and the model, or nothing.
    QString step()
    {
        m_model.now = Clock::now();
        m_model.events.clear();
        m_host.events.clear();
        // Most OKs come at once; some after a while, never across midnight.
        const int wait = m_random.bounded(10);
        m_model.okDelayMs = wait < 7 ? 0 : wait < 9 ? 20'000 : 180'000;
        if (wall(Clock::now()).time() > QTime(23, 40))
            m_model.okDelayMs = 0;

        const int what = m_random.bounded(100);
        if (what < 22) {
            create();
        } else if (what < 42) {
            m_log << u"ticks"_s;
            for (int n = m_random.bounded(1, 90); n > 0; --n)
                tickAfter(Scheduler::kTickMs);
        } else if (what < 46) {
            m_log << u"a tick held up"_s;
            tickAfter(m_random.bounded(61'000, 200'000));
        } else if (what < 56) {
            runUntilTheNextReminder();
        } else if (what < 63) {
            const qint64 ms = qint64(m_random.bounded(60, 3 * 86'400)) * 1000;
            m_log << u"asleep %1 s"_s.arg(ms / 1000);
            tickAfter(ms, true);
        } else if (what < 71) {
            const qint64 ms = qint64(m_random.bounded(-90, 180)) * 60'000;
            m_log << u"clock set by %1 min"_s.arg(ms / 60'000);
            tickAfter(ms);
        } else if (what < 77) {
            lockOrUnlock();
        } else if (what < 82) {
            m_log << u"restart"_s;
            restart();
        } else if (what < 88) {
            m_log << u"manual check"_s;
            m_clock.advanceMs(m_random.bounded(60'000)); // whenever the user clicks
            m_model.now = Clock::now();
            m_model.manual = 1;
            m_model.check(true);
            m_scheduler->setManualCheck(1);
            m_scheduler->StartReminderCheck();
        } else if (what < 94) {
            deleteOne();
        } else {
            viewWhileTicking();
        }
        return difference();
    }

    QStringList log() const { return m_log.mid(std::max<qsizetype>(0, m_log.size() - 12)); }

private:
    QDateTime startMoment()
    {
        // Often next to what is hard: the daylight-saving changes, midnight, a month's end.
        static const QList<QDateTime> hard = {QDateTime(QDate(2027, 3, 28), QTime(1, 30)),
                                              QDateTime(QDate(2027, 10, 31), QTime(1, 40)),
                                              QDateTime(QDate(2027, 12, 31), QTime(23, 20)),
                                              QDateTime(QDate(2028, 2, 28), QTime(23, 0)),
                                              QDateTime(QDate(2027, 1, 31), QTime(22, 50))};
        if (m_random.bounded(2)) {
            const QDateTime h = hard.at(m_random.bounded(int(hard.size())));
            return QDateTime(h.date(), h.time(), m_zone);
        }
        const QDate day = QDate(2027, 1, 1).addDays(m_random.bounded(730));
        return QDateTime(day, QTime(0, 0).addSecs(m_random.bounded(86'400)), m_zone);
    }

    // A tick, or the wake from a sleep, `ms` after the last step.
    void tickAfter(qint64 ms, bool wake = false)
    {
        m_clock.advanceMs(ms);
        m_model.now = Clock::now();
        m_model.tick();
        wake ? m_scheduler->catchUp() : m_scheduler->Timer1_Timer();
    }

    // Days go by with the program running until the next reminder's minute, which
    // a sleep ending then brings as surely as ticking through the days would.
    void runUntilTheNextReminder()
    {
        std::optional<QDateTime> next;
        for (const Item &i : std::as_const(m_model.items)) {
            const QDateTime due(i.day, i.time.isValid() ? i.time : QTime(0, 0), m_zone);
            if (due > Clock::now() && (!next || due < *next))
                next = due;
        }
        if (!next)
            return;
        m_log << u"running until "_s + next->toString(Qt::ISODate);
        tickAfter(Clock::now().msecsTo(*next) + m_random.bounded(50'000));
    }

    void create()
    {
        const QDateTime now = Clock::now();
        Item item;
        item.note = u"note %1"_s.arg(++m_notes);
        item.recurrence = kRecurrences.at(m_random.bounded(int(kRecurrences.size())));
        item.sound = m_random.bounded(2) ? u"BEEP"_s : u"Sounds"_s;
        item.uid = m_random.bounded(2) ? u"uid-%1@example.com"_s.arg(m_notes) : QString();
        const int when = m_random.bounded(5);
        if (when < 2) { // this very minute, the next few or the next hours
            const QDateTime at = now.addSecs(60 * m_random.bounded(when ? 180 : 4));
            item.day = at.date();
            item.time = QTime(at.time().hour(), at.time().minute());
        } else { // some day from a few days ago (made while the program was off) on
            item.day = now.date().addDays(m_random.bounded(-4, 40));
            const int minute = when == 2 ? 23 * 60 + 59 : m_random.bounded(24 * 60);
            if (when == 2) // the last days of a month
                item.day = QDate(item.day.year(), item.day.month(), 1)
                               .addMonths(1)
                               .addDays(-1 - m_random.bounded(3));
            item.time = QTime(minute / 60, minute % 60);
        }
        if (item.recurrence == Recurrence::kBill)
            item.time = QTime();
        m_log << u"made %1: %2 %3 %4"_s.arg(item.note, TextForms::dayKey(item.day),
                                            item.time.toString(u"h:mm"_s), item.recurrence);
        m_store.appendReminder(TextForms::dayKey(item.day),
                               {*ScrambleText(item.note, u"1"_s), item.sound, item.recurrence,
                                item.time.isValid() ? TextForms::timeText(item.time) : QString(),
                                item.uid});
        m_model.append(item);
    }

    void lockOrUnlock()
    {
        if (!m_model.password)
            return;
        m_model.locked = m_host.locked = !m_model.locked;
        m_log << (m_model.locked ? u"lock-down"_s : u"unlocked"_s);
        m_model.stat = m_host.stat = m_model.locked ? 0 : 1;
        if (!m_model.locked) { // the password given: lock-down's minutes count as passed
            m_model.lastCovered = wall(Clock::now());
            m_scheduler->lockDownEnded();
        }
    }

    void restart()
    {
        m_scheduler.reset();
        m_model.lookBack = m_random.bounded(1, 31);
        m_program.setCheckMissed(QString::number(m_model.lookBack));
        m_scheduler = std::make_unique<Scheduler>(m_store, m_program, m_host);
        m_host.timer = &m_scheduler->Timer1();
        m_scheduler->Timer1().start();
        m_model.locked = m_host.locked = false;
        m_model.stat = m_host.stat = 1;
        m_model.manual = 0;
        m_model.heldSince.reset();
        m_model.lastCovered = wall(Clock::now());
        if (!m_model.password) { // with a password the start-up checks nothing
            m_model.check(false);
            m_scheduler->StartReminderCheck();
        }
    }

    void deleteOne()
    {
        const auto live = m_store.allLiveReminders();
        if (!live || live->isEmpty())
            return;
        const LiveReminder &r = live->at(m_random.bounded(int(live->size())));
        const QString note = r.record.shownNote();
        m_log << u"deleted "_s + note;
        m_store.deleteListed(r.day, r.slot, r.record);
        m_model.items.removeIf([&](const Item &i) { return i.note == note; });
    }

    // The list's View shows a reminder while ticks come; they wait for its OK.
    void viewWhileTicking()
    {
        m_log << u"viewing while ticks come"_s;
        m_model.busy = m_host.busy = true;
        for (int n = m_random.bounded(1, 6); n > 0; --n)
            tickAfter(Scheduler::kTickMs);
        m_model.busy = m_host.busy = false;
        if (m_model.heldSince)
            m_model.tick();
        m_scheduler->reminderWindowDismissed();
    }

    QString difference()
    {
        if (m_host.events != m_model.events)
            return u"shown:\n  %1\nexpected:\n  %2"_s.arg(m_host.events.join(u"\n  "_s),
                                                          m_model.events.join(u"\n  "_s));
        if (!m_host.timerWasOffWhileShown || m_scheduler->ManualCheck() != m_model.manual)
            return u"the timer ran under a window, or ManualCheck is %1"_s.arg(
                m_scheduler->ManualCheck());
        QStringList stored, modelled;
        for (const LiveReminder &r : m_store.allLiveReminders().value_or(QList<LiveReminder>()))
            stored << QStringList{r.record.shownNote(), r.day,          r.record.time,
                                  r.record.recurrence,  r.record.sound, r.record.uid}
                          .join(u'|');
        for (const Item &i : std::as_const(m_model.items))
            modelled << QStringList{i.note,
                                    TextForms::dayKey(i.day),
                                    i.time.isValid() ? TextForms::timeText(i.time) : QString(),
                                    i.recurrence,
                                    i.sound,
                                    i.uid}
                            .join(u'|');
        for (const QString &day : m_store.storedDays().value_or(QStringList()))
            stored << u"day "_s + day;
        for (const QDate &d : std::as_const(m_model.days))
            modelled << u"day "_s + TextForms::dayKey(d);
        stored.sort();
        modelled.sort();
        if (stored != modelled)
            return u"stored:\n  %1\nexpected:\n  %2"_s.arg(stored.join(u"\n  "_s),
                                                           modelled.join(u"\n  "_s));
        return reminderStoreViolation(m_settings);
    }

    QRandomGenerator m_random;
    QTimeZone m_zone;
    TestClock m_clock;
    MemorySettingsStore m_settings;
    ReminderStore m_store{m_settings};
    ProgramSettings m_program{m_settings};
    FakeSchedulerHost m_host;
    std::unique_ptr<Scheduler> m_scheduler;
    Model m_model;
    int m_notes = 0;
    QStringList m_log;
};

} // namespace

class TstModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void randomLivesFollowTheRules()
    {
        const quint32 first = qEnvironmentVariableIntValue("PINGALO_MODEL_SEED");
        const int runs = qEnvironmentVariableIsSet("PINGALO_MODEL_RUNS")
                             ? qEnvironmentVariableIntValue("PINGALO_MODEL_RUNS")
                             : 300;
        for (quint32 seed = first; seed < first + quint32(runs); ++seed) {
            Run run(seed);
            for (int step = 1; step <= 40; ++step) {
                const QString fault = run.step();
                QVERIFY2(fault.isEmpty(), qPrintable(u"run %1 (PINGALO_MODEL_SEED=%1), step %2 "
                                                     u"after:\n  %3\n%4"_s.arg(seed)
                                                         .arg(step)
                                                         .arg(run.log().join(u"\n  "_s), fault)));
            }
        }
    }
};

PINGALO_TEST(TstModel)
#include "tst_model.moc"
