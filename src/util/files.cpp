#include "util/files.h"

#include "platform/safe_open.h"

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

// Gives the owner write permission ("clears the attributes") of the open
// file `fd`: the file itself, whatever its name has become meanwhile.
void ClearAttributes(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR))
        ::fchmod(fd, (st.st_mode & 07777) | S_IWUSR);
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
        // Regular files only, judged without following a link: in a folder
        // that other accounts may write, a link could name any file.
        const QString name = it.fileName();
        if ((all || MatchesMask(mask, name)) && IsRegularFile(absolute + name))
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

bool IsRegularFile(const QString& path)
{
    return EntryKindOf(Native(path)) == EntryKind::RegularFile;
}

bool UserFileExists(const QString& path)
{
    const EntryKind kind = EntryKindOf(Native(path));
    return kind == EntryKind::RegularFile || kind == EntryKind::Other;
}

// Deleting needs no permission on the file itself, and a mode change before
// it could land on a file that another account put there meanwhile.
void RemoveFile(const QString& path)
{
    if (!path.isEmpty())
        ::unlink(Native(path).constData());
}

bool CopyFileKeepDate(const QString& source, const QString& destination)
{
    if (!FileExists(source) || source == destination)
        return false;
    const QByteArray dst = Native(destination);
    // Neither end is taken through a link, and each is a regular file.
    const int in = OpenRegularFile(Native(source), O_RDONLY);
    if (in < 0)
        return false;
    struct stat srcStat;
    if (::fstat(in, &srcStat) != 0) {
        CloseFd(in);
        return false;
    }

    CreateFolderPath(FolderPart(destination));
    const int existing = OpenRegularFile(dst, O_RDONLY);
    if (existing >= 0) {
        // Two spellings of one file: truncating the destination would destroy the source.
        struct stat dstStat;
        const bool same = ::fstat(existing, &dstStat) == 0 && dstStat.st_dev == srcStat.st_dev &&
                          dstStat.st_ino == srcStat.st_ino;
        if (!same)
            ClearAttributes(existing);
        CloseFd(existing);
        if (same) {
            CloseFd(in);
            return false;
        }
    }

    const int createFlags = O_WRONLY | O_CREAT | O_TRUNC;
    int out = OpenRegularFile(dst, createFlags, 0666);
    if (out < 0 && EntryKindOf(dst) != EntryKind::Missing)
        out = OpenRegularFile(dst, createFlags, 0666);
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
