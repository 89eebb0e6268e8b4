#include "export/class_folder.h"

#include "platform/errors.h"
#include "platform/folder_lock.h"
#include "util/files.h"

#include <QFileInfo>

namespace {

// The lock that one file's read holds: shared with other readers, excluding a
// copy of the program in the middle of a save, and only while that file is
// read; a folder never locked before stays untouched.
FolderLock ReadLock(const QString& dir)
{
    return FolderLock(dir, FolderLock::Mode::SharedNoCreate);
}

} // namespace

QString ClassFolderToRead(const QString& folder, QStringList& errors)
{
    if (folder.isEmpty() || !FolderExists(folder)) {
        errors
            << QStringLiteral("папка класса не найдена / class folder not found: %1").arg(folder);
        return QString();
    }
    return WithTrailingSeparator(QFileInfo(folder).absoluteFilePath());
}

bool CanListClassFolder(const QString& dir, QStringList& errors)
{
    if (QFileInfo(dir).isReadable() && QFileInfo(dir).isExecutable())
        return true;
    errors << CannotReadText(dir, QStringLiteral("File access denied"));
    return false;
}

QString CannotReadText(const QString& path, const QString& reason)
{
    return QStringLiteral("не удалось прочитать / cannot read %1: %2").arg(path, reason);
}

QString NoRecordsTableText(const QString& table)
{
    return QStringLiteral("нет таблицы рекордов / records table not found: %1").arg(table);
}

TableRead ReadClassTable(const QString& dir, const QString& table,
                         std::vector<ResultRecord>& records, QStringList& errors,
                         QStringList& warnings)
{
    const QFileInfo info(table);
    if (!info.exists())
        return TableRead::Missing;
    if (!info.isFile()) {
        errors << CannotReadText(table, QStringLiteral("not a file"));
        return TableRead::Failed;
    }
    try {
        const FolderLock lock = ReadLock(dir);
        records = ReadResultRecords(table, OpenFor::Reading);
    } catch (const IoError& error) {
        errors << CannotReadText(table, error.text());
        return TableRead::Failed;
    }
    if (const qint64 rest = info.size() % kResultRecordSize)
        warnings << QStringLiteral("неполная запись в конце пропущена / "
                                   "incomplete record at the end skipped (%1 bytes): %2")
                        .arg(rest)
                        .arg(table);
    return TableRead::Read;
}

bool ReadClassProfile(const QString& dir, const QString& nick, UserProfile& profile,
                      QStringList& errors)
{
    const QString path = ProfilePath(dir, nick);
    try {
        const FolderLock lock = ReadLock(dir);
        if (ReadProfile(dir, nick, profile, OpenFor::Reading))
            return true;
        errors << CannotReadText(path, QStringLiteral("cannot be opened"));
    } catch (const IoError& error) {
        errors << CannotReadText(path, error.text());
    }
    return false;
}

bool NickOrder::operator()(const QString& a, const QString& b) const
{
    const int order = collator_.compare(a, b);
    return order != 0 ? order < 0 : a < b;
}
