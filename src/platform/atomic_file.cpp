#include "platform/atomic_file.h"

#include "platform/file_modes.h"
#include "platform/posix_io.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kTempPrefix[] = ".zelvo-";
const char kTempSuffix[] = ".tmp";

// The folder part of a native path, with its trailing "/" ("" for a bare name).
QByteArray FolderOf(const QByteArray& path) { return path.left(path.lastIndexOf('/') + 1); }

} // namespace

void SyncFolder(const QByteArray& folder)
{
    const int dir =
        ::open(folder.isEmpty() ? "." : folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

FileReplacement::FileReplacement(const QString& target, int newFileMode, int forceMode)
{
    if (target.isEmpty()) {
        createError_ = ENOENT;
        return;
    }
    // The target itself, never what a link there points to: in a folder that
    // other accounts may write, a link could name any file of this account.
    target_ = QFile::encodeName(target);
    struct stat old;
    const bool exists = ::lstat(target_.constData(), &old) == 0;
    if (!exists && errno != ENOENT) { // a name too long, a path beneath a file, ...
        createError_ = errno;
        return;
    }
    if (exists && !S_ISREG(old.st_mode)) {
        createError_ = S_ISDIR(old.st_mode) ? EISDIR : EACCES;
        return;
    }
    // The effective ids decide, as they do for the write itself: the class
    // folder's keeper writes with its group, not the caller's.
    if (exists && ::faccessat(AT_FDCWD, target_.constData(), W_OK, AT_EACCESS) != 0) {
        createError_ = EACCES;
        return;
    }
    // Set explicitly, so the umask has no say; in a shared folder the group
    // may replace the file too.
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());
    mode_ = ModeInFolder(folder, static_cast<mode_t>(exists ? old.st_mode : newFileMode));
    if (forceMode >= 0)
        mode_ = static_cast<unsigned>(forceMode);
    if (exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        keepOwner_ = true;
        ownerUid_ = old.st_uid;
        ownerGid_ = old.st_gid;
    }

    QByteArray name =
        FolderOf(target_) + kTempPrefix + QByteArray::number(::getpid()) + "-XXXXXX" + kTempSuffix;
    fd_ = ::mkostemps(name.data(), int(sizeof(kTempSuffix) - 1), O_CLOEXEC);
    if (fd_ < 0) {
        createError_ = errno;
        return;
    }
    tempPath_ = QFile::decodeName(name);
}

FileReplacement::~FileReplacement() { discard(); }

void FileReplacement::discard()
{
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
    ::unlink(QFile::encodeName(tempPath_).constData());
}

int FileReplacement::commit()
{
    if (fd_ < 0)
        return createError_ != 0 ? createError_ : EBADF;
    ::fchmod(fd_, static_cast<mode_t>(mode_));
    if (keepOwner_)
        (void)::fchown(fd_, ownerUid_, ownerGid_); // kept where we may
    const QByteArray temp = QFile::encodeName(tempPath_);
    int error = ::fsync(fd_) != 0 ? errno : 0;
    if (::close(fd_) != 0 && error == 0 && errno != EINTR)
        error = errno;
    fd_ = -1;
    if (error == 0 && ::rename(temp.constData(), target_.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.constData());
        return error;
    }
    SyncFolder(FolderOf(target_));
    return 0;
}

ReplaceOutcome ReplaceFileWhole(const QString& path, const QByteArray& bytes, int newFileMode,
                                int forceMode)
{
    ReplaceOutcome outcome;
    FileReplacement replacement(path, newFileMode, forceMode);
    if (!replacement.created())
        return outcome;
    outcome.created = true;
    outcome.error = WriteAll(replacement.fd(), bytes.constData(), size_t(bytes.size()));
    if (outcome.error == 0)
        outcome.error = replacement.commit();
    return outcome;
}

int CreateFileWhole(const QString& path, const QByteArray& bytes, int newFileMode)
{
    const QByteArray target = QFile::encodeName(path);
    if (target.isEmpty())
        return ENOENT;
    QByteArray temp =
        FolderOf(target) + kTempPrefix + QByteArray::number(::getpid()) + "-XXXXXX" + kTempSuffix;
    const int fd = ::mkostemps(temp.data(), int(sizeof(kTempSuffix) - 1), O_CLOEXEC);
    if (fd < 0)
        return errno;
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    int error = WriteAll(fd, bytes.constData(), size_t(bytes.size()));
    if (error == 0 && ::fchmod(fd, ModeInFolder(folder, mode_t(newFileMode))) != 0)
        error = errno;
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    if (error == 0 && ::link(temp.constData(), target.constData()) != 0) {
        error = errno;
        // File systems without hard links may still rename without replacing.
        if ((error == EPERM || error == EOPNOTSUPP) &&
            ::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, target.constData(),
                        RENAME_NOREPLACE) == 0)
            error = 0;
    }
    ::unlink(temp.constData()); // gone already where it was renamed
    if (error == 0)
        SyncFolder(FolderOf(target));
    return error;
}

NewFileRefusal NewFileRefusalAt(const QString& path)
{
    // What lies at the name itself, never what a link there points to.
    struct stat st;
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return NewFileRefusal::None;
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
        return NewFileRefusal::NotAFile;
    return st.st_uid == ::geteuid() ? NewFileRefusal::None : NewFileRefusal::OtherAccount;
}

NewFileOutcome WriteNewFileAs(const QString& path, const QByteArray& bytes)
{
    NewFileOutcome outcome;
    const QByteArray target = QFile::encodeName(path);
    if (target.isEmpty()) {
        outcome.error = ENOENT;
        return outcome;
    }
    outcome.refused = NewFileRefusalAt(path);
    if (outcome.refused != NewFileRefusal::None)
        return outcome;

    // A new name of this process's own: O_EXCL and O_NOFOLLOW make sure that
    // the file opened is the one created here, with the umask's mode.
    const QByteArray prefix = FolderOf(target) + kTempPrefix + QByteArray::number(::getpid()) + '-';
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = prefix;
        for (int i = 0; i < 6; ++i)
            temp += kLetters[QRandomGenerator::global()->bounded(int(sizeof(kLetters) - 1))];
        temp += kTempSuffix;
        fd = OpenRetrying(temp.constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            outcome.error = errno;
            return outcome;
        }
    }
    if (fd < 0) {
        outcome.error = EEXIST;
        return outcome;
    }

    int error = WriteAll(fd, bytes.constData(), size_t(bytes.size()));
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    if (error == 0 && ::rename(temp.constData(), target.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.constData());
        outcome.error = error;
        return outcome;
    }
    SyncFolder(FolderOf(target));
    return outcome;
}

bool IsTemporaryFileName(const QString& name)
{
    return name.startsWith(QLatin1String(kTempPrefix)) && name.endsWith(QLatin1String(kTempSuffix));
}

namespace {

// The temporary files left in `folder` an hour ago or earlier: only regular
// files, judged by what they are themselves (lstat), since a link of such a
// name is not this module's, whatever it points to.
QList<QByteArray> LeftTemporaryFiles(const QString& folder)
{
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const time_t before = ::time(nullptr) - 3600;
    // Names are tested here rather than by a wildcard filter, which would load
    // the regular-expression engine at every start.
    QList<QByteArray> left;
    QDirIterator it(dir.path(),
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        if (!IsTemporaryFileName(it.fileName()))
            continue;
        const QByteArray path = QFile::encodeName(dir.filePath(it.fileName()));
        struct stat st;
        if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_mtime < before)
            left << path;
    }
    return left;
}

} // namespace

bool HasLeftTemporaryFiles(const QString& folder) { return !LeftTemporaryFiles(folder).isEmpty(); }

void RemoveLeftTemporaryFiles(const QString& folder)
{
    for (const QByteArray& path : LeftTemporaryFiles(folder))
        ::unlink(path.constData());
}
