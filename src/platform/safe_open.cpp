#include "platform/safe_open.h"

#include "platform/posix_io.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Where the file system reports no holes (NFS before version 4.2 among them),
// the allocated blocks decide, for files of at least this size, and only
// when they cover less than this share of the length: compressing file
// systems report fewer blocks than the length of a file without holes, and
// small files may live in the file's own metadata with no block at all.
constexpr off_t kLeastSizeJudgedByBlocks = off_t(1) << 20;
constexpr off_t kLengthPerAllocatedByte = 64;
constexpr off_t kBlockCountUnit = 512; // st_blocks counts 512-byte units

} // namespace

int OpenRegularFile(const QByteArray& path, int flags, mode_t mode)
{
    const bool truncate = (flags & O_TRUNC) != 0;
    const int openFlags = (flags & ~O_TRUNC) | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const int fd = OpenRetrying(path.constData(), openFlags, mode);
    if (fd < 0) {
        // ELOOP: a link (O_NOFOLLOW); ENXIO: a pipe without reader, a device without driver.
        if (errno == ELOOP || errno == ENXIO)
            errno = EACCES;
        return -1;
    }
    struct stat st;
    int error = 0;
    if (::fstat(fd, &st) != 0)
        error = errno;
    else if (!S_ISREG(st.st_mode))
        error = S_ISDIR(st.st_mode) ? EISDIR : EACCES;
    else if (truncate && st.st_size != 0 && ::ftruncate(fd, 0) != 0)
        error = errno;
    if (error != 0) {
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

bool IsSparseFile(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0)
        return false;
    const off_t kept = ::lseek(fd, 0, SEEK_CUR);
    const off_t hole = ::lseek(fd, 0, SEEK_HOLE);
    if (kept >= 0)
        (void)::lseek(fd, kept, SEEK_SET);
    if (hole >= 0 && hole < st.st_size)
        return true;
    return st.st_size >= kLeastSizeJudgedByBlocks &&
           off_t(st.st_blocks) * kBlockCountUnit * kLengthPerAllocatedByte < st.st_size;
}

EntryKind EntryKindOf(const QByteArray& path)
{
    struct stat st;
    if (path.isEmpty() || ::lstat(path.constData(), &st) != 0)
        return EntryKind::Missing;
    if (S_ISREG(st.st_mode))
        return EntryKind::RegularFile;
    return S_ISDIR(st.st_mode) ? EntryKind::Folder : EntryKind::Other;
}
