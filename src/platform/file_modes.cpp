#include "platform/file_modes.h"

#include <sys/stat.h>
#include <unistd.h>

bool IsSharedFolder(const QByteArray& folder)
{
    struct stat st;
    return ::stat(folder.isEmpty() ? "." : folder.constData(), &st) == 0 && S_ISDIR(st.st_mode)
           && (st.st_mode & S_ISGID) && (st.st_mode & S_IWGRP);
}

mode_t ModeInFolder(const QByteArray& folder, mode_t mode)
{
    if (IsSharedFolder(folder))
        mode |= (mode & (S_IRUSR | S_IWUSR)) >> 3;
    return mode;
}

void ShareNewFile(int fd, const QByteArray& folder, mode_t mode)
{
    struct stat st;
    if (IsSharedFolder(folder) && ::fstat(fd, &st) == 0 && st.st_uid == ::geteuid())
        ::fchmod(fd, ModeInFolder(folder, mode));
}
