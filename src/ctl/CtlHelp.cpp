#include "ctl/CtlHelp.h"

#include "core/store/SoundNames.h"

namespace CtlHelp {

namespace {

// The program's sounds, a few to a line under an option's description.
QString soundLines()
{
    const QString indent(21, QLatin1Char(' '));
    QString lines;
    QString line;
    for (const QString &name : SoundNames::names()) {
        if (line.size() + name.size() > 56) {
            lines += indent + line.trimmed() + QLatin1Char('\n');
            line.clear();
        }
        line += name + QLatin1Char(' ');
    }
    return lines + indent + line.trimmed() + QLatin1Char('\n');
}

} // namespace

QString general()
{
    return QStringLiteral(
        "Usage: pingalo-ctl COMMAND [OPTIONS] [ARGUMENTS]\n"
        "\n"
        "Works on the reminders of Pingalo! Vantor, also while the program runs:\n"
        "it sees the changes at its next look at the store.\n"
        "\n"
        "Commands:\n"
        "  add      add a reminder\n"
        "  list     show every reminder still waiting to come up\n"
        "  delete   delete a reminder for good\n"
        "  export   write the reminders as an iCalendar file\n"
        "  import   add the events and to-dos of an iCalendar file\n"
        "  sync     keep the reminders in step with a calendar folder\n"
        "\n"
        "pingalo-ctl COMMAND --help tells more about a command.\n"
        "The store is $PINGALO_STORE, or else $XDG_CONFIG_HOME/pingalo/store.db.\n"
        "Exit status: 0 done, 1 refused or bad input, 2 a command line in error.\n");
}

QString of(const QString &command)
{
    if (command == QLatin1String("add"))
        return QStringLiteral(
                   "Usage: pingalo-ctl add [--day DAY] --time TIME [--repeat HOW] [--sound NAME] "
                   "NOTE...\n"
                   "       pingalo-ctl add [--day DAY] --repeat bill [--sound NAME] NOTE...\n"
                   "\n"
                   "Adds a reminder, refused for the same reasons as in the note maker: an\n"
                   "empty note, a moment in the past or in the current minute, a note with\n"
                   "characters it cannot hold, a sound the program does not have; and a\n"
                   "note of nothing but blanks.\n"
                   "The words of NOTE make the note; NOTE - reads it from standard input.\n"
                   "\n"
                   "  -d, --day DAY      12/4/2026, 2026-12-04, today, tomorrow, friday (the\n"
                   "                     next one), +3d or +1w (default: today)\n"
                   "  -t, --time TIME    3:05 PM, 15:05, 1505 or 15.05; a bill reminder may go\n"
                   "                     without, and is then due all day\n"
                   "  -r, --repeat HOW   once (default), daily, weekly, monthly, annual or bill\n"
                   "  -s, --sound NAME   the sound it plays, one of:\n") +
               soundLines();
    if (command == QLatin1String("list"))
        return QStringLiteral(
            "Usage: pingalo-ctl list [--json] [--password-stdin]\n"
            "\n"
            "Shows every reminder still waiting to come up, by day and time: day, time,\n"
            "number within the day, recurrence, note (cut to the terminal), sound.\n"
            "\n"
            "  --json             one object per reminder: day, time, slot, recurrence,\n"
            "                     note, sound (time and sound null when there is none),\n"
            "                     and start (2026-12-08T15:30:00) or date (2026-12-08)\n"
            "  --password-stdin   read the password from the first line of standard input\n");
    if (command == QLatin1String("delete"))
        return QStringLiteral(
            "Usage: pingalo-ctl delete [--password-stdin] DAY NUM\n"
            "\n"
            "Deletes the reminder number NUM of DAY for good, as the reminder list's\n"
            "Delete does (list shows both).\n"
            "\n"
            "  --password-stdin   read the password from the first line of standard input\n");
    if (command == QLatin1String("export"))
        return QStringLiteral(
            "Usage: pingalo-ctl export [--password-stdin] [FILE]\n"
            "\n"
            "Writes every reminder still waiting as an iCalendar file (RFC 5545): one\n"
            "event each, with its UID, an alarm at its moment and a repeat rule for\n"
            "recurring ones. Without FILE, or with -, to standard output. Reminders\n"
            "damaged in the store are left out and named, and the exit status is 1.\n"
            "\n"
            "  --password-stdin   read the password from the first line of standard input\n");
    if (command == QLatin1String("import"))
        return QStringLiteral(
            "Usage: pingalo-ctl import FILE\n"
            "\n"
            "Adds a reminder for every event and to-do of the iCalendar FILE (- for\n"
            "standard input) whose moment is still ahead: its earliest display or sound\n"
            "alarm, else its start or due time, in local time. Daily, weekly, monthly\n"
            "and yearly repeats that Pingalo! can follow carry over; other series give\n"
            "their next occurrence once. An item already in the list (by its UID, or\n"
            "by its day, time and note) is not added again, or is updated when it\n"
            "changed. Says how many were added and updated, how many were skipped,\n"
            "and why. A file with a line over 256 KiB or parts nested over 8 deep is\n"
            "refused.\n");
    if (command == QLatin1String("sync"))
        return QStringLiteral(
            "Usage: pingalo-ctl sync [--password-stdin]\n"
            "       pingalo-ctl sync --folder DIR [--password-stdin]\n"
            "       pingalo-ctl sync --off [--password-stdin]\n"
            "\n"
            "Keeps the reminders in step with a calendar folder (one .ics file per\n"
            "item, as vdirsyncer and khal use it): each reminder is written there, and\n"
            "what changes there (added, changed, deleted, answered elsewhere) changes\n"
            "the reminders. Without options, merges now and says what changed.\n"
            "The notes are kept in the folder as plain text, password or not.\n"
            "\n"
            "  --folder DIR       mirror the reminders into DIR (made private to you)\n"
            "  --off              stop; the folder is left as it is\n"
            "  --password-stdin   read the password from the first line of standard input\n");
    return QString();
}

} // namespace CtlHelp
