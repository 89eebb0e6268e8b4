#include "export/password_prompt.h"

#include <cerrno>
#include <csignal>
#include <termios.h>
#include <unistd.h>

namespace {

// The terminal's settings while the echo is off, so that a signal that ends
// the program in the middle of the password gives the echo back first.
termios g_savedTerminal;
struct sigaction g_savedActions[3];
constexpr int kEndingSignals[3] = {SIGINT, SIGTERM, SIGHUP};

void RestoreTerminalAndEnd(int signal)
{
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_savedTerminal);
    for (int i = 0; i < 3; ++i)
        sigaction(kEndingSignals[i], &g_savedActions[i], nullptr);
    raise(signal);
}

} // namespace

std::optional<QByteArray> ReadPasswordLine(int fd, int maxBytes)
{
    QByteArray line;
    bool any = false;
    // One byte at a time: nothing after the line is taken from the input.
    for (;;) {
        char c = 0;
        const ssize_t got = read(fd, &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        any = true;
        if (c == '\n')
            break;
        if (line.size() < maxBytes)
            line += c;
    }
    if (!any)
        return std::nullopt;
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

std::optional<QString> ReadAdminPassword(QIODevice& err)
{
    const int in = STDIN_FILENO;
    const bool terminal = isatty(in) && tcgetattr(in, &g_savedTerminal) == 0;
    if (terminal) {
        struct sigaction restore = {};
        restore.sa_handler = RestoreTerminalAndEnd;
        for (int i = 0; i < 3; ++i)
            sigaction(kEndingSignals[i], &restore, &g_savedActions[i]);
        termios quiet = g_savedTerminal;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        quiet.c_lflag |= ECHONL;
        // Echo goes off, and what was typed ahead is dropped, before the
        // prompt shows: a password typed after the prompt is never dropped.
        tcsetattr(in, TCSAFLUSH, &quiet);
        err.write(QStringLiteral("Пароль ADM / ADM password: ").toUtf8());
    }
    const std::optional<QByteArray> line = ReadPasswordLine(in);
    if (terminal) {
        tcsetattr(in, TCSAFLUSH, &g_savedTerminal);
        for (int i = 0; i < 3; ++i)
            sigaction(kEndingSignals[i], &g_savedActions[i], nullptr);
    }
    if (!line)
        return std::nullopt;
    return QString::fromUtf8(*line);
}
