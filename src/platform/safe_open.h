#pragma once
// Opening the files of a folder that other accounts may write (the class
// folder): only regular files of that folder itself. The last name of the path
// is never followed when it is a link, a pipe never blocks the opening, and
// what was opened is checked with fstat before anything is read or written.

#include <QByteArray>
#include <sys/types.h>

// Opens `path` with `flags` (O_RDONLY, O_WRONLY or O_RDWR, with O_CREAT,
// O_EXCL and O_TRUNC as wanted; the descriptor is close-on-exec). O_TRUNC
// cuts the file only once it is known to be a regular file. -1 on failure, with
// errno: EACCES where a link, pipe, device or socket lies at `path`, EISDIR
// for a folder, else the system's own code.
int OpenRegularFile(const QByteArray& path, int flags, mode_t mode = 0);

// True when the open regular file `fd` has fewer allocated blocks than its
// length needs (sparse): a hole before its end, or, on a file system that
// reports no holes, far fewer allocated bytes than its length. Reading or
// copying such a file makes bytes its maker never paid for in disk space.
// The file's position is kept.
bool IsSparseFile(int fd);

// What lies at `path`, looked at without following a link.
enum class EntryKind { Missing, RegularFile, Folder, Other };
EntryKind EntryKindOf(const QByteArray& path);
