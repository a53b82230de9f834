// Calendar files out and in: every recurrence read back exactly, our own rule
// stepping a reminder on as the program would, re-import adding nothing, and
// a hand-written file with a VTIMEZONE, alarms, to-dos and what cannot come in.
// Runs with TZ=Europe/Berlin.
#include "StoreInvariants.h"
#include "TestClock.h"
#include "TestFiles.h"
#include "TestRegistry.h"
#include "calendar/CalendarImport.h"
#include "calendar/CalendarWriter.h"
#include "core/store/MemorySettingsStore.h"
#include "core/store/ScrambleText.h"

namespace {

// Every live reminder as "day|time|recurrence|note|sound".
QStringList reminders(ReminderStore &store)
{
    QStringList rows;
    for (const LiveReminder &r : store.allLiveReminders().value_or(QList<LiveReminder>()))
        rows.append(QStringList({r.day, r.record.time, r.record.recurrence,
                                 *ScrambleText(r.record.reminder, u"0"_s), r.record.sound})
                        .join(u'|'));
    return rows;
}

using Skips = QMap<CalendarSkip, int>;

} // namespace

class TstCalendar : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aCalendarProgramsFileAndEveryRecurrenceBackExactly()
    {
        TestClock clock(QDateTime(QDate(2026, 12, 6), QTime(10, 0)));
        // A calendar program's hand-written file.
        MemorySettingsStore settings;
        ReminderStore store(settings);
        const CalendarImport::Report handWritten = CalendarImport::import(
            readFile(PINGALO_SOURCE_DIR "/tests/calendar/new-york.ics"_L1), store);
        QVERIFY(handWritten.isCalendar && handWritten.stored);
        // New York's 9:00 is Berlin's 15:00 in January, 17:00 is 23:00 in July.
        QCOMPARE(reminders(store).join(u'#'),
                 u"1/15/2027|2:45:00 PM|Weekly Reminder|Annual Employee Review|Sounds#"
                 u"3/1/2027|1:00:00 PM|One-Time Reminder|Laurel is in sensitivity awareness "
                 u"class.\nRoom 12, second floor|Sounds#"
                 u"7/4/2027|10:00:00 PM|One-Time Reminder|Submit Quebec Income Tax Return "
                 u"for 2026|Sounds#"
                 u"6/12/2027|12:00:00 AM|Annual Reminder|Our Blissful Anniversary|Sounds"_s);
        QCOMPARE(handWritten.repeatDropped, 1);
        using enum CalendarSkip;
        QCOMPARE(handWritten.skipped,
                 (Skips{{Past, 1}, {NoMoment, 1}, {UnknownZone, 1}, {NoteNotHeld, 1}}));

        // Our own file: every recurrence comes back exactly.
        MemorySettingsStore from;
        ReminderStore source(from);
        const QStringList made = {
            u"12/24/2026|6:30:00 PM|One-Time Reminder|Fetch the goose|BEEP"_s,
            u"12/7/2026|9:00:00 AM|Daily Reminder|Pills|Sounds"_s,
            u"12/7/2026|9:00:00 AM|Daily Reminder|Pills|Sounds"_s, // a twin, kept as two
            u"12/11/2026|7:15:00 AM|Weekly Reminder|Bins out\nthe blue one, too|CUCKOO_LOOP"_s,
            u"1/31/2027|8:00:00 PM|Monthly Reminder|Rent; 31st, \"always\"|Sounds"_s,
            u"2/29/2028|12:00:00 PM|Annual Reminder|Leap-day party|SIREN"_s,
            u"12/31/2026||Bill Reminder|Phone bill|Sounds"_s,
            u"1/5/2027|6:30:00 PM|Bill Reminder|Water bill|HEY_1"_s,
        };
        for (const QString &row : made) {
            const QStringList v = row.split(u'|');
            source.appendReminder(v[0], {*ScrambleText(v[3], u"1"_s), v[4], v[2], v[1]});
        }
        const CalendarWriter::Result file =
            CalendarWriter::write(*source.allLiveReminders(), clock.now());
        QCOMPARE(file.written, made.size());
        for (const char *line :
             {"DTSTART;VALUE=DATE:20261231\r\nSUMMARY:Phone bill\r\nRRULE:FREQ=MONTHLY\r\n",
              "DTSTART:20280229T120000\r\nSUMMARY:Leap-day party\r\nRRULE:FREQ=YEARLY\r\n",
              "X-PINGALO-RECURRENCE:Monthly Reminder\r\n", "ACTION:DISPLAY\r\nTRIGGER:PT0S\r\n"})
            QVERIFY2(file.text.contains(line), line);

        MemorySettingsStore to;
        ReminderStore target(to);
        CalendarImport::import(file.text, target);
        QCOMPARE(reminders(target), made);
        QCOMPARE(CalendarWriter::write(*target.allLiveReminders(), clock.now()).text, file.text);
        CalendarImport::Report report = CalendarImport::import(file.text, target);
        QCOMPARE(report.added, 0);
        QCOMPARE(report.skipped, (Skips{{AlreadyThere, int(made.size())}}));
        QCOMPARE(reminderStoreViolation(to), QString());

        // Read later, our rule moves each on as the program would have:
        // 31 January carries to 3 March, 29 February to 1 March.
        clock.set(QDateTime(QDate(2028, 2, 10), QTime(10, 0)));
        MemorySettingsStore later;
        ReminderStore moved(later);
        report = CalendarImport::import(file.text, moved);
        QCOMPARE(report.skipped, (Skips{{Past, 1}}));
        QCOMPARE(reminders(moved).join(u'#'),
                 u"2/11/2028|9:00:00 AM|Daily Reminder|Pills|Sounds#"
                 u"2/11/2028|9:00:00 AM|Daily Reminder|Pills|Sounds#"
                 u"2/11/2028|7:15:00 AM|Weekly Reminder|Bins out\nthe blue one, too|CUCKOO_LOOP#"
                 u"3/3/2028|8:00:00 PM|Monthly Reminder|Rent; 31st, \"always\"|Sounds#"
                 u"3/3/2028||Bill Reminder|Phone bill|Sounds#"
                 u"2/29/2028|12:00:00 PM|Annual Reminder|Leap-day party|SIREN#"
                 u"3/5/2028|6:30:00 PM|Bill Reminder|Water bill|HEY_1"_s);
        clock.set(QDateTime(QDate(2028, 3, 1), QTime(10, 0)));
        CalendarImport::import(file.text, moved);
        QVERIFY(reminders(moved).contains(
            u"3/1/2029|12:00:00 PM|Annual Reminder|Leap-day party|SIREN"_s));
    }
};

PINGALO_TEST(TstCalendar)
#include "tst_calendar.moc"
