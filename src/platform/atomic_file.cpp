#include "platform/atomic_file.h"

#include "platform/file_modes.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

} // namespace

ReplaceOutcome ReplaceFileWhole(const QString& path, const QByteArray& bytes, int newFileMode,
                                int forceMode)
{
    ReplaceOutcome outcome;
    if (path.isEmpty())
        return outcome;
    QString finalPath = path;
    const QFileInfo info(path);
    if (info.isSymLink())
        finalPath = info.symLinkTarget();
    const QByteArray target = QFile::encodeName(finalPath);

    struct stat old;
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists && (!S_ISREG(old.st_mode) || ::access(target.constData(), W_OK) != 0))
        return outcome;

    QByteArray name = target + ".XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return outcome;
    outcome.created = true;
    // Set explicitly, so the umask has no say; in a shared folder the group
    // may replace the file too.
    const QByteArray parent = QFile::encodeName(QFileInfo(finalPath).absolutePath());
    mode_t mode = ModeInFolder(parent, static_cast<mode_t>(exists ? (old.st_mode & 07777) : newFileMode));
    if (forceMode >= 0)
        mode = static_cast<mode_t>(forceMode);
    ::fchmod(fd, mode);
    if (exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
        (void)::fchown(fd, old.st_uid, old.st_gid); // kept where we may
    int error = WriteAll(fd, bytes.constData(), bytes.size());
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    if (error == 0 && ::rename(name.constData(), target.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(name.constData());
        outcome.error = error;
        return outcome;
    }
    // Make the rename itself durable.
    const QByteArray folder = QFile::encodeName(QFileInfo(finalPath).absolutePath());
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return outcome;
}
