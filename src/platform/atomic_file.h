#pragma once
// Replacing a file whole: a complete temporary file is written beside it,
// flushed to disk and renamed over the old one, so a failure or a crash leaves
// either the old file or the new one, never a half-written file.
//
// Temporary files have short names of this process's own in the target's
// folder (".zelvo-<pid>-XXXXXX.tmp", created exclusively): a target whose
// name is as long as the file system allows can still be replaced, and
// several processes replacing files in one folder never share a temporary.

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

// A replaced file keeps its mode (its read and write bits) and owner; a new one
// gets `newFileMode`. In a shared folder (file_modes.h) the group also gets the
// owner's read and write, the others no more than the folder gives them.
// `forceMode` >= 0 sets the mode in every case. A link at `path` is never
// followed: like a folder, pipe or device there, it is refused (nothing is
// created), so a link planted in a shared folder cannot lead the new content
// into another file.
ReplaceOutcome ReplaceFileWhole(const QString& path, const QByteArray& bytes,
                                int newFileMode = 0644, int forceMode = -1);

// The temporary file of one replacement, for writers that stream their content
// (through `fd()`, or another descriptor opened on `path()`). Removed when the object goes unless
// committed.
class FileReplacement {
  public:
    // Modes as for ReplaceFileWhole. Check created() before writing.
    explicit FileReplacement(const QString& target, int newFileMode = 0644, int forceMode = -1);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    bool created() const { return fd_ >= 0; }
    // Why the temporary was not created: an errno (EISDIR for a folder, EACCES
    // for a link, pipe or device, or a file that may not be written).
    int createError() const { return createError_; }
    // The temporary file's path (empty when it was not created) and its descriptor.
    const QString& path() const { return tempPath_; }
    int fd() const { return fd_; }
    // Gives the temporary file the target's mode and owner, flushes it and
    // renames it over the target. 0, or the errno of the failed step (the
    // temporary is removed then, the target untouched).
    int commit();

  private:
    void discard();
    QByteArray target_;
    QString tempPath_;
    int fd_ = -1;
    int createError_ = 0;
    unsigned mode_ = 0644;
    bool keepOwner_ = false;
    unsigned ownerUid_ = 0;
    unsigned ownerGid_ = 0;
};

// Creates `path` with `bytes` only where nothing lies at that name: a complete
// temporary file beside it, flushed, is linked to the name (which never
// replaces anything, a link or folder there included) and then removed, so
// the new file is whole or absent at every moment. Its mode is as for a new
// file of ReplaceFileWhole. 0, or the errno of the failed step (EEXIST when
// something lies at the name); nothing is left behind on failure.
int CreateFileWhole(const QString& path, const QByteArray& bytes, int newFileMode = 0644);

// Makes the names in `folder` durable (after a file was created or renamed there).
void SyncFolder(const QByteArray& folder);

// A file that the user names to be written (an export's output), written as a
// new file of this account: created exclusively beside the name, never
// through a link, with the mode 0666 less the umask (nothing copied from an
// old file), then renamed onto the literal name. A link of this account's own
// at `path` is replaced as a name; its target is never opened or created.
enum class NewFileRefusal {
    None,
    NotAFile,     // a folder, pipe, device or socket lies at `path`
    OtherAccount, // what lies there belongs to another account (a link too)
};
struct NewFileOutcome {
    NewFileRefusal refused = NewFileRefusal::None; // refused: nothing was created
    int error = 0; // else the errno of the failed step (the old entry untouched, nothing left)

    bool written() const { return refused == NewFileRefusal::None && error == 0; }
};
NewFileOutcome WriteNewFileAs(const QString& path, const QByteArray& bytes);
// The refusal WriteNewFileAs would give for what lies at `path` now.
NewFileRefusal NewFileRefusalAt(const QString& path);

// True for a name this module gives its temporary files.
bool IsTemporaryFileName(const QString& name);

// Removes the temporary files that killed processes left in `folder` (an hour
// old at least, so that no replacement still under way loses its file); only
// regular files, never a link, pipe or folder of such a name.
void RemoveLeftTemporaryFiles(const QString& folder);
// True when `folder` holds such left temporary files.
bool HasLeftTemporaryFiles(const QString& folder);
