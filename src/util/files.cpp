#include "util/files.h"

#include "platform/safe_open.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString& programFolderText()
{
    static QString folder;
    return folder;
}

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

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
        } else if (m < mask.size() && (mask.at(m) == QLatin1Char('?') ||
                                       FoldLatin(mask.at(m)) == FoldLatin(name.at(n)))) {
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

} // namespace

void InitProgramFolder()
{
    QString folder;
    if (QCoreApplication::instance())
        folder = QCoreApplication::applicationDirPath();
    else
        folder = QFileInfo(QStringLiteral("/proc/self/exe"))
                     .canonicalFilePath()
                     .section(QLatin1Char('/'), 0, -2);
    SetProgramFolder(folder.isEmpty() ? QStringLiteral("/") : folder);
}

QString ProgramFolder() { return programFolderText(); }

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

    const bool all = mask == QLatin1String("*.*");
    // Unsorted: entries come in the order the file system gives them.
    QDirIterator it(absolute,
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
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

bool FileExists(const QString& path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

bool FolderExists(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

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
