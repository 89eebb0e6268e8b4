#include "platform/atomic_file.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

bool ReplaceFileAtomically(const QString& path, const QByteArray& bytes, int newFileMode,
                           int forceMode)
{
    // A link is followed: the file it names is the one replaced.
    QString finalPath = path;
    const QFileInfo info(path);
    if (info.isSymLink())
        finalPath = info.symLinkTarget();
    const QByteArray target = QFile::encodeName(finalPath);

    struct stat old;
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return false;

    QByteArray name = target + ".XXXXXX";
    int fd = ::mkstemp(name.data());
    if (fd < 0)
        return false;
    mode_t mode = static_cast<mode_t>(exists ? (old.st_mode & 07777) : newFileMode);
    if (forceMode >= 0)
        mode = static_cast<mode_t>(forceMode);
    bool ok = ::fchmod(fd, mode) == 0;
    if (ok && exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
        (void)::fchown(fd, old.st_uid, old.st_gid); // kept where we may
    ok = ok && WriteAll(fd, bytes.constData(), bytes.size()) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(name.constData(), target.constData()) == 0;
    if (!ok) {
        ::unlink(name.constData());
        return false;
    }
    // Make the rename itself durable.
    const QByteArray folder = QFile::encodeName(QFileInfo(finalPath).absolutePath());
    int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}
