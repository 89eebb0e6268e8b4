#pragma once
// Replacing a file whole: a complete temporary file is written beside it,
// flushed to disk and renamed over the old one, so a failure or a crash leaves
// either the old file or the new one, never a half-written file.

#include <QByteArray>
#include <QString>

struct ReplaceOutcome {
    // False when the temporary file could not be created, or the target is not
    // a regular file that may be written: nothing was touched.
    bool created = false;
    // After creation: 0 when the file was replaced, else the errno of the
    // failed write, flush or rename (the old file is whole, the temporary gone).
    int error = 0;

    bool replaced() const { return created && error == 0; }
};

// A replaced file keeps its mode and owner; a new one gets `newFileMode`. In a
// shared folder (file_modes.h) the group also gets the owner's read and write.
// `forceMode` >= 0 sets the mode in every case. A link is followed.
ReplaceOutcome ReplaceFileWhole(const QString& path, const QByteArray& bytes, int newFileMode = 0644,
                                int forceMode = -1);
