#pragma once

#include <QIODevice>
#include <QStringList>
#include <functional>
#include <optional>

class QCommandLineOption;
class QCommandLineParser;
class ReminderStore;
class SettingsStore;

// pingalo-ctl: the reminders of the live store from a shell. Every command
// goes through the operations the program's windows use (the note maker's
// creation rules, the store's one-transaction append, the list viewer's order
// and delete), so the running program sees the result at its next tick.
//
// run() gives the exit code: 0 done, 1 refused or bad input, 2 a command line
// that cannot be understood.
class Ctl {
public:
    enum Exit { Done = 0, Refused = 1, Usage = 2 };

    // What the tool talks through: its standard streams, and a way to ask for
    // the password on a terminal without showing it (empty: no terminal).
    struct Io {
        QIODevice &in;
        QIODevice &out;
        QIODevice &err;
        std::function<std::optional<QString>(const QString &prompt)> askPassword;
        int width = 0; // the terminal's columns, which list's table keeps to; 0: no limit
    };

    Ctl(SettingsStore &settings, const Io &io);

    // The command line without the program's name.
    int run(const QStringList &arguments);

private:
    int add(const QStringList &arguments);
    int list(const QStringList &arguments);
    int remove(const QStringList &arguments);
    int exportCalendar(const QStringList &arguments);
    int importCalendar(const QStringList &arguments);
    int sync(const QStringList &arguments);
    // After a command that may have changed the reminders: the calendar
    // folder follows them, when one is set.
    void mirror();

    // Parses a command's options and positional arguments; Done when the
    // command goes on, Usage after saying what is wrong, or -1 after showing
    // its help.
    int parse(QCommandLineParser &parser, const QString &command, const QStringList &arguments);
    // When a password is set, asks for it; false after saying why not.
    bool passwordGiven(const QCommandLineParser &parser);

    // --password-stdin, which every command that shows or changes notes takes.
    static const QCommandLineOption &passwordStdinOption();

    void say(const QString &text);
    int refuse(const QString &text);
    int usage(const QString &command, const QString &problem);

    SettingsStore &m_settings;
    Io m_io;
};
