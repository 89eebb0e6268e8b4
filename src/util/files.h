#pragma once
// File-system routines. "/" is the separator; folder texts end with exactly
// one "/" and file names are formed by concatenating folder and name.

#include <QString>
#include <QStringList>

QString StripTrailingSeparators(const QString& text);
// Empty stays empty; otherwise the text with exactly one trailing "/".
QString WithTrailingSeparator(const QString& text);

// Sets the program folder from the executable's path.
void InitProgramFolder();
// The program folder, ending with "/".
QString ProgramFolder();
// Tests place the program folder where they want it.
void SetProgramFolder(const QString& folder);

// Creates every missing folder along the path; true when all exist at the end.
bool CreateFolderPath(const QString& path);

// Appends the full paths of the files in `folder` matching `mask` (* and ?,
// Latin letters without regard to case; "*.*" matches all). The folder becomes
// the current folder; a folder that cannot be entered leaves everything as it was.
void ListFiles(const QString& mask, const QString& folder, QStringList& list);

// The file name without folder and extension.
QString BaseFileName(const QString& path);

bool FileExists(const QString& path);   // a file, not a folder
bool FolderExists(const QString& path);

// Gives the owner write permission and deletes the file; reports nothing.
void RemoveFile(const QString& path);

// Copies source to destination, giving it the source's modification time.
bool CopyFileKeepDate(const QString& source, const QString& destination);
