#include "platform/folder_lock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
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

int OpenRetry(const QByteArray& path, int flags, mode_t mode = 0)
{
    int fd;
    do {
        fd = ::open(path.constData(), flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
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

// Waits for the lock on the whole file; false when the system refuses it.
bool LockWhole(int fd, FolderLock::Mode mode)
{
    struct flock lock = {};
    lock.l_type = mode == FolderLock::Mode::Exclusive ? F_WRLCK : F_RDLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    int result;
    do {
        result = ::fcntl(fd, F_SETLKW, &lock);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

} // namespace

QString FolderLock::FileName() { return QStringLiteral(".zelvo.lock"); }

FolderLock::FolderLock(const QString& folder, Mode mode)
{
    const QString dir = folder.isEmpty() ? QStringLiteral(".") : folder;
    key_ = QDir::cleanPath(QFileInfo(QDir(dir).filePath(FileName())).absoluteFilePath());

    std::lock_guard<std::mutex> guard(HeldLocksMutex());
    auto& held = HeldLocks();
    auto it = held.find(key_);
    if (it != held.end() && it->second.owner != ::getpid()) {
        ::close(it->second.fd);
        held.erase(it);
        it = held.end();
    }
    if (it != held.end()) {
        HeldLock& lock = it->second;
        if (mode == Mode::Exclusive && lock.mode == Mode::Shared && LockWhole(lock.fd, mode))
            lock.mode = Mode::Exclusive;
        ++lock.count;
        held_ = true;
        return;
    }

    const int fd = OpenLockFile(key_, dir, mode);
    if (fd < 0)
        return;
    if (!LockWhole(fd, mode)) {
        ::close(fd);
        return;
    }
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
