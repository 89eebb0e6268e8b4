#pragma once
// Opening a file with what the desktop gives for it.

#include <QString>
#include <functional>

// Opens a file: an executable is started detached in `workingFolder` (empty:
// the file's own folder), anything else goes to the desktop's default
// application. `showMode` 0 is a normal window. True when the request was accepted.
bool ShellOpen(const QString& file, const QString& parameters, const QString& workingFolder,
               int showMode);

// Tests replace what ShellOpen does; an empty function restores the real one.
using ShellOpenHook = std::function<bool(const QString& file, const QString& workingFolder)>;
void SetShellOpenHook(ShellOpenHook hook);
