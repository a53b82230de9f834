#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <optional>

class ProgramSettings;
class ReminderStore;
class SchedulerHost;
struct LiveReminder;
struct QueuedReminder;
struct ReminderRecord;

// Brings reminders up: the tick of `Timer1` every 59.5 seconds fires today's
// reminders of the current minute, and the start-up and manual checks look
// back over the missed days and fire today's reminders of the current hour.
//
// A reminder is consumed (and a recurring one copied to its next day) before
// its window opens, and `Timer1` is off while any reminder window is open, so
// nothing fires twice. A tick that comes while the reminder window is on
// screen anyway (the user views a reminder of the list) is held, not run: when
// that window is dismissed, the held tick runs at once over every minute from
// the first held one to the current one, so nothing due meanwhile is lost and
// nothing is written behind the window the user is looking at. A store
// failure skips the one step that failed; it never stops a run and never
// shows a message.
//
// The scheduler remembers the wall-clock minute its last pass reached. When a
// tick finds that a whole minute went by without a tick (the computer
// slept, a daylight-saving change skipped an hour, the clock was set forward),
// the tick runs over every minute it skipped, so that each of today's
// reminders of those minutes comes up late, once, in slot order; when the day
// changed meanwhile, the look-back runs first (unless a password is still
// awaited: then it waits for a check) and today's span starts at midnight.
// A clock set back, and the hour a daylight-saving change repeats, fire
// nothing twice: a fired slot is gone and a recurring one has moved to its
// next day; the ticks simply go on from the new minute. Minutes that pass
// during lock-down, or while a window the scheduler opened (a tick's or a
// check's) waits for its OK, count as reached: what they held waits in the
// store for a check.
class Scheduler : public QObject {
    Q_OBJECT

public:
    static constexpr int kTickMs = 59'500;
    // How far the wall clock may move on between two ticks before the tick
    // catches up with the minutes it skipped. Ticks 59.5 seconds apart move it
    // by one minute at most; a tick held up past a whole minute (a busy
    // machine) has skipped that minute as surely as a sleep has.
    static constexpr int kJumpMinutes = 1;

    Scheduler(ReminderStore &store, ProgramSettings &settings, SchedulerHost &host,
              QObject *parent = nullptr);

    // The scheduler's timer: 59,500 ms, precise, ticking Timer1_Timer.
    QTimer &Timer1() { return m_timer1; }

    // 1 while a check started from the tray menu runs, else 0.
    int ManualCheck() const { return m_manualCheck; }
    void setManualCheck(int value) { m_manualCheck = value; }

    // The program is ending: the timer stops for good, and a tick or check
    // that is showing reminders shows no more. Nothing the user has not seen
    // is consumed; what was not shown stays in the store for the next start.
    void stop();

    void Timer1_Timer();
    // The reminder window was dismissed: a tick held while it was on screen runs now.
    void reminderWindowDismissed();
    // The computer woke from sleep: the tick runs now, catching up with what
    // the sleep skipped, rather than at its next timeout. Nothing happens while
    // the timer is off (a window of the scheduler waits for its OK).
    void catchUp();
    // Lock-down ended: the minutes it held count as reached, so that what came
    // due meanwhile waits for a check, also across a jump of the clock.
    void lockDownEnded();
    void StartReminderCheck();
    void CheckImmediateReminders();
    void CheckMissedReminders();
    // Shows each entry of the queue file that is due at the moment its turn
    // comes (today or tomorrow, not before the current minute), one by one.
    void ShowQueuedReminders(const QList<QueuedReminder> &entries);

    // The text of the reminder window: "Date and Time: " + when, a line break,
    // "Reminder Note: " + note.
    static QString reminderText(const QString &when, const QString &note);

private:
    // The working fields shared by the tick and the checks; each of them
    // resets them when it ends.
    struct WorkingFields {
        qint64 slot = 0;
        QString storedNote;
        QString note;
        QString dueText;
        QString time;
        qint64 count = 0;
        QString recurrence;
        QString sound;
        QString uid;
        qint64 viewed = 0;
        // The first minute of a pass of the due check (fireDueSpan).
        std::optional<QDateTime> spanFrom;
    };

    enum class DueRule { MinuteSpan, SameHour };
    // One pass of the due check over a span of minutes: removes today when it is
    // complete, else fires today's live slots whose minute lies from `from` (the
    // current minute when not given) to the current minute when the walk
    // reaches the slot, in slot order, and today's bill reminders. So the
    // ordinary tick shows a later slot of its minute only if the window before
    // it was dismissed within that minute.
    void fireDueSpan(const std::optional<QDateTime> &from);

    // A password is set and not given yet (the unlock flag is 0).
    bool passwordAwaited() const;
    // Walks today's slots and fires those due by `rule`; gives how many fired.
    int fireDueSlots(const QString &day, DueRule rule);
    // The live slots of a day past `after`, read afresh, up to the count in
    // the working fields; none when the store cannot be read.
    std::optional<QList<LiveReminder>> liveSlotsAfter(const QString &day, qint64 after) const;
    // Fills the working fields from a live slot and gives its due moment.
    std::optional<QDateTime> loadSlot(const LiveReminder &slot);
    void FireReminder(const QString &day);
    void showReminder(const QString &text, const QString &sound);
    // Shows the reminder window modally, with the timer off until its OK;
    // `due` is the record that came due (SchedulerHost::showReminderWindow).
    void waitForOk(const std::optional<LiveReminder> &due);

    ReminderStore &m_store;
    ProgramSettings &m_settings;
    SchedulerHost &m_host;
    QTimer m_timer1;
    int m_manualCheck = 0;
    bool m_stopped = false;
    WorkingFields m_fields;
    // The minute of the first tick held while the reminder window was busy.
    std::optional<QDateTime> m_heldSince;
    // The wall-clock minute the last pass (or lock-down) reached.
    QDateTime m_lastCovered;
};
