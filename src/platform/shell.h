#pragma once
// What the desktop shell provides without a window of its own: the folder
// dialog (through the dialogs seam), the desktop folder, shortcuts and the
// administrator-rights probe.

#include <QString>

class QWidget;

// The user's desktop folder with one trailing "/", or empty.
QString DesktopFolder();

// True when the machine store can be opened with full access.
bool HasAdminRights();

// Folder dialog "Select Folder" (through the dialogs seam); false when cancelled.
bool BrowseFolder(QWidget* owner, QString& folder);

// Writes a desktop entry at `shortcutPath` that starts `target` with
// `arguments`, in the target's folder. Executable, valid for desktop-file-validate.
void CreateShortcut(const QString& shortcutPath, const QString& arguments, const QString& target);
