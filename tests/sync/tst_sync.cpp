// The calendar folder's merge rules, one row each, from the same start: our
// reminders A (once) and W (weekly) and another program's item T (with an
// alarm) and event E (without) merged once; then one side changes, and a
// second merge must leave both sides as the row says.
#include "TestClock.h"
#include "TestFiles.h"
#include "TestRegistry.h"
#include "core/store/MemorySettingsStore.h"
#include "core/store/ProgramSettings.h"
#include "core/store/ScrambleText.h"
#include "core/store/TextForms.h"
#include "sync/CalendarSync.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

QByteArray theirs(const char *uid, const char *summary, const char *start, bool alarm = true,
                  const char *more = "")
{
    return QByteArray(
               "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//EN\r\nBEGIN:VEVENT\r\nUID:") +
           uid + "\r\nDTSTAMP:20261201T000000Z\r\nDTSTART:" + start + "\r\nSUMMARY:" + summary +
           "\r\n" + more +
           (alarm ? "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:PT0S\r\nEND:VALARM\r\n" : "") +
           "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

struct SyncFixture {
    SyncFixture()
    {
        QString error;
        QVERIFY(sync.setFolder(folder, &error));
        store.appendReminder(u"12/5/2026"_s, {*ScrambleText(u"A"_s, u"1"_s), u"BEEP"_s,
                                              u"One-Time Reminder"_s, u"9:00:00 AM"_s});
        store.appendReminder(u"12/5/2026"_s, {*ScrambleText(u"W"_s, u"1"_s), u"Sounds"_s,
                                              u"Weekly Reminder"_s, u"10:00:00 AM"_s});
        put(u"t.ics"_s, theirs("t@phone", "T", "20261206T080000"));
        put(u"e.ics"_s, theirs("e@phone", "E", "20261206T120000", false));
        QCOMPARE(sync.merge().lines(), QStringList({u"Added 1 reminder from the calendar folder."_s,
                                                    u"Wrote 2 items to the calendar folder."_s}));
    }

    void put(const QString &name, const QByteArray &text) { writeFile(folder + u'/' + name, text); }
    // The file that holds a summary.
    QString fileOf(const QString &summary) const
    {
        for (const QString &name : QDir(folder).entryList({u"*.ics"_s}))
            if (readFile(folder + u'/' + name)
                    .contains(QByteArray("SUMMARY:" + summary.toUtf8() + "\r\n")))
                return folder + u'/' + name;
        return QString();
    }
    LiveReminder reminder(const QString &note) const
    {
        for (const LiveReminder &r : store.allLiveReminders().value_or(QList<LiveReminder>()))
            if (r.record.shownNote() == note)
                return r;
        return {};
    }
    // "note day time" of every reminder.
    QStringList reminders() const
    {
        QStringList out;
        for (const LiveReminder &r : store.allLiveReminders().value_or(QList<LiveReminder>()))
            out << r.record.shownNote() + u' ' + r.day + u' ' + r.record.time;
        out.sort();
        return out;
    }
    // "summary start" of every item, "answered" after those marked answered.
    QStringList items() const
    {
        QStringList out;
        static const QRegularExpression summary(u"SUMMARY:(.*)\r\n"_s), start(u"DTSTART:(\\S+)"_s);
        for (const QString &name : QDir(folder).entryList({u"*.ics"_s})) {
            const QString text = QString::fromUtf8(readFile(folder + u'/' + name));
            out << summary.match(text).captured(1) + u' ' + start.match(text).captured(1) +
                       (text.contains(u"ACKNOWLEDGED:"_s) ? u" answered"_s : QString());
        }
        out.sort();
        return out;
    }

    QTemporaryDir dir;
    const QString folder = dir.filePath(u"calendar"_s);
    TestClock clock{QDateTime(QDate(2026, 12, 4), QTime(10, 0))};
    MemorySettingsStore settings;
    ReminderStore store{settings};
    ProgramSettings program{settings};
    CalendarSync sync{store, program};
};

// Deletes a reminder as the list does.
void deleteReminder(SyncFixture &f, const QString &note)
{
    const LiveReminder r = f.reminder(note);
    f.store.deleteListed(r.day, r.slot, r.record);
}

// Fires a reminder at its minute as the scheduler does (moved on or consumed), then
// answers it.
void answer(SyncFixture &f, const QString &note, const QString &nextDay)
{
    const LiveReminder r = f.reminder(note);
    f.clock.set(*TextForms::parseMoment(r.day + u' ' + r.record.time));
    if (!nextDay.isEmpty())
        f.store.appendCopy(nextDay, r.record);
    f.store.consumeSlot(r.day, r.slot, 0);
    f.sync.acknowledge(r.record.uid, Clock::now());
}

} // namespace

class TstSync : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void mergeRules()
    {
        const QStringList start = {u"A 12/5/2026 9:00:00 AM"_s, u"T 12/6/2026 8:00:00 AM"_s,
                                   u"W 12/5/2026 10:00:00 AM"_s};
        const QStringList items = {u"A 20261205T090000"_s, u"E 20261206T120000"_s,
                                   u"T 20261206T080000"_s, u"W 20261205T100000"_s};
        const auto with = [](QStringList list, const QString &out, const QString &in) {
            list.removeAll(out);
            if (!in.isEmpty())
                list << in;
            list.sort();
            return list;
        };
        const struct {
            const char *row;
            std::function<void(SyncFixture &)> change;
            QStringList reminders, items;
        } rows[] = {
            {"nothing changed", [](SyncFixture &) {}, start, items},
            {"changed in the folder",
             [](SyncFixture &f) { f.put(u"t.ics"_s, theirs("t@phone", "T2", "20261207T080000")); },
             with(start, u"T 12/6/2026 8:00:00 AM"_s, u"T2 12/7/2026 8:00:00 AM"_s),
             with(items, u"T 20261206T080000"_s, u"T2 20261207T080000"_s)},
            {"deleted in the folder", [](SyncFixture &f) { QFile::remove(f.fileOf(u"A"_s)); },
             with(start, u"A 12/5/2026 9:00:00 AM"_s, {}), with(items, u"A 20261205T090000"_s, {})},
            {"deleted in the store", [](SyncFixture &f) { deleteReminder(f, u"A"_s); },
             with(start, u"A 12/5/2026 9:00:00 AM"_s, {}), with(items, u"A 20261205T090000"_s, {})},
            {"another program's deleted in the store: its item stays",
             [](SyncFixture &f) { deleteReminder(f, u"T"_s); },
             with(start, u"T 12/6/2026 8:00:00 AM"_s, {}), items},
            {"changed on both sides: the store's change is the later",
             [](SyncFixture &f) {
                 f.put(QFileInfo(f.fileOf(u"W"_s)).fileName(),
                       readFile(f.fileOf(u"W"_s)).replace("SUMMARY:W", "SUMMARY:W2"));
                 answer(f, u"W"_s, u"12/12/2026"_s);
             },
             with(start, u"W 12/5/2026 10:00:00 AM"_s, u"W 12/12/2026 10:00:00 AM"_s),
             with(items, u"W 20261205T100000"_s, u"W 20261212T100000 answered"_s)},
            {"deleted in the store, changed in the folder: the change wins",
             [](SyncFixture &f) {
                 deleteReminder(f, u"T"_s);
                 f.put(u"t.ics"_s, theirs("t@phone", "T", "20261206T090000"));
             },
             with(start, u"T 12/6/2026 8:00:00 AM"_s, u"T 12/6/2026 9:00:00 AM"_s),
             with(items, u"T 20261206T080000"_s, u"T 20261206T090000"_s)},
            {"deleted in the folder, changed in the store: the change wins",
             [](SyncFixture &f) {
                 QFile::remove(f.fileOf(u"W"_s));
                 answer(f, u"W"_s, u"12/12/2026"_s);
             },
             with(start, u"W 12/5/2026 10:00:00 AM"_s, u"W 12/12/2026 10:00:00 AM"_s),
             with(items, u"W 20261205T100000"_s, u"W 20261212T100000 answered"_s)},
            {"ours answered once: its item goes", [](SyncFixture &f) { answer(f, u"A"_s, {}); },
             with(start, u"A 12/5/2026 9:00:00 AM"_s, {}), with(items, u"A 20261205T090000"_s, {})},
            {"another program's answered: only marked",
             [](SyncFixture &f) { answer(f, u"T"_s, {}); },
             with(start, u"T 12/6/2026 8:00:00 AM"_s, {}),
             with(items, u"T 20261206T080000"_s, u"T 20261206T080000 answered"_s)},
            {"a weekly series answered elsewhere: its next occurrence",
             [](SyncFixture &f) {
                 f.put(u"t.ics"_s,
                       theirs("t@phone", "T", "20261206T080000", true,
                              "RRULE:FREQ=WEEKLY\r\nX-MOZ-LASTACK:20261206T080000Z\r\n"));
             },
             with(start, u"T 12/6/2026 8:00:00 AM"_s, u"T 12/13/2026 8:00:00 AM"_s), items},
            {"an event gains an alarm",
             [](SyncFixture &f) { f.put(u"e.ics"_s, theirs("e@phone", "E", "20261206T120000")); },
             with(start, {}, u"E 12/6/2026 12:00:00 PM"_s), items},
        };
        for (const auto &row : rows) {
            SyncFixture f;
            row.change(f);
            f.sync.merge();
            QVERIFY2(f.reminders() == row.reminders,
                     qPrintable(row.row + u": "_s + f.reminders().join(u", "_s)));
            QVERIFY2(f.items() == row.items,
                     qPrintable(row.row + u": "_s + f.items().join(u", "_s)));
            // A second merge finds nothing more to do.
            QVERIFY2(f.sync.merge().lines().isEmpty(), row.row);
        }
    }

    void damagedFilesAndAMissingFolderLoseNothing()
    {
        SyncFixture f;
        // The folder and what the program writes there are its user's alone.
        const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                            QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFile::permissions(f.folder) & others, 0);
        QCOMPARE(QFile::permissions(f.fileOf(u"A"_s)) & others, 0);
        const QString t = f.fileOf(u"T"_s);
        const QStringList reminders = f.reminders();
        // Damaged: said once, never deleted, and its reminder stays.
        for (const QByteArray &bad : {QByteArray("garbage"), theirs("t@phone", "\xff\xfe", "x")}) {
            writeFile(t, bad);
            writeFile(f.folder + u"/new.ics"_s, bad);
            QCOMPARE(f.sync.merge().fresh.size(), 2);
            QCOMPARE(f.sync.merge().fresh.size(), 0);
            QCOMPARE(f.reminders(), reminders);
        }
        QVERIFY(QFile::exists(t) && QFile::exists(f.folder + u"/new.ics"_s));
        // Gone (a disk not mounted): nothing happens.
        QVERIFY(QDir(f.folder).removeRecursively());
        QVERIFY(!f.sync.merge().folderThere);
        QCOMPARE(f.reminders(), reminders);
    }
};

PINGALO_TEST(TstSync)
#include "tst_sync.moc"
