#include "ctl/Ctl.h"

#include "calendar/CalendarImport.h"
#include "calendar/CalendarWriter.h"
#include "core/scheduler/Recurrence.h"
#include "core/scheduler/ReminderCreation.h"
#include "core/store/ProgramSettings.h"
#include "core/store/ReminderStore.h"
#include "core/store/SoundNames.h"
#include "core/store/TextForms.h"
#include "core/system/Clock.h"
#include "ctl/CtlHelp.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <tuple>

namespace {

const QString kStandardStream = QStringLiteral("-");
// A calendar file larger than this is refused rather than read into memory.
constexpr qint64 kMostCalendarBytes = 64 * 1024 * 1024;

const QCommandLineOption kHelp(QStringList{QStringLiteral("h"), QStringLiteral("help")});
const QCommandLineOption kPasswordStdin(QStringLiteral("password-stdin"));

QString quoted(const QString &text)
{
    return QStringLiteral("\u201C") + text + QStringLiteral("\u201D");
}

// A day as a person types it on a command line.
std::optional<QDate> dayOf(const QString &text)
{
    const QString word = text.trimmed().toLower();
    const QDate today = Clock::today();
    if (word == QLatin1String("today"))
        return today;
    if (word == QLatin1String("tomorrow"))
        return today.addDays(1);
    static const QRegularExpression later(QStringLiteral("^\\+(\\d{1,5})([dw])$"));
    if (const auto m = later.match(word); m.hasMatch())
        return today.addDays(m.captured(1).toLongLong() * (m.captured(2) == u'w' ? 7 : 1));
    // A weekday's name: the next such day, a week on when it is today's.
    for (int weekday = 1; weekday <= 7; ++weekday) {
        const QString name = QLocale::c().dayName(weekday).toLower();
        if (word == name || word == name.left(3))
            return today.addDays((weekday - today.dayOfWeek() + 6) % 7 + 1);
    }
    static const QRegularExpression iso(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (iso.match(word).hasMatch()) {
        const QDate day = QDate::fromString(word, Qt::ISODate);
        if (day.isValid() && !TextForms::dayKey(day).isEmpty())
            return day;
        return std::nullopt;
    }
    return TextForms::parseDate(text);
}

// A time of day as a person types it: 3:05 PM, 15:05, 1505 or 15.05.
std::optional<QTime> timeOf(QString text)
{
    static const QRegularExpression compact(QStringLiteral("^(\\d{1,2})(\\d\\d)$"));
    if (const auto m = compact.match(text.trimmed()); m.hasMatch())
        text = m.captured(1) + QLatin1Char(':') + m.captured(2);
    return TextForms::parseTime(text.replace(QLatin1Char('.'), QLatin1Char(':')));
}

// "1 reminder", "2 reminders".
QString reminders(qsizetype count)
{
    return QStringLiteral("%1 reminder").arg(count) + QLatin1String(count == 1 ? "" : "s");
}

// The recurrence name for a word of the command line or the name itself.
QString recurrenceOf(const QString &word)
{
    static const QStringList words = {QStringLiteral("once"),   QStringLiteral("daily"),
                                      QStringLiteral("weekly"), QStringLiteral("monthly"),
                                      QStringLiteral("annual"), QStringLiteral("bill")};
    const qsizetype at = words.indexOf(word.toLower());
    if (at >= 0)
        return Recurrence::names().at(at);
    if (word.compare(QLatin1String("yearly"), Qt::CaseInsensitive) == 0)
        return Recurrence::kAnnual;
    return Recurrence::names().contains(word) ? word : QString();
}

// A note as the list viewer shows it on one line.
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\u21B5 "));
    text.replace(QLatin1Char('\n'), QStringLiteral("\u21B5 "));
    return text.replace(QLatin1Char('\r'), QStringLiteral("\u21B5 "));
}

// Rows in columns; the note (the fifth column) is cut to keep each line
// within `width` columns, when that is not 0.
QString table(QList<QStringList> rows, int width)
{
    QList<qsizetype> widths(rows.first().size(), 0);
    for (const QStringList &row : rows)
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    qsizetype total = widths.size() * 2 - 2;
    for (qsizetype w : widths)
        total += w;
    if (width > 0 && total > width) {
        widths[4] = std::max<qsizetype>(widths[4] - (total - width), 8);
        for (QStringList &row : rows)
            if (row[4].size() > widths[4])
                row[4] = row[4].left(widths[4] - 1) + QStringLiteral("\u2026");
    }
    QString text;
    for (const QStringList &row : rows) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? row[i].leftJustified(widths[i] + 2) : row[i];
        line = line.trimmed();
        text += (width > 0 ? line.left(width) : line) + QLatin1Char('\n');
    }
    return text;
}

// Reminders by day and time (a day's bill reminders, due all day, first),
// then by number; days that cannot be read at the end.
void sortByMoment(QList<LiveReminder> &live)
{
    const auto key = [](const LiveReminder &r) {
        const auto day = TextForms::parseDate(r.day);
        const auto time = TextForms::parseTime(r.record.time);
        return std::tuple(!day, day ? day->toJulianDay() : 0,
                          time ? time->msecsSinceStartOfDay() + 1 : 0, r.slot);
    };
    std::stable_sort(live.begin(), live.end(),
                     [&](const LiveReminder &a, const LiveReminder &b) { return key(a) < key(b); });
}

} // namespace

Ctl::Ctl(SettingsStore &settings, const Io &io)
    : m_settings(settings)
    , m_io(io)
{
}

void Ctl::say(const QString &text)
{
    m_io.out.write((text + QLatin1Char('\n')).toUtf8());
}

int Ctl::refuse(const QString &text)
{
    m_io.err.write((QStringLiteral("pingalo-ctl: ") + text + QLatin1Char('\n')).toUtf8());
    return Refused;
}

int Ctl::usage(const QString &command, const QString &problem)
{
    const QString more = command.isEmpty() ? QStringLiteral("pingalo-ctl --help")
                                           : QStringLiteral("pingalo-ctl %1 --help").arg(command);
    m_io.err.write(QStringLiteral("pingalo-ctl: %1\nSee %2.\n").arg(problem, more).toUtf8());
    return Usage;
}

int Ctl::run(const QStringList &arguments)
{
    const QString command = arguments.value(0);
    const QStringList rest = arguments.mid(1);
    if (command.isEmpty())
        return usage(QString(), QStringLiteral("a command is needed: add, list, delete, export, "
                                               "import or sync"));
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
        const QString help = CtlHelp::of(rest.value(0));
        m_io.out.write((help.isEmpty() ? CtlHelp::general() : help).toUtf8());
        return Done;
    }
    if (command == QLatin1String("--version")) {
        say(QStringLiteral("pingalo-ctl " PINGALO_VERSION));
        return Done;
    }
    if (command == QLatin1String("list"))
        return list(rest);
    if (command == QLatin1String("sync"))
        return sync(rest);
    using Command = int (Ctl::*)(const QStringList &);
    static const QList<std::pair<QString, Command>> changing = {
        {QStringLiteral("add"), &Ctl::add},
        {QStringLiteral("delete"), &Ctl::remove},
        {QStringLiteral("export"), &Ctl::exportCalendar}, // gives UIDs to those without
        {QStringLiteral("import"), &Ctl::importCalendar},
    };
    for (const auto &[name, run] : changing)
        if (command == name) {
            const int code = (this->*run)(rest);
            if (code == Done)
                mirror();
            return code;
        }
    return usage(QString(), QStringLiteral("there is no command %1").arg(quoted(command)));
}

int Ctl::parse(QCommandLineParser &parser, const QString &command, const QStringList &arguments)
{
    parser.addOption(kHelp);
    if (!parser.parse(QStringList(command) + arguments))
        return usage(command, parser.errorText());
    if (parser.isSet(kHelp)) {
        m_io.out.write(CtlHelp::of(command).toUtf8());
        return -1;
    }
    return Done;
}

bool Ctl::passwordGiven(const QCommandLineParser &parser)
{
    const ProgramSettings settings(m_settings);
    const auto stored = settings.storedPassword();
    if (!stored) {
        refuse(QStringLiteral("the store cannot be read"));
        return false;
    }
    if (stored->isEmpty())
        return true;
    std::optional<QString> typed;
    if (parser.isSet(kPasswordStdin)) {
        QByteArray line = m_io.in.readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        typed = QString::fromUtf8(line);
    } else if (m_io.askPassword) {
        typed = m_io.askPassword(QStringLiteral("Password: "));
    } else {
        refuse(QStringLiteral("the reminders are protected by a password: give it on a terminal, "
                              "or on standard input with --password-stdin"));
        return false;
    }
    if (!typed || !settings.isPassword(*typed)) {
        refuse(QStringLiteral("The password you entered is incorrect."));
        return false;
    }
    return true;
}

int Ctl::add(const QStringList &arguments)
{
    const QCommandLineOption dayOption(QStringList{QStringLiteral("d"), QStringLiteral("day")},
                                       QString(), QStringLiteral("DAY"));
    const QCommandLineOption timeOption(QStringList{QStringLiteral("t"), QStringLiteral("time")},
                                        QString(), QStringLiteral("TIME"));
    const QCommandLineOption repeatOption(
        QStringList{QStringLiteral("r"), QStringLiteral("repeat"), QStringLiteral("recurrence")},
        QString(), QStringLiteral("HOW"), QStringLiteral("once"));
    const QCommandLineOption soundOption(QStringList{QStringLiteral("s"), QStringLiteral("sound")},
                                         QString(), QStringLiteral("NAME"));
    QCommandLineParser parser;
    parser.addOptions({dayOption, timeOption, repeatOption, soundOption});
    if (const int parsed = parse(parser, QStringLiteral("add"), arguments); parsed != Done)
        return parsed < 0 ? Done : parsed;

    const QStringList words = parser.positionalArguments();
    if (words.isEmpty())
        return usage(QStringLiteral("add"), QStringLiteral("the note is missing"));
    const auto day = parser.isSet(dayOption) ? dayOf(parser.value(dayOption)) : Clock::today();
    if (!day)
        return refuse(QStringLiteral("%1 is not a day: write it as 12/4/2026, 2026-12-04, "
                                     "today, friday or +3d")
                          .arg(quoted(parser.value(dayOption))));
    const QString recurrence = recurrenceOf(parser.value(repeatOption));
    if (recurrence.isEmpty())
        return refuse(QStringLiteral("%1 is not a recurrence: once, daily, weekly, monthly, "
                                     "annual or bill")
                          .arg(quoted(parser.value(repeatOption))));
    std::optional<QTime> time;
    if (parser.isSet(timeOption)) {
        time = timeOf(parser.value(timeOption));
        if (!time)
            return refuse(QStringLiteral("%1 is not a time of day: write it as 3:05 PM, 15:05 "
                                         "or 1505")
                              .arg(quoted(parser.value(timeOption))));
    } else if (recurrence != Recurrence::kBill) {
        return usage(QStringLiteral("add"),
                     QStringLiteral("--time is needed: only a bill reminder is due all day"));
    }

    ReminderCreation::Input input;
    input.soundChecked = parser.isSet(soundOption);
    input.knownSoundOnly = true;
    input.soundText = SoundNames::kNotChosen;
    if (input.soundChecked) {
        input.soundText = parser.value(soundOption);
        for (const QString &name : SoundNames::names())
            if (name.compare(input.soundText, Qt::CaseInsensitive) == 0)
                input.soundText = name;
    }
    if (words == QStringList(kStandardStream)) {
        input.noteText = QString::fromUtf8(m_io.in.readAll());
        if (input.noteText.endsWith(QLatin1Char('\n')))
            input.noteText.chop(1);
    } else {
        input.noteText = words.join(QLatin1Char(' '));
    }
    // The note maker keeps a note of blanks as an empty slot that never comes
    // up; here it is refused.
    if (!input.noteText.isEmpty() && input.noteText.trimmed().isEmpty())
        return refuse(QStringLiteral("Please enter a reminder note: the note holds nothing but "
                                     "blanks, and would never come up."));
    input.recurrenceText = recurrence;
    input.pickedDate = *day;
    input.pickedTime = time.value_or(QTime(0, 0));
    // Without a time, the note maker's bill road: the day, due all day.
    QString billDate = time ? QString() : TextForms::dayKey(*day);

    ReminderStore store(m_settings);
    const auto result = ReminderCreation::create(input, billDate, store);
    const QString moment = QString(result.day + QLatin1Char(' ') + result.time).trimmed();
    using Outcome = ReminderCreation::Outcome;
    switch (result.outcome) {
    case Outcome::Stored:
        say(ReminderCreation::status(result).trimmed() +
            QStringLiteral(" (number %1 of the day)").arg(result.slot));
        return Done;
    case Outcome::NoSound:
        return refuse(
            QStringLiteral("Please select a sound: %1 is not one of the program's "
                           "sounds (%2).")
                .arg(quoted(input.soundText), SoundNames::names().join(QStringLiteral(", "))));
    case Outcome::NoNote:
        return refuse(QStringLiteral("Please enter a reminder note: the note is empty."));
    case Outcome::Past:
        return refuse(QStringLiteral("Cannot set reminder for past dates, or times: %1 has "
                                     "passed.")
                          .arg(moment));
    case Outcome::CurrentTime:
        return refuse(QStringLiteral("Cannot set reminder for the current time (%1): choose a "
                                     "later minute.")
                          .arg(moment));
    case Outcome::NoteNotHeld:
        return refuse(QStringLiteral("The note cannot be kept. ") + result.why);
    case Outcome::Failed:
        break;
    }
    return refuse(QStringLiteral("the reminder could not be written to the store; nothing was "
                                 "added"));
}

int Ctl::list(const QStringList &arguments)
{
    const QCommandLineOption json(QStringLiteral("json"));
    QCommandLineParser parser;
    parser.addOptions({json, kPasswordStdin});
    if (const int parsed = parse(parser, QStringLiteral("list"), arguments); parsed != Done)
        return parsed < 0 ? Done : parsed;
    if (!parser.positionalArguments().isEmpty())
        return usage(QStringLiteral("list"), QStringLiteral("list takes no arguments"));
    if (!passwordGiven(parser))
        return Refused;

    auto live = ReminderStore(m_settings).allLiveReminders();
    if (!live)
        return refuse(QStringLiteral("the store cannot be read"));
    sortByMoment(*live);
    QJsonArray objects;
    QList<QStringList> rows = {{QStringLiteral("Date"), QStringLiteral("Time"),
                                QStringLiteral("Num"), QStringLiteral("Type"),
                                QStringLiteral("Reminder"), QStringLiteral("Sound")}};
    for (const LiveReminder &r : std::as_const(*live)) {
        const auto note = r.record.note();
        const bool sound = !r.record.sound.isEmpty() && r.record.sound != SoundNames::kNotChosen;
        QJsonObject object{
            {QStringLiteral("day"), r.day},
            {QStringLiteral("time"),
             r.record.time.isEmpty() ? QJsonValue() : QJsonValue(r.record.time)},
            {QStringLiteral("slot"), r.slot},
            {QStringLiteral("recurrence"), r.record.recurrence},
            {QStringLiteral("note"), note ? QJsonValue(*note) : QJsonValue()},
            {QStringLiteral("sound"), sound ? QJsonValue(r.record.sound) : QJsonValue()}};
        // The same day and time in ISO 8601, for scripts.
        const auto day = TextForms::parseDate(r.day);
        const auto time = TextForms::parseTime(r.record.time);
        if (day && r.record.time.isEmpty())
            object.insert(QStringLiteral("date"), day->toString(Qt::ISODate));
        else if (day && time)
            object.insert(QStringLiteral("start"),
                          QString(day->toString(Qt::ISODate) + QLatin1Char('T') +
                                  time->toString(QStringLiteral("HH:mm:ss"))));
        objects.append(object);
        rows.append({r.day, r.record.time, QString::number(r.slot), r.record.recurrence,
                     oneLine(note.value_or(ReminderRecord::kUnreadableNote)), r.record.sound});
    }
    if (parser.isSet(json))
        m_io.out.write(QJsonDocument(objects).toJson());
    else if (live->isEmpty())
        say(QStringLiteral("No reminders are waiting."));
    else
        m_io.out.write(table(rows, m_io.width).toUtf8());
    return Done;
}

int Ctl::remove(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption(kPasswordStdin);
    if (const int parsed = parse(parser, QStringLiteral("delete"), arguments); parsed != Done)
        return parsed < 0 ? Done : parsed;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2)
        return usage(QStringLiteral("delete"), QStringLiteral("delete takes a day and a number"));
    bool isNumber = false;
    const qint64 slot = positional[1].toLongLong(&isNumber);
    if (!isNumber || slot < 1)
        return refuse(QStringLiteral("%1 is not a reminder's number within its day")
                          .arg(quoted(positional[1])));
    if (!passwordGiven(parser))
        return Refused;

    // The day as the list shows it, or any other way of writing that day.
    ReminderStore store(m_settings);
    QStringList days = {positional[0]};
    if (const auto day = dayOf(positional[0]))
        days.append(TextForms::dayKey(*day));
    for (const QString &day : std::as_const(days)) {
        const auto live = store.liveReminders(day, store.numReminders(day).value_or(0));
        for (const LiveReminder &r : live.value_or(QList<LiveReminder>())) {
            if (r.slot != slot)
                continue;
            // The running program may have shown it since it was read here.
            const auto deleted = store.deleteListed(r.day, slot, r.record);
            if (deleted == ReminderStore::ListedDelete::Gone)
                break;
            if (deleted == ReminderStore::ListedDelete::Failed)
                return refuse(QStringLiteral("the store could not be written; nothing was "
                                             "deleted"));
            say(QStringLiteral("Deleted number %1 of %2: %3")
                    .arg(QString::number(slot), r.day, oneLine(r.record.shownNote())));
            return Done;
        }
    }
    return refuse(QStringLiteral("no reminder number %1 waits on %2")
                      .arg(QString::number(slot), positional[0]));
}

int Ctl::exportCalendar(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption(kPasswordStdin);
    if (const int parsed = parse(parser, QStringLiteral("export"), arguments); parsed != Done)
        return parsed < 0 ? Done : parsed;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return usage(QStringLiteral("export"), QStringLiteral("export writes to one file"));
    if (!passwordGiven(parser))
        return Refused;

    ReminderStore store(m_settings);
    const auto live = store.allLiveReminders();
    if (!live)
        return refuse(QStringLiteral("the store cannot be read"));
    const CalendarWriter::Result calendar = CalendarWriter::write(*live, Clock::now());
    const QString file = positional.value(0, kStandardStream);
    if (file == kStandardStream) {
        m_io.out.write(calendar.text);
    } else {
        // The notes are as private as the store: readable by their owner only.
        QSaveFile saved(file);
        if (!saved.open(QIODevice::WriteOnly) ||
            !saved.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
            saved.write(calendar.text) != calendar.text.size() || !saved.commit())
            return refuse(QStringLiteral("cannot write %1: %2").arg(file, saved.errorString()));
        say(QStringLiteral("Exported %1 to %2.").arg(reminders(calendar.written), file));
    }
    // A UID that cannot be kept now is made alike from the reminder next time.
    store.keepUids(calendar.named);
    if (calendar.leftOut.isEmpty())
        return Done;
    QStringList which;
    for (const LiveReminder &r : calendar.leftOut)
        which.append(QStringLiteral("number %1 of %2").arg(r.slot).arg(r.day));
    return refuse(QStringLiteral("left out %1 damaged in the store (%2); the others were written")
                      .arg(reminders(calendar.leftOut.size()), which.join(QStringLiteral(", "))));
}

int Ctl::importCalendar(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const int parsed = parse(parser, QStringLiteral("import"), arguments); parsed != Done)
        return parsed < 0 ? Done : parsed;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1)
        return usage(QStringLiteral("import"), QStringLiteral("import reads one file"));

    const QString file = positional.first();
    QFile input(file);
    QIODevice &from = file == kStandardStream ? m_io.in : input;
    if (&from == &input && !input.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("cannot read %1: %2").arg(file, input.errorString()));
    // To the end, however slowly a pipe brings it.
    QByteArray text;
    for (QByteArray part; text.size() <= kMostCalendarBytes; text += part) {
        part = from.read(kMostCalendarBytes + 1 - text.size());
        if (part.isEmpty())
            break;
    }
    if (text.size() > kMostCalendarBytes)
        return refuse(QStringLiteral("%1 is larger than 64 MiB: nothing was imported").arg(file));

    ReminderStore store(m_settings);
    const CalendarImport::Report report = CalendarImport::import(text, store);
    if (!report.refusal.isEmpty())
        return refuse(
            QStringLiteral("%1 is not read: %2. Nothing was imported.").arg(file, report.refusal));
    if (!report.isCalendar)
        return refuse(
            QStringLiteral("%1 is not an iCalendar file: nothing was imported").arg(file));
    if (!report.stored)
        return refuse(QStringLiteral("the store could not be written: nothing was imported"));
    QString added = QStringLiteral("Added ") + reminders(report.added);
    if (report.repeatDropped > 0)
        added += QStringLiteral(" (%1 of them once only: their repeat rule has no match in "
                                "Pingalo!)")
                     .arg(report.repeatDropped);
    if (report.updated > 0)
        added += QStringLiteral(", updated %1").arg(report.updated);
    say(added + QLatin1Char('.'));
    int skipped = 0;
    for (int count : report.skipped)
        skipped += count;
    if (skipped > 0)
        say(QStringLiteral("Skipped %1:").arg(skipped));
    for (auto it = report.skipped.cbegin(); it != report.skipped.cend(); ++it) {
        say(QStringLiteral("  %1 %2").arg(it.value()).arg(CalendarImport::skipText(it.key())));
        if (it.key() == CalendarSkip::NoteNotHeld)
            say(QStringLiteral("    the first: ") + report.noteNotHeld);
    }
    return Done;
}

const QCommandLineOption &Ctl::passwordStdinOption()
{
    return kPasswordStdin;
}
