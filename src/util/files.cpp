#include "util/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString& programFolderText()
{
    static QString folder;
    return folder;
}

QByteArray Native(const QString& path)
{
    return QFile::encodeName(path);
}

int RetryOpen(const QByteArray& path, int flags, mode_t mode = 0)
{
    int fd;
    do {
        fd = ::open(path.constData(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Gives the owner write permission ("clears the attributes") of an existing
// non-folder entry.
void ClearAttributes(const QByteArray& path)
{
    struct stat st;
    if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR))
        ::chmod(path.constData(), (st.st_mode & 07777) | S_IWUSR);
}

QChar FoldLatin(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') ? QChar(char16_t(u + 0x20)) : c;
}

// * matches any run of characters, ? one character; Latin letters match
// without regard to case.
bool MatchesMask(const QString& mask, const QString& name)
{
    int m = 0, n = 0;
    int starMask = -1, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask.at(m) == QLatin1Char('*')) {
            starMask = m++;
            starName = n;
        } else if (m < mask.size()
                   && (mask.at(m) == QLatin1Char('?') || FoldLatin(mask.at(m)) == FoldLatin(name.at(n)))) {
            ++m;
            ++n;
        } else if (starMask >= 0) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask.at(m) == QLatin1Char('*'))
        ++m;
    return m == mask.size();
}

QString FolderPart(const QString& path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool CloseFd(int fd)
{
    // After EINTR the descriptor is released on Linux; do not close it twice.
    return ::close(fd) == 0 || errno == EINTR;
}

bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= size_t(written);
    }
    return true;
}

} // namespace

QString StripTrailingSeparators(const QString& text)
{
    QString result = text;
    while (result.endsWith(QLatin1Char('/')))
        result.chop(1);
    return result;
}

QString WithTrailingSeparator(const QString& text)
{
    if (text.isEmpty())
        return QString();
    return StripTrailingSeparators(text) + QLatin1Char('/');
}

void InitProgramFolder()
{
    QString folder;
    if (QCoreApplication::instance())
        folder = QCoreApplication::applicationDirPath();
    else
        folder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(QLatin1Char('/'), 0, -2);
    SetProgramFolder(folder.isEmpty() ? QStringLiteral("/") : folder);
}

QString ProgramFolder()
{
    return programFolderText();
}

void SetProgramFolder(const QString& folder)
{
    programFolderText() = WithTrailingSeparator(folder);
}

bool CreateFolderPath(const QString& path)
{
    QString text = path;
    if (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    if (text.isEmpty())
        return false;
    text += QLatin1Char('/');

    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('/'))
            continue;
        const QString prefix = text.left(i + 1);
        if (FolderExists(prefix))
            continue;
        const QByteArray native = Native(prefix);
        if (::mkdir(native.constData(), 0777) != 0 && !(errno == EEXIST && FolderExists(prefix)))
            return false;
    }
    return true;
}

void ListFiles(const QString& mask, const QString& folder, QStringList& list)
{
    if (folder.isEmpty())
        return;
    QString absolute = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    if (!absolute.startsWith(QLatin1Char('/')))
        absolute = WithTrailingSeparator(QDir::currentPath()) + absolute;
    if (!QDir::setCurrent(absolute))
        return;

    const bool all = mask == QLatin1String("*.*");
    // Unsorted: entries come in the order the file system gives them.
    QDirIterator it(absolute, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        // Plain files only (links to them included): every listed path names a
        // file that FileExists accepts.
        const QFileInfo info = it.fileInfo();
        if (!info.isFile())
            continue;
        const QString name = info.fileName();
        if (all || MatchesMask(mask, name))
            list.append(absolute + name);
    }
}

QString BaseFileName(const QString& path)
{
    // Only "/" separates folders here; ":" is an ordinary character of a name.
    QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return name;
}

bool FileExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool FolderExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

void RemoveFile(const QString& path)
{
    const QByteArray native = Native(path);
    ClearAttributes(native);
    ::unlink(native.constData());
}

bool CopyFileKeepDate(const QString& source, const QString& destination)
{
    if (!FileExists(source) || source == destination)
        return false;
    const QByteArray src = Native(source);
    const QByteArray dst = Native(destination);
    // Two spellings of one file: truncating the destination would destroy the source.
    struct stat srcStat, dstStat;
    if (::stat(src.constData(), &srcStat) != 0)
        return false;
    if (::stat(dst.constData(), &dstStat) == 0 && dstStat.st_dev == srcStat.st_dev
        && dstStat.st_ino == srcStat.st_ino)
        return false;

    CreateFolderPath(FolderPart(destination));
    ClearAttributes(dst);

    const int in = RetryOpen(src, O_RDONLY);
    if (in < 0)
        return false;
    const int createFlags = O_WRONLY | O_CREAT | O_TRUNC;
    int out = RetryOpen(dst, createFlags, 0666);
    if (out < 0 && ::access(dst.constData(), F_OK) == 0)
        out = RetryOpen(dst, createFlags, 0666);
    if (out < 0) {
        CloseFd(in);
        return false;
    }

    static constexpr size_t kBlockSize = 32000;
    char block[kBlockSize];
    for (;;) {
        const ssize_t got = ::read(in, block, kBlockSize);
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0)
            break;
        if (got < 0 || !WriteAll(out, block, size_t(got))) {
            CloseFd(out);
            CloseFd(in);
            ::unlink(dst.constData());
            return false;
        }
    }

    // The stored time keeps whole even seconds, as the DOS date-time form does.
    struct stat finalStat;
    if (::fstat(in, &finalStat) == 0) {
        struct timespec times[2];
        times[0].tv_sec = 0;
        times[0].tv_nsec = UTIME_OMIT;
        times[1].tv_sec = finalStat.st_mtim.tv_sec - (((finalStat.st_mtim.tv_sec % 2) + 2) % 2);
        times[1].tv_nsec = 0;
        ::futimens(out, times);
    }
    const bool outClosed = CloseFd(out);
    const bool inClosed = CloseFd(in);
    return outClosed && inClosed;
}
