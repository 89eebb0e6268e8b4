#pragma once
// Replacing a file whole: a complete temporary file is written beside it,
// flushed to disk and renamed over the old one, so a failure or a crash leaves
// either the old file or the new one, never a half-written file.

#include <QByteArray>
#include <QString>

// True when `path` now holds `bytes`. A replaced file keeps its mode and owner;
// a new one gets `newFileMode`. `forceMode` >= 0 sets the mode in every case.
bool ReplaceFileAtomically(const QString& path, const QByteArray& bytes, int newFileMode = 0644,
                           int forceMode = -1);
