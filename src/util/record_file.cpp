#include "util/record_file.h"

#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "platform/file_modes.h"
#include "platform/posix_io.h"
#include "platform/safe_open.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

// The code reported for a transfer on a file that was never opened.
constexpr int kIoFileNotOpen = 103;

// Only a regular file of the folder itself: never through a link, never a
// pipe or device (whose records would vanish or never come), never blocking.
int OpenRegular(const QString& path, int flags, mode_t mode = 0)
{
    return OpenRegularFile(QFile::encodeName(path), flags, mode);
}

[[noreturn]] void RaiseErrno(int err) { throw IoError(IoCodeFromErrno(err)); }

// A sparse file fails as a table too large for its reader does.
constexpr int kSparseFileErrno = EOVERFLOW;

// Writes every byte; raises IoError ("Disk full" when the file system takes
// fewer bytes without naming an error).
void WriteAllOrRaise(int fd, const char* data, size_t size)
{
    if (const int error = WriteAll(fd, data, size))
        RaiseErrno(error);
}

// Reads exactly `size` bytes; "Read beyond end of file" when the file ends first.
void ReadAllOrRaise(int fd, char* data, size_t size)
{
    const ssize_t n = ReadUpTo(fd, data, size);
    if (n < 0)
        RaiseErrno(errno);
    if (size_t(n) < size)
        throw IoError(kIoReadBeyondEnd);
}

// Copies `size` bytes from offset `from` of `in` to the current position of
// `out` through memory: for file systems that cannot copy in the kernel.
void CopyByBlocks(int in, qint64 from, int out, qint64 size)
{
    const off_t kept = ::lseek(in, 0, SEEK_CUR);
    if (kept < 0 || ::lseek(in, from, SEEK_SET) < 0)
        RaiseErrno(errno);
    std::vector<char> buffer(1 << 20);
    while (size > 0) {
        const size_t n = size_t(std::min<qint64>(size, qint64(buffer.size())));
        ReadAllOrRaise(in, buffer.data(), n);
        WriteAllOrRaise(out, buffer.data(), n);
        size -= qint64(n);
    }
    if (::lseek(in, kept, SEEK_SET) < 0)
        RaiseErrno(errno);
}

} // namespace

RecordFile::~RecordFile() { close(); }

bool RecordFile::open(const QString& path, OpenFor mode)
{
    close();
    fd_ = OpenRegular(path, mode == OpenFor::Reading ? O_RDONLY : O_RDWR);
    openError_ = fd_ < 0 ? IoCodeFromErrno(errno) : 0;
    if (fd_ >= 0 && IsSparseFile(fd_)) {
        close();
        openError_ = IoCodeFromErrno(kSparseFileErrno);
    }
    return fd_ >= 0;
}

bool RecordFile::create(const QString& path)
{
    close();
    fd_ = OpenRegular(path, O_RDWR | O_CREAT | O_TRUNC, 0644);
    openError_ = fd_ < 0 ? IoCodeFromErrno(errno) : 0;
    if (fd_ >= 0)
        ShareNewFile(fd_, QFile::encodeName(QFileInfo(path).absolutePath()), 0644);
    return fd_ >= 0;
}

bool RecordFile::openOrCreate(const QString& path, int newFileMode)
{
    close();
    const QByteArray native = QFile::encodeName(path);
    bool created = false;
    fd_ = OpenRegularFile(native, O_RDWR);
    if (fd_ < 0 && errno == ENOENT) {
        // Created with no access for others until its mode is set below.
        fd_ = OpenRegularFile(native, O_RDWR | O_CREAT | O_EXCL, 0600);
        created = fd_ >= 0;
        if (fd_ < 0 && errno == EEXIST) // made meanwhile by someone else
            fd_ = OpenRegularFile(native, O_RDWR);
    }
    openError_ = fd_ < 0 ? IoCodeFromErrno(errno) : 0;
    if (fd_ < 0)
        return false;
    if (created) {
        const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
        ::fchmod(fd_, ModeInFolder(folder, mode_t(newFileMode)));
        SyncFolder(folder);
    } else if (IsSparseFile(fd_)) {
        close();
        openError_ = IoCodeFromErrno(kSparseFileErrno);
    }
    return fd_ >= 0;
}

bool RecordFile::attach(int fd)
{
    close();
    fd_ = fd >= 0 ? ::fcntl(fd, F_DUPFD_CLOEXEC, 0) : -1;
    openError_ = fd_ < 0 ? IoCodeFromErrno(fd >= 0 ? errno : EBADF) : 0;
    return fd_ >= 0;
}

qint64 RecordFile::size()
{
    ensureOpen();
    struct stat st;
    if (::fstat(fd_, &st) != 0)
        RaiseErrno(errno);
    // Checked after the size was taken: a hole made since lies below it too.
    if (IsSparseFile(fd_))
        RaiseErrno(kSparseFileErrno);
    return st.st_size;
}

void RecordFile::ensureOpen() const
{
    if (fd_ < 0)
        throw IoError(openError_ != 0 ? openError_ : kIoFileNotOpen);
}

bool RecordFile::atEnd()
{
    qint64 position;
    return wholeRecordBytesLeft(position) == 0;
}

qint64 RecordFile::wholeRecordBytesLeft(qint64& position)
{
    ensureOpen();
    position = ::lseek(fd_, 0, SEEK_CUR);
    if (position < 0 && errno == ESPIPE)
        return 0; // a pipe: no whole record without waiting for a writer
    struct stat st;
    if (position < 0 || ::fstat(fd_, &st) != 0)
        RaiseErrno(errno);
    const qint64 left = std::max<qint64>(st.st_size - position, 0);
    return left - left % recordSize_;
}

QByteArray RecordFile::read()
{
    ensureOpen();
    QByteArray record(recordSize_, '\0');
    ReadAllOrRaise(fd_, record.data(), size_t(recordSize_));
    return record;
}

bool RecordFile::readRecords(QByteArray& bytes, int count)
{
    qint64 position;
    const qint64 size =
        std::min<qint64>(wholeRecordBytesLeft(position), qint64(count) * recordSize_);
    bytes.resize(size);
    ReadAllOrRaise(fd_, bytes.data(), size_t(size));
    return size > 0;
}

void RecordFile::writeRecords(QByteArrayView bytes)
{
    ensureOpen();
    WriteAllOrRaise(fd_, bytes.constData(), size_t(bytes.size()));
    // Start writing these pages to disk now, so that a later sync() waits for
    // less. Only a hint: its failure changes nothing.
    const off_t end = ::lseek(fd_, 0, SEEK_CUR);
    if (end >= 0)
        (void)::sync_file_range(fd_, end - bytes.size(), bytes.size(), SYNC_FILE_RANGE_WRITE);
}

void RecordFile::copyRecordsTo(std::initializer_list<RecordFile*> outputs, qint64 maxRecords)
{
    qint64 start;
    qint64 size = wholeRecordBytesLeft(start);
    if (maxRecords >= 0)
        size = std::min(size, maxRecords * recordSize_);
    for (RecordFile* out : outputs) {
        out->ensureOpen();
        loff_t from = start;
        qint64 done = 0;
        while (done < size) {
            const ssize_t n =
                ::copy_file_range(fd_, &from, out->fd_, nullptr, size_t(size - done), 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 &&
                (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                CopyByBlocks(fd_, from, out->fd_, size - done);
                break;
            }
            if (n < 0)
                RaiseErrno(errno);
            if (n == 0)
                throw IoError(kIoReadBeyondEnd);
            done += n;
        }
    }
    if (::lseek(fd_, start + size, SEEK_SET) < 0)
        RaiseErrno(errno);
}

void RecordFile::write(const QByteArray& record)
{
    ensureOpen();
    QByteArray bytes = record.left(recordSize_);
    bytes.append(QByteArray(recordSize_ - bytes.size(), '\0'));
    WriteAllOrRaise(fd_, bytes.constData(), size_t(bytes.size()));
}

void RecordFile::appendRecord(const QByteArray& record)
{
    ensureOpen();
    struct stat st;
    if (::fstat(fd_, &st) != 0)
        RaiseErrno(errno);
    const off_t whole = st.st_size - st.st_size % recordSize_;
    if (whole != st.st_size && ::ftruncate(fd_, whole) != 0)
        RaiseErrno(errno);
    QByteArray bytes = record.left(recordSize_);
    bytes.append(QByteArray(recordSize_ - bytes.size(), '\0'));
    int error = WriteAllAt(fd_, bytes.constData(), size_t(bytes.size()), whole);
    if (error == 0 && ::fdatasync(fd_) != 0)
        error = errno;
    if (error != 0) {
        (void)::ftruncate(fd_, whole);
        RaiseErrno(error);
    }
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
