#pragma once
// Child processes for the tests in which several copies of the program, or a
// killed one, use one user folder. fork() without exec: a child starts at
// once, with the parent's settings, and runs the program's own routines.

#include <QByteArray>
#include <QStringList>

#include <functional>
#include <sys/types.h>

// Runs `body` in a child process, which ends with status 0 when it returns
// true and 1 when it returns false or throws.
pid_t StartChild(const std::function<bool()>& body);
// Waits for the child: its exit status, or 128 + the signal that ended it.
int WaitChild(pid_t pid);
// Threads of this process; fork() copies only the calling one, so a test
// forks only while it is the one.
int ThreadCount();

// Lets children started one after the other begin their work together.
class StartGate {
  public:
    StartGate();
    ~StartGate();
    StartGate(const StartGate&) = delete;
    StartGate& operator=(const StartGate&) = delete;

    // In a child: waits until the parent opens the gate.
    void waitInChild();
    // In the parent, once every child has started.
    void open();

  private:
    int fds_[2] = {-1, -1};
};

// One-way line channel from children to the parent.
class LinePipe {
  public:
    LinePipe();
    ~LinePipe();
    LinePipe(const LinePipe&) = delete;
    LinePipe& operator=(const LinePipe&) = delete;

    // In a child: sends one line (whole, in one write).
    void send(const QByteArray& line) const;
    // In the parent, once the children that write have ended: every line sent
    // since the last call.
    QList<QByteArray> receive();
    // Waits for the next line, up to `timeoutMs` (-1: no limit); empty when none came.
    QByteArray receiveOne(int timeoutMs = -1);

  private:
    int fds_[2] = {-1, -1};
    QByteArray pending_;
};
