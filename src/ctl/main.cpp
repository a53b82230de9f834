// pingalo-ctl: the reminders of Pingalo! Vantor from a shell.
#include "core/store/SqliteSettingsStore.h"
#include "core/system/CoreDumps.h"
#include "ctl/Ctl.h"
#include "ctl/TerminalPassword.h"

#include <QFile>
#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    CoreDumps::switchOff(); // a crash writes no notes to a core file
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QFile in, out, err;
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    SqliteSettingsStore store(SqliteSettingsStore::defaultPath());
    Ctl::Io io{in, out, err, nullptr};
    if (isatty(STDIN_FILENO))
        io.askPassword = askPasswordOnTerminal;
    return Ctl(store, io).run(arguments);
}
