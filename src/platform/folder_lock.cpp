#include "platform/folder_lock.h"

#include "platform/errors.h"
#include "platform/message_wait.h"
#include "platform/posix_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct HeldLock {
    int fd = -1;
    int count = 0;
    FolderLock::Mode mode = FolderLock::Mode::Shared;
    pid_t owner = 0; // a child after fork() holds none of its parent's locks
};

// Closing any descriptor of a locked file drops the process's lock on it, so
// each lock file is opened once per process and shared by nested locks.
std::map<QString, HeldLock>& HeldLocks()
{
    static std::map<QString, HeldLock> held;
    return held;
}

std::mutex& HeldLocksMutex()
{
    static std::mutex mutex;
    return mutex;
}

// The lock file itself, never through a link, and never waiting for a pipe.
int OpenRetry(const QByteArray& path, int flags, mode_t mode = 0)
{
    return OpenRetrying(path.constData(), flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, mode);
}

// Opens the lock file, creating it where missing. A new lock file may be
// written by whoever may write the folder, so that every copy can lock it.
int OpenLockFile(const QString& path, const QString& folder, FolderLock::Mode mode)
{
    const QByteArray native = QFile::encodeName(path);
    int fd;
    if (mode == FolderLock::Mode::SharedNoCreate) {
        fd = OpenRetry(native, O_RDONLY);
    } else {
        fd = OpenRetry(native, O_RDWR | O_CREAT | O_EXCL, 0600);
        if (fd >= 0) {
            struct stat dir;
            if (::stat(QFile::encodeName(folder).constData(), &dir) == 0)
                ::fchmod(fd, dir.st_mode & 0666);
        } else if (errno == EEXIST) {
            fd = OpenRetry(native, O_RDWR);
            if (fd < 0 && mode == FolderLock::Mode::Shared)
                fd = OpenRetry(native, O_RDONLY); // a reader may lock what it cannot write
        }
    }
    if (fd < 0)
        return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

enum class Attempt { Granted, Busy, Unsupported };

// Asks once for the lock on the whole file, without waiting.
Attempt TryLockWhole(int fd, FolderLock::Mode mode)
{
    struct flock lock = {};
    lock.l_type = mode == FolderLock::Mode::Exclusive ? F_WRLCK : F_RDLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    int result;
    do {
        result = ::fcntl(fd, F_SETLK, &lock);
    } while (result != 0 && errno == EINTR);
    if (result == 0)
        return Attempt::Granted;
    return errno == EAGAIN || errno == EACCES ? Attempt::Busy : Attempt::Unsupported;
}

int& WaitLimit()
{
    static int limit = FolderLock::kWaitLimitMilliseconds;
    return limit;
}

// True while this process waits for a folder's lock.
bool& Waiting()
{
    static bool waiting = false;
    return waiting;
}

struct WaitingMark {
    WaitingMark() { Waiting() = true; }
    ~WaitingMark() { Waiting() = false; }
};

// The pauses between two attempts grow from 1 ms to this, so a lock given
// back soon is taken soon, and a long wait costs a few wake-ups a second.
constexpr int kLongestPauseMilliseconds = 50;

// Asks for the lock until it is granted or the wait limit has passed (Busy
// then), serving the window messages but user input between the attempts.
Attempt WaitForLock(int fd, FolderLock::Mode mode)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(WaitLimit());
    int pause = 1;
    const WaitingMark mark;
    Attempt attempt;
    while ((attempt = TryLockWhole(fd, mode)) == Attempt::Busy) {
        const Clock::time_point now = Clock::now();
        if (now >= end)
            break;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - now).count();
        ServeMessagesWithoutInputFor(int(std::min<long long>(pause, left)));
        pause = std::min(pause * 2, kLongestPauseMilliseconds);
    }
    return attempt;
}

[[noreturn]] void RaiseLockError(int err) { throw IoError(IoCodeFromErrno(err)); }

} // namespace

QString FolderLock::FileName() { return QStringLiteral(".zelvo.lock"); }

int FolderLock::WaitLimitMilliseconds() { return WaitLimit(); }

void FolderLock::SetWaitLimitMilliseconds(int milliseconds) { WaitLimit() = milliseconds; }

// The map's mutex is not held while waiting: the messages served meanwhile
// reach no step that locks (user input is held back, and a lock asked for
// during the wait fails at once).
FolderLock::FolderLock(const QString& folder, Mode mode)
{
    const QString dir = folder.isEmpty() ? QStringLiteral(".") : folder;
    key_ = QDir::cleanPath(QFileInfo(QDir(dir).filePath(FileName())).absoluteFilePath());

    std::unique_lock<std::mutex> guard(HeldLocksMutex());
    if (Waiting())
        RaiseLockError(EDEADLK);
    auto& held = HeldLocks();
    auto it = held.find(key_);
    if (it != held.end() && it->second.owner != ::getpid()) {
        ::close(it->second.fd);
        held.erase(it);
        it = held.end();
    }
    if (it != held.end()) {
        if (mode == Mode::Exclusive && it->second.mode != Mode::Exclusive) {
            const int fd = it->second.fd;
            guard.unlock();
            const Attempt attempt = WaitForLock(fd, mode);
            guard.lock();
            if (attempt == Attempt::Busy)
                RaiseLockError(ETIMEDOUT); // the outer lock stays as it was
            if (attempt == Attempt::Granted)
                held[key_].mode = Mode::Exclusive;
        }
        ++held[key_].count;
        held_ = true;
        return;
    }

    const int fd = OpenLockFile(key_, dir, mode);
    if (fd < 0)
        return;
    guard.unlock();
    const Attempt attempt = WaitForLock(fd, mode);
    if (attempt != Attempt::Granted) {
        ::close(fd);
        if (attempt == Attempt::Busy)
            RaiseLockError(ETIMEDOUT);
        return;
    }
    guard.lock();
    held[key_] = HeldLock{fd, 1, mode, ::getpid()};
    held_ = true;
}

FolderLock::~FolderLock()
{
    if (!held_)
        return;
    std::lock_guard<std::mutex> guard(HeldLocksMutex());
    auto& held = HeldLocks();
    const auto it = held.find(key_);
    if (it == held.end() || it->second.owner != ::getpid())
        return;
    if (--it->second.count == 0) {
        ::close(it->second.fd); // drops the lock
        held.erase(it);
    }
}
