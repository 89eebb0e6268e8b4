#include "platform/posix_io.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

int OpenRetrying(const char* path, int flags, mode_t mode)
{
    int fd;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

namespace {

// Writes the whole of `data` with `writeAt(data, size, offset)`, retrying
// after signals and short writes; 0 or the errno of the failure.
template <typename WriteAt> int WriteWhole(const char* data, size_t size, WriteAt writeAt)
{
    off_t done = 0;
    while (size > 0) {
        const ssize_t written = writeAt(data, size, done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return ENOSPC;
        data += written;
        size -= size_t(written);
        done += written;
    }
    return 0;
}

} // namespace

int WriteAll(int fd, const char* data, size_t size)
{
    return WriteWhole(data, size,
                      [fd](const char* d, size_t n, off_t) { return ::write(fd, d, n); });
}

int WriteAllAt(int fd, const char* data, size_t size, off_t offset)
{
    return WriteWhole(data, size, [fd, offset](const char* d, size_t n, off_t done) {
        return ::pwrite(fd, d, n, offset + done);
    });
}

ssize_t ReadUpTo(int fd, char* data, size_t size)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || (n < 0 && errno == EAGAIN))
            break;
        if (n < 0)
            return -1;
        done += size_t(n);
    }
    return ssize_t(done);
}
