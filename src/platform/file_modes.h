#pragma once
// Files in a folder shared by a group of accounts (a setgid folder its group
// may write, like the class folder of a school machine) are made readable and
// replaceable by every account of that group, whatever the umask says, and
// give the accounts outside the group no more than the folder itself gives them.

#include <QByteArray>
#include <sys/types.h>

// True when `folder` is a setgid folder that its group may write.
bool IsSharedFolder(const QByteArray& folder);

// The mode a file in `folder` gets for `mode`: only its read and write bits
// (a stored file is never executable, set-id or sticky), and in a shared
// folder the group also gets the owner's read and write permission while the
// others keep at most the bits the folder gives them.
mode_t ModeInFolder(const QByteArray& folder, mode_t mode);

// Gives the open file `fd` in `folder` its mode for `mode` (ModeInFolder)
// when the folder is shared and this process owns the file; otherwise leaves it alone.
void ShareNewFile(int fd, const QByteArray& folder, mode_t mode);
