// pingalo-ctl: the reminders of Pingalo! Vantor from a shell.
#include "core/store/SqliteSettingsStore.h"
#include "core/system/CoreDumps.h"
#include "ctl/Ctl.h"
#include "ctl/TerminalPassword.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/ioctl.h>
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
    if (winsize size{}; isatty(STDOUT_FILENO) && ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0)
        io.width = size.ws_col;
    const int code = Ctl(store, io).run(arguments);
    // What could not be written (a full disk, a closed pipe) is a failure too.
    if (!out.flush() || out.error() != QFileDevice::NoError || std::fflush(stdout) != 0) {
        err.write(QByteArray("pingalo-ctl: cannot write to standard output: ") +
                  std::strerror(errno) + '\n');
        return Ctl::Refused;
    }
    return code;
}
