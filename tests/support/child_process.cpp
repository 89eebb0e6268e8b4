#include "child_process.h"

#include <QDir>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

pid_t StartChild(const std::function<bool()>& body)
{
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    bool ok = false;
    try {
        ok = body();
    } catch (...) {
        ok = false;
    }
    ::_exit(ok ? 0 : 1); // no destructors or exit handlers of the parent's objects
}

int WaitChild(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

int ThreadCount()
{
    return int(QDir(QStringLiteral("/proc/self/task"))
                   .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                   .size());
}

StartGate::StartGate()
{
    if (::pipe2(fds_, O_CLOEXEC) != 0)
        fds_[0] = fds_[1] = -1;
}

StartGate::~StartGate()
{
    for (int fd : fds_)
        if (fd >= 0)
            ::close(fd);
}

// The gate opens when every writing end is closed: the parent's and each child's copy.
void StartGate::waitInChild()
{
    ::close(fds_[1]);
    fds_[1] = -1;
    char c;
    while (::read(fds_[0], &c, 1) < 0 && errno == EINTR) {
    }
}

void StartGate::open()
{
    ::close(fds_[1]);
    fds_[1] = -1;
}

LinePipe::LinePipe()
{
    if (::pipe2(fds_, O_CLOEXEC) != 0)
        fds_[0] = fds_[1] = -1;
}

LinePipe::~LinePipe()
{
    for (int fd : fds_)
        if (fd >= 0)
            ::close(fd);
}

void LinePipe::send(const QByteArray& line) const
{
    const QByteArray bytes = line + '\n'; // under PIPE_BUF: never mixed with another's line
    ssize_t n;
    do {
        n = ::write(fds_[1], bytes.constData(), size_t(bytes.size()));
    } while (n < 0 && errno == EINTR);
}

QList<QByteArray> LinePipe::receive()
{
    char buffer[4096];
    for (;;) {
        pollfd p{fds_[0], POLLIN, 0};
        if (::poll(&p, 1, 0) <= 0 || !(p.revents & POLLIN))
            break;
        const ssize_t n = ::read(fds_[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        pending_.append(buffer, int(n));
    }
    const int end = pending_.lastIndexOf('\n');
    if (end < 0)
        return {};
    QList<QByteArray> lines = pending_.left(end).split('\n');
    pending_.remove(0, end + 1);
    return lines;
}

QByteArray LinePipe::receiveOne(int timeoutMs)
{
    while (!pending_.contains('\n')) {
        pollfd p{fds_[0], POLLIN, 0};
        if (timeoutMs >= 0 && ::poll(&p, 1, timeoutMs) <= 0)
            return QByteArray();
        char c;
        const ssize_t n = ::read(fds_[0], &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return QByteArray();
        pending_.append(c);
    }
    const int end = pending_.indexOf('\n');
    const QByteArray line = pending_.left(end);
    pending_.remove(0, end + 1);
    return line;
}
