#include "ctl/TerminalPassword.h"

#include <QByteArray>
#include <csignal>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {

termios g_saved;
termios g_noEcho;

// Interrupted while echo is off: the terminal gets its echo back first. The
// signal then does what it does by default, at once: a stop (Ctrl-Z) returns
// here when the program is continued, and the typing goes on unseen again.
void restoreAndRaise(int signal)
{
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_saved);
    std::signal(signal, SIG_DFL);
    sigset_t self;
    sigemptyset(&self);
    sigaddset(&self, signal);
    sigprocmask(SIG_UNBLOCK, &self, nullptr);
    std::raise(signal);
    std::signal(signal, restoreAndRaise);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_noEcho);
}

} // namespace

std::optional<QString> askPasswordOnTerminal(const QString &prompt)
{
    std::fputs(prompt.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    const bool quiet = tcgetattr(STDIN_FILENO, &g_saved) == 0;
    if (quiet) {
        g_noEcho = g_saved;
        g_noEcho.c_lflag &= ~tcflag_t(ECHO);
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP})
            std::signal(signal, restoreAndRaise);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_noEcho);
    }
    QByteArray line;
    char c = 0;
    bool ended = true;
    while (::read(STDIN_FILENO, &c, 1) == 1) {
        if (c == '\n') {
            ended = false;
            break;
        }
        line.append(c);
    }
    if (quiet) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_saved);
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP})
            std::signal(signal, SIG_DFL);
    }
    std::fputs("\n", stderr);
    if (ended && line.isEmpty())
        return std::nullopt;
    return QString::fromLocal8Bit(line);
}
