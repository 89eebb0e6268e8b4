#pragma once
// System calls that a signal may interrupt (EINTR): each is asked again until
// it is not interrupted.

#include <sys/types.h>

#include <cstddef>

// ::open. The descriptor, or -1 with errno.
int OpenRetrying(const char* path, int flags, mode_t mode = 0);

// Writes every byte. 0, or the errno of the failed write (ENOSPC when the file
// system takes nothing more without naming an error).
int WriteAll(int fd, const char* data, size_t size);
// Writes every byte at `offset` (pwrite: the file's position stays). 0, or
// the errno as for WriteAll.
int WriteAllAt(int fd, const char* data, size_t size, off_t offset);

// Reads until `size` bytes are read or the file ends; a non-blocking
// descriptor with nothing to give (an empty pipe) ends the reading too. The
// count read (less than `size` at the end), or -1 with errno.
ssize_t ReadUpTo(int fd, char* data, size_t size);
