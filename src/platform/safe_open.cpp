#include "platform/safe_open.h"

#include "platform/posix_io.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

EntryKind EntryKindOf(const QByteArray& path)
{
    struct stat st;
    if (path.isEmpty() || ::lstat(path.constData(), &st) != 0)
        return EntryKind::Missing;
    if (S_ISREG(st.st_mode))
        return EntryKind::RegularFile;
    return S_ISDIR(st.st_mode) ? EntryKind::Folder : EntryKind::Other;
}
