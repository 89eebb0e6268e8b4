#pragma once
// Files in a folder shared by a group of accounts (a setgid folder its group
// may write, like the class folder of a school machine) are made readable and
// replaceable by every account of that group, whatever the umask says.

#include <QByteArray>
#include <sys/types.h>

// True when `folder` is a setgid folder that its group may write.
bool IsSharedFolder(const QByteArray& folder);

// The mode a file in `folder` gets: `mode`, and in a shared folder the group
// also gets the owner's read and write permission.
mode_t ModeInFolder(const QByteArray& folder, mode_t mode);

// Gives the open file `fd` in `folder` its shared mode when the folder is
// shared and this process owns the file; otherwise leaves it alone.
void ShareNewFile(int fd, const QByteArray& folder, mode_t mode);
