#include "util/record_file.h"

#include "platform/atomic_file.h"
#include "platform/errors.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The code reported for a transfer on a file that was never opened.
constexpr int kIoFileNotOpen = 103;

// Never waits: a named pipe in place of a file opens at once and reads as
// empty (regular files ignore O_NONBLOCK).
int OpenRetry(const QString& path, int flags, mode_t mode = 0)
{
    const QByteArray native = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(native.constData(), flags | O_CLOEXEC | O_NONBLOCK, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool IsRegularFile(int fd)
{
    struct stat st;
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

[[noreturn]] void RaiseErrno(int err)
{
    throw IoError(IoCodeFromErrno(err));
}

// Writes every byte; raises IoError ("Disk full" when the file system takes
// fewer bytes without naming an error).
void WriteAllOrRaise(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            RaiseErrno(errno);
        if (written == 0)
            throw IoError(kIoDiskFull);
        data += written;
        size -= size_t(written);
    }
}

} // namespace

RecordFile::~RecordFile()
{
    close();
}

bool RecordFile::open(const QString& path)
{
    close();
    fd_ = OpenRetry(path, O_RDWR);
    openError_ = fd_ < 0 ? IoCodeFromErrno(errno) : 0;
    return fd_ >= 0;
}

bool RecordFile::create(const QString& path)
{
    close();
    fd_ = OpenRetry(path, O_RDWR | O_CREAT | O_TRUNC, 0644);
    openError_ = fd_ < 0 ? IoCodeFromErrno(errno) : 0;
    // Records written to a pipe or a device would be gone: only a file keeps them.
    if (fd_ >= 0 && !IsRegularFile(fd_)) {
        close();
        openError_ = kIoAccessDenied;
    }
    return fd_ >= 0;
}

void RecordFile::ensureOpen() const
{
    if (fd_ < 0)
        throw IoError(openError_ != 0 ? openError_ : kIoFileNotOpen);
}

bool RecordFile::atEnd()
{
    ensureOpen();
    const off_t position = ::lseek(fd_, 0, SEEK_CUR);
    if (position < 0 && errno == ESPIPE)
        return true; // a pipe: no whole record without waiting for a writer
    struct stat st;
    if (position < 0 || ::fstat(fd_, &st) != 0)
        RaiseErrno(errno);
    return st.st_size - position < recordSize_;
}

QByteArray RecordFile::read()
{
    ensureOpen();
    QByteArray record(recordSize_, '\0');
    int got = 0;
    while (got < recordSize_) {
        const ssize_t n = ::read(fd_, record.data() + got, size_t(recordSize_ - got));
        if (n < 0 && errno == EINTR)
            continue;
        // An empty pipe has no more bytes to give, like the end of a file.
        if (n == 0 || (n < 0 && errno == EAGAIN))
            throw IoError(kIoReadBeyondEnd);
        if (n < 0)
            RaiseErrno(errno);
        got += int(n);
    }
    return record;
}

void RecordFile::write(const QByteArray& record)
{
    ensureOpen();
    QByteArray bytes = record.left(recordSize_);
    bytes.append(QByteArray(recordSize_ - bytes.size(), '\0'));
    WriteAllOrRaise(fd_, bytes.constData(), size_t(bytes.size()));
}

void RecordFile::sync()
{
    ensureOpen();
    // Files that cannot be flushed (EINVAL: pipes, special files) have nothing to lose.
    if (::fsync(fd_) != 0 && errno != EINVAL)
        RaiseErrno(errno);
}

void RecordFile::close()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool ReplaceFileAtomically(const QString& path, const QByteArray& records)
{
    const ReplaceOutcome outcome = ReplaceFileWhole(path, records);
    if (outcome.error != 0)
        throw IoError(IoCodeFromErrno(outcome.error));
    return outcome.created;
}
