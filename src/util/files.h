#pragma once
// File-system routines. "/" is the separator; folder texts end with exactly
// one "/" and file names are formed by concatenating folder and name
// (StripTrailingSeparators and WithTrailingSeparator, from platform/paths.h).

#include "platform/paths.h"

#include <QString>
#include <QStringList>

// Sets the program folder from the executable's path.
void InitProgramFolder();
// The program folder, ending with "/".
QString ProgramFolder();
// Tests place the program folder where they want it.
void SetProgramFolder(const QString& folder);

// Creates every missing folder along the path; true when all exist at the end.
bool CreateFolderPath(const QString& path);

// Appends the full paths of the regular files in `folder` matching `mask` (*
// and ?, Latin letters without regard to case; "*.*" matches all); a link,
// folder, pipe or device is never listed. A relative folder is taken against
// the current folder, which stays as it is; a folder that cannot be read
// adds nothing.
void ListFiles(const QString& mask, const QString& folder, QStringList& list);

// The file name without folder and extension.
QString BaseFileName(const QString& path);

bool FileExists(const QString& path); // a file, not a folder (a link to one counts)
bool FolderExists(const QString& path);
// A regular file itself lies at `path` (a link is not followed).
bool IsRegularFile(const QString& path);
// For the files of the user folder, where another account may have put
// anything: something other than a folder lies at `path`, looked at without
// following a link. A link, pipe or device counts, so that the step that goes
// on to open it fails with its read or write error.
bool UserFileExists(const QString& path);

// Deletes the file (a link itself, never what it points to); reports nothing.
// Nothing about the file is changed before.
void RemoveFile(const QString& path);
