// pingalo-ctl's commands: what they refuse and how, adding, listing and
// deleting as the windows do, the password, and an export that cannot be written.
#include "StoreInvariants.h"
#include "TestClock.h"
#include "TestFiles.h"
#include "TestRegistry.h"
#include "core/store/MemorySettingsStore.h"
#include "core/store/ProgramSettings.h"
#include "core/store/ScrambleText.h"
#include "ctl/Ctl.h"
#include "ctl/TerminalPassword.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <unistd.h>

namespace {

struct Ran {
    int code;
    QString out;
    QString err;
};

// Runs a command line, its words split as a shell splits them.
Ran ctl(SettingsStore &store, const QString &line, const QByteArray &input = {},
        const std::function<std::optional<QString>(const QString &)> &ask = {}, int width = 0)
{
    QBuffer in, out, err;
    in.setData(input);
    in.open(QIODevice::ReadOnly);
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    const int code = Ctl(store, {in, out, err, ask, width}).run(QProcess::splitCommand(line));
    return {code, QString::fromUtf8(out.data()), QString::fromUtf8(err.data())};
}

} // namespace

class TstCtl : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void refusesAddsListsAndDeletesAsTheWindowsDoAndAPasswordGuardsThem()
    {
        const TestClock clock(QDateTime(QDate(2026, 12, 6), QTime(10, 0, 30)));
        MemorySettingsStore settings;
        const QString readme = PINGALO_SOURCE_DIR "/README.md"_L1;
        const struct {
            QString arguments;
            int code;
            QString says;
        } cases[] = {
            // clang-format off
            {u""_s, 2, u"a command is needed"_s},
            {u"add -t 11:00"_s, 2, u"the note is missing"_s},
            {u"add Tea"_s, 2, u"--time is needed"_s},
            {u"add -d 13/32/2026 -t 11:00 Tea"_s, 1, u"not a day"_s},
            {u"add -t 25:70 Tea"_s, 1, u"not a time"_s},
            {u"add -r hourly -t 11:00 Tea"_s, 1, u"not a recurrence"_s},
            {u"add -t 9:59 Tea"_s, 1, u"past dates, or times: 12/6/2026 9:59"_s},
            {u"add -t 11:00 -s KAZOO Tea"_s, 1, u"Please select a sound"_s},
            {u"add -t 11:00 Snow\u2603"_s, 1, u"kept. Its character 5, \u201C\u2603\u201D, is not one of Windows-1252"_s},
            {u"add -t 11:00 -"_s, 1, u"note is empty"_s}, // from empty standard input
            {u"delete 12/7/2026 0"_s, 1, u"is not a reminder's number"_s},
            {u"delete 12/7/2026 1"_s, 1, u"no reminder number 1 waits"_s},
            {u"export a b"_s, 2, u"one file"_s},
            {u"import "_s + readme, 1, u"not an iCalendar file"_s},
            {u"sync"_s, 1, u"no calendar folder is set"_s},
            {u"sync --off --folder x"_s, 2, u"sync takes --folder DIR, or --off"_s},
            {u"sync --folder /proc/x"_s, 1, u"cannot use /proc/x as the calendar folder"_s},
            // clang-format on
        };
        for (const auto &c : cases) {
            const Ran ran = ctl(settings, c.arguments);
            QVERIFY2(ran.code == c.code && ran.err.contains(c.says) && ran.out.isEmpty(),
                     qPrintable(c.arguments + u" → "_s + ran.err));
        }
        QCOMPARE(ReminderStore(settings).allLiveReminders()->size(), 0);
        QCOMPARE(ctl(settings, u"sync --off"_s).out, u"The calendar folder is off.\n"_s);
        for (const QString &command :
             {u"add"_s, u"list"_s, u"delete"_s, u"export"_s, u"import"_s, u"sync"_s})
            QVERIFY(ctl(settings, command + u" --help"_s)
                        .out.startsWith(u"Usage: pingalo-ctl "_s + command + u' '));

        // Adding, listing and deleting as the windows do.
        QCOMPARE(ctl(settings, u"add -t \"2:30 pm\" -s beep Call Ann"_s).out,
                 u"Reminder is set for: 12/6/2026 2:30:00 PM (number 1 of the day)\n"_s);
        QCOMPARE(ctl(settings, u"add -t 14:30 -"_s, "Two\nlines\n").code, 0);
        QCOMPARE(ctl(settings, u"add -d 2027-01-31 -r bill Rent"_s).code, 0);
        QCOMPARE(ctl(settings, u"add -d FRI -t 1530 Tea"_s).out, // Sunday's next Friday
                 u"Reminder is set for: 12/11/2026 3:30:00 PM (number 1 of the day)\n"_s);
        QCOMPARE(ctl(settings, u"add -d +1w -t 8.15 Tea with a very long note indeed"_s).code, 0);
        QCOMPARE(ctl(settings, u"delete 2026-12-06 1"_s).out,
                 u"Deleted number 1 of 12/6/2026: Call Ann\n"_s);
        QCOMPARE(*ReminderStore(settings).numViewed(u"12/6/2026"_s), 1);

        // By day and time, with ISO 8601 beside the stored texts; the table cut to the terminal.
        const QJsonArray all =
            QJsonDocument::fromJson(ctl(settings, u"list --json"_s).out.toUtf8()).array();
        QCOMPARE(QJsonDocument(QJsonArray{all.first(), all.last()}).toJson(QJsonDocument::Compact),
                 R"([{"day":"12/6/2026","note":"Two\nlines","recurrence":"One-Time Reminder",)"
                 R"("slot":2,"sound":null,"start":"2026-12-06T14:30:00","time":"2:30:00 PM"},)"
                 R"({"date":"2027-01-31","day":"1/31/2027","note":"Rent","recurrence":"Bill )"
                 R"(Reminder","slot":1,"sound":null,"time":null}])");
        QCOMPARE(ctl(settings, u"list"_s, {}, {}, 70).out,
                 u"Date        Time        Num  Type               Reminder        Sound\n"
                 u"12/6/2026   2:30:00 PM  2    One-Time Reminder  Two\u21B5 lines      Sounds\n"
                 u"12/11/2026  3:30:00 PM  1    One-Time Reminder  Tea             Sounds\n"
                 u"12/13/2026  8:15:00 AM  1    One-Time Reminder  Tea with a ve\u2026  Sounds\n"
                 u"1/31/2027               1    Bill Reminder      Rent            Sounds\n"_s);
        const QByteArray party = "BEGIN:VCALENDAR\nBEGIN:VTODO\nDUE:20261220T100000\nSUMMARY:Party";
        QCOMPARE(ctl(settings, u"import -"_s, party + "\nEND:VTODO\nEND:VCALENDAR").out,
                 u"Added 1 reminder.\n"_s);
        QCOMPARE(reminderStoreViolation(settings), QString());

        // With a password, reading and deleting ask for it; adding does not.
        ProgramSettings(settings).setStoredPassword(*ScrambleText(u"Open Sesame"_s, u"1"_s));
        QCOMPARE(ctl(settings, u"add -t 11:00 Tea"_s).code, 0);
        const auto typed = [](const QString &text) {
            return [text](const QString &) { return std::optional<QString>(text); };
        };
        QVERIFY(ctl(settings, u"list"_s).err.contains(u"--password-stdin"_s));
        QCOMPARE(ctl(settings, u"list --password-stdin"_s, "open sesame\n").err,
                 u"pingalo-ctl: The password you entered is incorrect.\n"_s);
        QCOMPARE(ctl(settings, u"list"_s, {}, typed(u"Open Sesame "_s)).code, 1);
        QVERIFY(ctl(settings, u"list"_s, {}, typed(u"Open Sesame"_s)).out.contains(u"Tea"_s));
        QCOMPARE(ctl(settings, u"delete 12/6/2026 3"_s).code, 1);
        QVERIFY(ctl(settings, u"delete 12/6/2026 3 --password-stdin"_s, "Open Sesame\r\n")
                    .out.contains(u"Tea"_s));
        // An exported file is as private as the store, whatever it was before.
        QTemporaryDir dir;
        const QString exported = dir.filePath(u"notes.ics"_s);
        writeFile(exported, "everyone may read this");
        QFile::setPermissions(exported, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        QCOMPARE(ctl(settings, u"export --password-stdin "_s + exported, "Open Sesame\n").code, 0);
        QCOMPARE(QFile::permissions(exported) & ~(QFile::ReadUser | QFile::WriteUser),
                 QFile::ReadOwner | QFile::WriteOwner);
        // A note damaged in the store is left out of an export, which says so.
        settings.save(ReminderStore::recordSection(u"12/11/2026"_s, 1), u"Reminder"_s, u"\u0001"_s);
        const Ran damaged = ctl(settings, u"export --password-stdin"_s, "Open Sesame\n");
        QCOMPARE(
            QString::number(damaged.code) + damaged.err.section(u';', 0, 0),
            u"1pingalo-ctl: left out 1 reminder damaged in the store (number 1 of 12/11/2026)"_s);
    }

    void aPasswordTypedAtTheTerminalIsItsFirstLine()
    {
        // An empty line is an empty password; the end of input before a line is none.
        const std::pair<QByteArray, std::optional<QString>> cases[] = {
            {"Open Sesame\nlist\n", u"Open Sesame"_s}, {"\n", QString()}, {"", std::nullopt}};
        const int terminal = ::dup(STDIN_FILENO);
        for (const auto &[typed, password] : cases) {
            int ends[2];
            QVERIFY(::pipe(ends) == 0 && ::write(ends[1], typed.data(), typed.size()) >= 0);
            ::close(ends[1]);
            ::dup2(ends[0], STDIN_FILENO);
            ::close(ends[0]);
            QCOMPARE(askPasswordOnTerminal(u"Password: "_s), password);
        }
        ::dup2(terminal, STDIN_FILENO);
        ::close(terminal);
    }

    void anExportThatCannotBeWrittenSaysWhy()
    {
        QTemporaryDir dir;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"PINGALO_STORE"_s, dir.filePath(u"store.db"_s));
        QProcess full;
        full.setProcessEnvironment(environment);
        full.setStandardOutputFile(u"/dev/full"_s);
        full.start(PINGALO_CTL ""_L1, {u"export"_s});
        QVERIFY(full.waitForFinished() && full.exitCode() == 1);
        QVERIFY(full.readAllStandardError().contains("standard output: No space left"));
    }
};

PINGALO_TEST(TstCtl)
#include "tst_ctl.moc"
