#pragma once
// What the desktop shell provides: opening files, the folder dialog, the
// desktop folder, shortcuts and the administrator-rights probe.

#include <QString>
#include <functional>

class QWidget;

// The user's desktop folder with one trailing "/", or empty.
QString DesktopFolder();

// True when the machine store can be opened with full access.
bool HasAdminRights();

// Folder dialog "Select Folder" (through the dialogs seam); false when cancelled.
bool BrowseFolder(QWidget* owner, QString& folder);

// Opens a file: an executable is started detached in `workingFolder` (empty:
// the file's own folder), anything else goes to the desktop's default
// application. `showMode` 0 is a normal window. True when the request was accepted.
bool ShellOpen(const QString& file, const QString& parameters, const QString& workingFolder,
               int showMode);

// Tests replace what ShellOpen does; an empty function restores the real one.
using ShellOpenHook = std::function<bool(const QString& file, const QString& workingFolder)>;
void SetShellOpenHook(ShellOpenHook hook);

// Writes a desktop entry at `shortcutPath` that starts `target` with
// `arguments`, in the target's folder. Executable, valid for desktop-file-validate.
void CreateShortcut(const QString& shortcutPath, const QString& arguments, const QString& target);
