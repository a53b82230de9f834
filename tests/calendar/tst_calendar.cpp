// Calendar files in: a table of what calendar programs write and of what no
// file may do to the reader; a hand-written file with a VTIMEZONE, alarms,
// to-dos and what cannot come in; then our own files out and in, every
// recurrence back exactly, found again by UID after they moved on.
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

// A calendar of these parts imported into an empty store: the reminders,
// then how many came once only and what was skipped, or the refusal.
QString imported(const QString &parts)
{
    static const char *const skips[] = {"there",   "past",     "no moment", "zone",
                                        "no note", "not held", "cancelled", "too much"};
    MemorySettingsStore settings;
    ReminderStore store(settings);
    const CalendarImport::Report report = CalendarImport::import(
        (u"BEGIN:VCALENDAR\nVERSION:2.0\n"_s + parts + u"END:VCALENDAR\n"_s).toUtf8(), store);
    QString said = report.refusal.isEmpty() ? reminders(store).join(u'#') : report.refusal;
    if (report.repeatDropped > 0)
        said += u" +once %1"_s.arg(report.repeatDropped);
    for (auto it = report.skipped.cbegin(); it != report.skipped.cend(); ++it)
        said += u" +%1 %2"_s.arg(QLatin1StringView(skips[int(it.key())])).arg(it.value());
    return said;
}

using Skips = QMap<CalendarSkip, int>;

} // namespace

class TstCalendar : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void whatCalendarProgramsWriteAndWhatNoFileMayDo()
    {
        const TestClock clock(QDateTime(QDate(2026, 12, 6), QTime(10, 0)));
        const QString longLine = u"a"_s.repeated(300'000);
        const struct {
            const char *what;
            QString parts;
            QString comesIn;
        } cases[] = {
            // clang-format off
            {"a zone changing every minute since 1601 is cut to its changes; a huge attachment is left unread",
             u"BEGIN:VTIMEZONE\nTZID:Evil\nBEGIN:STANDARD\nDTSTART:16010101T000000\nRRULE:FREQ=MINUTELY\n"
             "TZOFFSETFROM:+0100\nTZOFFSETTO:+0000\nEND:STANDARD\nBEGIN:DAYLIGHT\nDTSTART:16010101T000030\n"
             "RRULE:FREQ=HOURLY\nTZOFFSETFROM:+0000\nTZOFFSETTO:+0100\nEND:DAYLIGHT\nEND:VTIMEZONE\n"
             "BEGIN:VEVENT\nDTSTART;TZID=Evil:20270101T100000\nSUMMARY:Evil zone\nATTACH:"_s + longLine +
             u"\nEND:VEVENT\n"_s,
             u"1/1/2027|10:00:00 AM|One-Time Reminder|Evil zone|Sounds"_s},
            {"parts nested deeper than a calendar needs", u"BEGIN:VEVENT\n"_s.repeated(8),
             u"its parts are nested more than 8 deep (at line 10), deeper than any calendar needs"_s},
            {"a line no calendar writes", u"BEGIN:VEVENT\nSUMMARY:"_s + longLine + u"\nEND:VEVENT\n"_s,
             u"its line 4 is 300,009 bytes long, and no line of a calendar is read past 262,144 bytes"_s},
            {"rules walked from 1970 a billion times: counted out, or past the work of one file",
             u"BEGIN:VEVENT\nDTSTART:19700101T000000Z\nRRULE:FREQ=SECONDLY;COUNT=1000000000\nSUMMARY:s\n"
             "END:VEVENT\n"_s.repeated(1000) +
             u"BEGIN:VEVENT\nDTSTART:19700101T000000\nRRULE:FREQ=DAILY;BYHOUR=0,3,6,9,12,15,18,21;"
             "COUNT=1000000000\nSUMMARY:d\nEND:VEVENT\n"_s.repeated(1000),
             u" +past 1000 +too much 1000"_s},
            {"2:30 on the night that skips it; an open to-do due ahead; an alarm past the last day; "
             "a note of blanks; cancelled, done",
             u"BEGIN:VEVENT\nDTSTART:20270328T023000\nSUMMARY:Spring gap\nEND:VEVENT\nBEGIN:VTODO\n"
             "DTSTART:20261201T090000\nDUE:20261210T170000\nSUMMARY:Open\nEND:VTODO\nBEGIN:VEVENT\n"
             "DTSTART:20261210T090000\nSUMMARY:   \nEND:VEVENT\nBEGIN:VEVENT\nDTSTART:20261210T090000\n"
             "STATUS:CANCELLED\nSUMMARY:Off\nEND:VEVENT\nBEGIN:VTODO\nDUE:20261210T090000\nSTATUS:COMPLETED\n"
             "SUMMARY:Done\nEND:VTODO\nBEGIN:VEVENT\nDTSTART:99991230T090000\nSUMMARY:Late\nBEGIN:VALARM\n"
             "ACTION:DISPLAY\nTRIGGER:P1W\nEND:VALARM\nEND:VEVENT\n"_s,
             u"3/28/2027|2:30:00 AM|One-Time Reminder|Spring gap|Sounds#"
             "12/10/2026|5:00:00 PM|One-Time Reminder|Open|Sounds +no moment 1 +no note 1 +cancelled 2"_s},
            // clang-format on
        };
        for (const auto &c : cases) {
            const QString got = imported(c.parts);
            QVERIFY2(got == c.comesIn, qPrintable(c.what + u": "_s + got));
        }
    }

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
                 u"1/15/2027|2:45:00 PM|One-Time Reminder|Annual Employee Review|Sounds#"
                 u"3/1/2027|1:00:00 PM|One-Time Reminder|Laurel is in sensitivity awareness "
                 u"class.\nRoom 12, second floor|Sounds#"
                 u"7/4/2027|10:00:00 PM|One-Time Reminder|Submit Quebec Income Tax Return "
                 u"for 2026|Sounds#"
                 u"6/12/2027|12:00:00 AM|Annual Reminder|Our Blissful Anniversary|Sounds"_s);
        // New York's weekly review: 1:45 PM here while only one side is on summer time.
        QCOMPARE(handWritten.repeatDropped, 2);
        QVERIFY(handWritten.noteNotHeld.contains(u"\u2603 day\u201D: Its character 9, "_s));
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
            u"3/28/2027|2:30:00 AM|One-Time Reminder|Spring gap|Sounds"_s, // a skipped hour
        };
        for (const QString &row : made) {
            const QStringList v = row.split(u'|');
            source.appendReminder(v[0], {*ScrambleText(v[3], u"1"_s), v[4], v[2], v[1]});
        }
        const CalendarWriter::Result file =
            CalendarWriter::write(*source.allLiveReminders(), clock.now());
        QCOMPARE(file.written, made.size());
        // Each is given a UID, which the store keeps.
        QVERIFY(file.named.size() == made.size() && source.keepUids(file.named) &&
                CalendarWriter::write(*source.allLiveReminders(), clock.now()).named.isEmpty());
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
        // Changed in the file, the reminder of its UID is changed, not doubled.
        report = CalendarImport::import(
            QByteArray(file.text).replace("Fetch the goose", "Fetch the turkey"), target);
        QVERIFY(report.updated == 1 && reminders(target).first().contains(u"|Fetch the turkey|"_s));
        QCOMPARE(reminderStoreViolation(to), QString());

        // Read later (moving a recurrence on past today: the differential test), each is
        // found again by UID however far it moved on since: nothing is added.
        clock.set(QDateTime(QDate(2028, 2, 10), QTime(10, 0)));
        report = CalendarImport::import(file.text, target);
        QCOMPARE(report.added + report.updated, 0);
        QCOMPARE(report.skipped, (Skips{{AlreadyThere, int(made.size()) - 1}, {Past, 1}}));
    }
};

PINGALO_TEST(TstCalendar)
#include "tst_calendar.moc"
