#include "platform/file_modes.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The folder's mode bits, or -1 where it is no folder.
int FolderMode(const QByteArray& folder)
{
    struct stat st;
    if (::stat(folder.isEmpty() ? "." : folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return -1;
    return int(st.st_mode & 07777);
}

bool IsShared(int folderMode)
{
    return folderMode >= 0 && (folderMode & S_ISGID) && (folderMode & S_IWGRP);
}

} // namespace

bool IsSharedFolder(const QByteArray& folder) { return IsShared(FolderMode(folder)); }

mode_t ModeInFolder(const QByteArray& folder, mode_t mode)
{
    mode &= 0666;
    const int folderMode = FolderMode(folder);
    if (IsShared(folderMode)) {
        mode |= (mode & (S_IRUSR | S_IWUSR)) >> 3;
        mode &= ~mode_t(S_IRWXO) | (mode_t(folderMode) & S_IRWXO);
    }
    return mode;
}

void ShareNewFile(int fd, const QByteArray& folder, mode_t mode)
{
    struct stat st;
    if (IsSharedFolder(folder) && ::fstat(fd, &st) == 0 && st.st_uid == ::geteuid())
        ::fchmod(fd, ModeInFolder(folder, mode));
}
