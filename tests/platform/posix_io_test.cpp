// Opening, writing and reading that a signal interrupts go on; the end of a
// file, an empty pipe and a full disk are told apart from errors.

#include "platform/posix_io.h"
#include "support/test_env.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <pthread.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using PosixIoTest = ZelvoTest;

std::atomic<int> signalsCaught{0};
void CountSignal(int) { ++signalsCaught; }

// While it lives, SIGUSR1 interrupts system calls (no SA_RESTART), so that a
// blocked call returns EINTR.
class InterruptingSignal {
  public:
    InterruptingSignal()
    {
        struct sigaction action = {};
        action.sa_handler = CountSignal;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGUSR1, &action, &old_);
        signalsCaught = 0;
    }
    ~InterruptingSignal() { ::sigaction(SIGUSR1, &old_, nullptr); }

  private:
    struct sigaction old_ = {};
};

// Signals `thread` a few times, then does `then`: the blocked call of that
// thread is interrupted at least once on any machine that is not very slow.
std::thread SignalThenDo(pthread_t thread, std::function<void()> then)
{
    return std::thread([thread, then] {
        for (int i = 0; i < 5; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ::pthread_kill(thread, SIGUSR1);
        }
        then();
    });
}

TEST_F(PosixIoTest, InterruptedOpenAndReadGoOn)
{
    const InterruptingSignal signal;
    const QByteArray fifo = QFile::encodeName(tempPath("fifo"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);

    // Opening a pipe for reading waits for a writer; reading waits for bytes.
    int writer = -1;
    std::thread other = SignalThenDo(
        ::pthread_self(), [&] { writer = ::open(fifo.constData(), O_WRONLY | O_CLOEXEC); });
    const int reader = OpenRetrying(fifo.constData(), O_RDONLY | O_CLOEXEC);
    other.join();
    ASSERT_GE(reader, 0);
    ASSERT_GE(writer, 0);

    char bytes[6] = {};
    std::thread feeder = SignalThenDo(::pthread_self(), [&] {
        EXPECT_EQ(WriteAll(writer, "abc", 3), 0);
        EXPECT_EQ(WriteAll(writer, "def", 3), 0);
        ::close(writer);
    });
    EXPECT_EQ(ReadUpTo(reader, bytes, sizeof bytes), 6);
    feeder.join();
    EXPECT_EQ(QByteArray(bytes, 6), "abcdef");
    EXPECT_EQ(ReadUpTo(reader, bytes, sizeof bytes), 0); // the writer is gone: the end
    ::close(reader);
    EXPECT_GT(signalsCaught.load(), 0);
}

TEST_F(PosixIoTest, EndsAndFailures)
{
    // A file shorter than asked for: what there is.
    const QString path = tempPath("short");
    writeFile(path, "1234");
    const int file = OpenRetrying(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(file, 0);
    char buffer[16];
    EXPECT_EQ(ReadUpTo(file, buffer, sizeof buffer), 4);
    ::close(file);

    // An empty non-blocking pipe has nothing to give, like the end of a file.
    int pipeEnds[2];
    ASSERT_EQ(::pipe2(pipeEnds, O_NONBLOCK | O_CLOEXEC), 0);
    EXPECT_EQ(WriteAll(pipeEnds[1], "xy", 2), 0);
    EXPECT_EQ(ReadUpTo(pipeEnds[0], buffer, sizeof buffer), 2);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);

    // A full disk, a descriptor that is not open, a path beneath a file.
    const int full = OpenRetrying("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    EXPECT_EQ(WriteAll(full, "x", 1), ENOSPC);
    ::close(full);
    EXPECT_EQ(WriteAll(-1, "x", 1), EBADF);
    errno = 0;
    EXPECT_EQ(ReadUpTo(-1, buffer, 1), -1);
    EXPECT_EQ(errno, EBADF);
    EXPECT_EQ(OpenRetrying(QFile::encodeName(path + "/x").constData(), O_RDONLY), -1);
    EXPECT_EQ(errno, ENOTDIR);
}

} // namespace
