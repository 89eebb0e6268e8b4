#include "platform/atomic_file.h"

#include "platform/file_modes.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kTempPrefix[] = ".zelvo-";
const char kTempSuffix[] = ".tmp";

// 0, or the errno of the failed write (ENOSPC when nothing more is taken).
int WriteAll(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return ENOSPC;
        data += n;
        size -= n;
    }
    return 0;
}

// The folder part of a native path, with its trailing "/" ("" for a bare name).
QByteArray FolderOf(const QByteArray& path) { return path.left(path.lastIndexOf('/') + 1); }

// Makes the rename itself durable.
void SyncFolder(const QByteArray& folder)
{
    const int dir = ::open(folder.isEmpty() ? "." : folder.constData(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace

FileReplacement::FileReplacement(const QString& target, int newFileMode, int forceMode)
{
    if (target.isEmpty()) {
        createError_ = ENOENT;
        return;
    }
    QString finalPath = target;
    const QFileInfo info(target);
    if (info.isSymLink())
        finalPath = info.symLinkTarget();
    target_ = QFile::encodeName(finalPath);

    struct stat old;
    const bool exists = ::stat(target_.constData(), &old) == 0;
    if (!exists && errno != ENOENT) { // a name too long, a path beneath a file, ...
        createError_ = errno;
        return;
    }
    if (exists && !S_ISREG(old.st_mode)) {
        createError_ = S_ISDIR(old.st_mode) ? EISDIR : EACCES;
        return;
    }
    if (exists && ::access(target_.constData(), W_OK) != 0) {
        createError_ = EACCES;
        return;
    }
    // Set explicitly, so the umask has no say; in a shared folder the group
    // may replace the file too.
    mode_ = ModeInFolder(QFile::encodeName(QFileInfo(finalPath).absolutePath()),
                         static_cast<mode_t>(exists ? (old.st_mode & 07777) : newFileMode));
    if (forceMode >= 0)
        mode_ = static_cast<unsigned>(forceMode);
    if (exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        keepOwner_ = true;
        ownerUid_ = old.st_uid;
        ownerGid_ = old.st_gid;
    }

    QByteArray name = FolderOf(target_) + kTempPrefix + QByteArray::number(::getpid()) + "-XXXXXX"
                      + kTempSuffix;
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
    outcome.error = WriteAll(replacement.fd(), bytes.constData(), bytes.size());
    if (outcome.error == 0)
        outcome.error = replacement.commit();
    return outcome;
}

bool IsTemporaryFileName(const QString& name)
{
    return name.startsWith(QLatin1String(kTempPrefix)) && name.endsWith(QLatin1String(kTempSuffix));
}

void RemoveLeftTemporaryFiles(const QString& folder)
{
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-3600);
    // Names are tested here rather than by a wildcard filter, which would load
    // the regular-expression engine at every start.
    QStringList names;
    QDirIterator it(dir.path(), QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        const QString name = QFileInfo(it.next()).fileName();
        if (IsTemporaryFileName(name))
            names << name;
    }
    for (const QString& name : names) {
        const QFileInfo info(dir.filePath(name));
        if (!info.isSymLink() && info.lastModified().toUTC() < before)
            QFile::remove(info.filePath());
    }
}
