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

int WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return ENOSPC;
        data += written;
        size -= size_t(written);
    }
    return 0;
}

int WriteAllAt(int fd, const char* data, size_t size, off_t offset)
{
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, data, size, offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return ENOSPC;
        data += written;
        size -= size_t(written);
        offset += written;
    }
    return 0;
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
