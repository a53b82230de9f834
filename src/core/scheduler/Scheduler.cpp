#include "core/scheduler/Scheduler.h"

#include "core/scheduler/Recurrence.h"
#include "core/scheduler/RescheduleReminder.h"
#include "core/scheduler/SchedulerHost.h"
#include "core/store/ProgramSettings.h"
#include "core/store/ReminderStore.h"
#include "core/store/TextForms.h"
#include "core/system/Clock.h"
#include "core/system/QueueFile.h"

#include <algorithm>
#include <utility>

namespace {

const QString kStartUpSwitch = QStringLiteral("-SU");

// The wall-clock minute of a moment: its date and its time of day without the
// seconds, held in UTC like the due moments (loadSlot), so that stepping and
// comparing it never meets a daylight-saving gap or repeat.
QDateTime wallMinute(const QDateTime &moment)
{
    const QTime time = moment.time();
    return QDateTime(moment.date(), QTime(time.hour(), time.minute()), Qt::UTC);
}

} // namespace

Scheduler::Scheduler(ReminderStore &store, ProgramSettings &settings, SchedulerHost &host,
                     QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_settings(settings)
    , m_host(host)
    , m_lastCovered(wallMinute(Clock::now()))
{
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(kTickMs);
    m_timer1.setTimerType(Qt::PreciseTimer);
    connect(&m_timer1, &QTimer::timeout, this, &Scheduler::Timer1_Timer);
}

QString Scheduler::reminderText(const QString &when, const QString &note)
{
    return QStringLiteral("Date and Time: ") + when + QStringLiteral("\r\n") +
           QStringLiteral("Reminder Note: ") + note;
}

std::optional<QList<LiveReminder>> Scheduler::liveSlotsAfter(const QString &day, qint64 after) const
{
    auto slots = m_store.liveReminders(day, m_fields.count);
    if (slots)
        slots->removeIf([after](const LiveReminder &slot) { return slot.slot <= after; });
    return slots;
}

std::optional<QDateTime> Scheduler::loadSlot(const LiveReminder &slot)
{
    m_fields.slot = slot.slot;
    m_fields.storedNote = slot.record.reminder;
    m_fields.time = slot.record.time;
    m_fields.recurrence = slot.record.recurrence;
    m_fields.sound = slot.record.sound;
    m_fields.uid = slot.record.uid;
    // The due moment: the day at its time, or the day alone for a bill reminder.
    // A "Time" that is not a time gives no moment: such a slot is never due by
    // the clock, and comes up through the look-back of a later day instead.
    const auto date = TextForms::parseDate(slot.day);
    const auto time = m_fields.time.isEmpty() ? std::optional<QTime>(QTime(0, 0))
                                              : TextForms::parseTime(m_fields.time);
    if (!date || !time)
        return std::nullopt;
    // Only its date and time of day are compared and shown (minutesBetween,
    // hoursBetween, momentText), as the wall clock reads them. Made in local
    // time, each moment would look the time zone up again, which costs more
    // than reading the whole day.
    return QDateTime(*date, *time, Qt::UTC);
}

int Scheduler::fireDueSlots(const QString &day, DueRule rule)
{
    int fired = 0;
    QList<LiveReminder> slots = liveSlotsAfter(day, 0).value_or(QList<LiveReminder>());
    while (!slots.isEmpty() && !m_stopped) {
        const LiveReminder slot = slots.takeFirst();
        const auto due = loadSlot(slot);
        if (!due)
            continue;
        if (!m_fields.time.isEmpty()) {
            const QDateTime now = Clock::now();
            const QDateTime from = m_fields.spanFrom.value_or(now);
            const bool inTime = rule == DueRule::SameHour
                                    ? TextForms::hoursBetween(now, *due) == 0
                                    : TextForms::minutesBetween(from, *due) >= 0 &&
                                          TextForms::minutesBetween(*due, now) >= 0;
            if (!inTime)
                continue;
        }
        // Only a slot that fires needs its note unscrambled and its moment written.
        m_fields.note = slot.record.shownNote();
        m_fields.dueText = TextForms::momentText(*due);
        FireReminder(day);
        ++fired;
        // The window waited on the user, who may have deleted or changed the
        // slots still to come meanwhile: go on from a fresh read.
        slots = liveSlotsAfter(day, slot.slot).value_or(QList<LiveReminder>());
    }
    return fired;
}

void Scheduler::FireReminder(const QString &day)
{
    showReminder(reminderText(m_fields.dueText, m_fields.note), m_fields.sound);
    if (!Recurrence::isOneTime(m_fields.recurrence))
        RescheduleReminder(m_store, day, m_fields.slot, m_fields.storedNote, m_fields.time,
                           m_fields.recurrence, Clock::today());
    // Counted only when the slot is really gone: a count that ran ahead of the
    // deletions would let the day be removed with a live reminder in it.
    if (m_store.consumeSlot(day, m_fields.slot, m_fields.viewed))
        ++m_fields.viewed;
    waitForOk(LiveReminder{day, m_fields.slot,
                           ReminderRecord{m_fields.storedNote, m_fields.sound, m_fields.recurrence,
                                          m_fields.time, m_fields.uid}});
}

void Scheduler::showReminder(const QString &text, const QString &sound)
{
    m_host.setReminderText(text);
    m_host.playSound(sound);
}

void Scheduler::waitForOk(const std::optional<LiveReminder> &due)
{
    // A check's window may come up while minutes skipped by a jump of the
    // clock wait for the next tick to catch them up: those stay to be caught up.
    const bool caughtUp =
        TextForms::minutesBetween(m_lastCovered, wallMinute(Clock::now())) <= kJumpMinutes;
    m_timer1.stop();
    m_host.showReminderWindow(due);
    // The minutes spent waiting are not skipped ones: what came due meanwhile
    // waits in the store for a check.
    if (caughtUp)
        m_lastCovered = wallMinute(Clock::now());
}

void Scheduler::stop()
{
    m_stopped = true;
    m_timer1.stop();
}

void Scheduler::Timer1_Timer()
{
    if (m_stopped)
        return;
    m_host.syncStore();
    const QDateTime now = wallMinute(Clock::now());
    if (m_host.isLockedDown()) {
        // What comes due during lock-down waits in the store.
        m_heldSince.reset();
        m_lastCovered = now;
        return;
    }
    if (m_host.reminderWindowBusy()) {
        if (!m_heldSince)
            m_heldSince = now;
        return;
    }
    std::optional<QDateTime> from = std::exchange(m_heldSince, std::nullopt);
    // The wall clock moved on further than ticks move it (a sleep, a
    // daylight-saving gap, a clock set forward): the span starts at the first
    // minute skipped. A clock set back gives no span: it simply goes on.
    if (TextForms::minutesBetween(m_lastCovered, now) > kJumpMinutes) {
        const QDateTime skipped = m_lastCovered.addSecs(60);
        if (!from || TextForms::minutesBetween(skipped, *from) > 0)
            from = skipped;
    }
    if (from && from->date() < now.date()) {
        // The span began on an earlier day: those days go through the
        // look-back, and today's span starts at midnight. Behind a password
        // not yet given (the start-up gate waits), the look-back waits for it
        // as a check does: what a tick may bring up, today's, is all that comes.
        if (!passwordAwaited()) {
            CheckMissedReminders();
            if (m_stopped)
                return;
        }
        from = QDateTime(now.date(), QTime(0, 0), Qt::UTC);
    }
    fireDueSpan(from);
    m_lastCovered = wallMinute(Clock::now());
}

void Scheduler::catchUp()
{
    if (m_timer1.isActive())
        Timer1_Timer();
}

void Scheduler::lockDownEnded()
{
    m_lastCovered = wallMinute(Clock::now());
}

void Scheduler::reminderWindowDismissed()
{
    if (m_heldSince)
        Timer1_Timer();
}

void Scheduler::fireDueSpan(const std::optional<QDateTime> &from)
{
    m_fields.spanFrom = from;
    const QString day = TextForms::dayKey(Clock::today());
    m_fields.viewed = m_store.numViewed(day).value_or(0);
    m_fields.count = m_store.numReminders(day).value_or(0);
    if (m_fields.viewed == m_fields.count && m_fields.count != 0)
        m_store.removeDay(day);
    else if (m_fields.count >= 1)
        fireDueSlots(day, DueRule::MinuteSpan);
    m_fields = WorkingFields();
}

bool Scheduler::passwordAwaited() const
{
    return m_settings.hasPassword() && m_host.unlockFlag() == 0;
}

void Scheduler::StartReminderCheck()
{
    if (passwordAwaited())
        m_host.showPasswordGate();
    else
        CheckImmediateReminders();
}

void Scheduler::CheckImmediateReminders()
{
    m_host.syncStore();
    CheckMissedReminders();
    if (m_stopped) {
        m_manualCheck = 0;
        return;
    }
    const QString day = TextForms::dayKey(Clock::today());
    m_fields.viewed = m_store.numViewed(day).value_or(0);
    m_fields.count = m_store.numReminders(day).value_or(0);
    if (m_fields.viewed == m_fields.count && m_fields.count != 0) {
        m_store.removeDay(day);
        if (m_host.commandLine() != kStartUpSwitch)
            m_host.showNoImmediateReminders();
    } else if (m_fields.count < 1) {
        if (m_manualCheck == 1)
            m_host.showNoImmediateReminders();
    } else {
        const int fired = fireDueSlots(day, DueRule::SameHour);
        if (m_manualCheck == 1 && fired == 0)
            m_host.showNoImmediateReminders();
    }
    m_manualCheck = 0;
    m_fields = WorkingFields();
}

void Scheduler::CheckMissedReminders()
{
    const qint64 lookBack = m_settings.lookBackDays();
    const QDate today = Clock::today();
    // The days from yesterday back to `lookBack` days ago that exist in the
    // store, newest first. Days that do not exist would only be deleted again,
    // so they are not walked: a damaged count of two billion days costs nothing.
    QList<QDate> days;
    const auto stored = m_store.storedDays();
    for (const QString &key : stored.value_or(QStringList())) {
        const auto date = TextForms::parseDate(key);
        if (!date || TextForms::dayKey(*date) != key)
            continue; // not written as a day key: no look-back ever names it
        const qint64 age = TextForms::daysBetween(*date, today);
        if (age >= 1 && age <= lookBack)
            days.append(*date);
    }
    std::sort(days.begin(), days.end(), std::greater<>());

    for (const QDate &date : std::as_const(days)) {
        const QString day = TextForms::dayKey(date);
        const auto count = m_store.numReminders(day);
        if (!count)
            continue; // a day that cannot be read stays for the next look-back
        m_fields.count = *count;
        // Holes are not visited: they go with the day.
        auto slots = liveSlotsAfter(day, 0);
        while (slots && !slots->isEmpty() && !m_stopped) {
            const LiveReminder slot = slots->takeFirst();
            m_fields.slot = slot.slot;
            m_fields.storedNote = slot.record.reminder;
            m_fields.note = slot.record.shownNote();
            m_fields.time = slot.record.time;
            m_fields.recurrence = slot.record.recurrence;
            showReminder(reminderText(day, m_fields.note), slot.record.sound);
            if (!Recurrence::isOneTime(m_fields.recurrence))
                RescheduleReminder(m_store, day, slot.slot, m_fields.storedNote, m_fields.time,
                                   m_fields.recurrence, Clock::today());
            waitForOk(slot);
            m_store.deleteRecord(day, slot.slot);
            // As the tick does: what the window waited on may have changed.
            slots = liveSlotsAfter(day, slot.slot);
        }
        if (m_stopped)
            break; // the day's unseen reminders stay for the next start
        if (slots) // (a day whose slots could not be read keeps them)
            m_store.removeDay(day);
    }
    m_fields = WorkingFields();
}

void Scheduler::ShowQueuedReminders(const QList<QueuedReminder> &entries)
{
    for (const QueuedReminder &entry : entries) {
        if (m_stopped)
            break;
        if (!QueueFile::isDue(entry, Clock::now()))
            continue;
        showReminder(reminderText(TextForms::momentText(entry.when), entry.note), entry.sound);
        // Not a stored reminder, and shown ahead of its moment: OK alone.
        waitForOk(std::nullopt);
    }
}
