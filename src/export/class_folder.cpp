#include "export/class_folder.h"

#include "keeper/class_folder_access.h"
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

ClassReader::ClassReader(const QString& dir, ClassFolderAccess* keeper) : dir_(dir), keeper_(keeper)
{
}

bool ClassReader::canList(QStringList& errors) const
{
    return keeper_ || CanListClassFolder(dir_, errors);
}

QStringList ClassReader::nicks(QStringList& errors) const
{
    if (!keeper_)
        return ListProfiles(dir_);
    try {
        return keeper_->nicks();
    } catch (const ZelvoError& error) {
        errors << CannotReadText(dir_, error.text());
    }
    return QStringList();
}

bool ClassReader::readProfile(const QString& nick, UserProfile& profile, QStringList& errors) const
{
    if (!keeper_)
        return ReadClassProfile(dir_, nick, profile, errors);
    const QString path = ProfilePath(dir_, nick);
    try {
        ProfileView view;
        if (keeper_->readProfile(nick, view)) {
            CopyView(view, profile);
            return true;
        }
        errors << CannotReadText(path, QStringLiteral("cannot be opened"));
    } catch (const AccessRefused&) {
        errors << CannotReadText(path, QStringLiteral("refused by the keeper"));
    } catch (const ZelvoError& error) {
        errors << CannotReadText(path, error.text());
    }
    return false;
}

TableRead ClassReader::readTable(const QString& rangeText, std::vector<ResultRecord>& records,
                                 QStringList& errors, QStringList& warnings) const
{
    const QString table = RecordsTableFileName(dir_, rangeText);
    if (!keeper_)
        return ReadClassTable(dir_, table, records, errors, warnings);
    try {
        records = keeper_->readTable(rangeText);
    } catch (const AccessRefused&) {
        errors << CannotReadText(table, QStringLiteral("refused by the keeper"));
        return TableRead::Failed;
    } catch (const ZelvoError& error) {
        errors << CannotReadText(table, error.text());
        return TableRead::Failed;
    }
    // The keeper answers a missing table with no records.
    return records.empty() ? TableRead::Missing : TableRead::Read;
}

bool NickOrder::operator()(const QString& a, const QString& b) const
{
    const int order = collator_.compare(a, b);
    return order != 0 ? order < 0 : a < b;
}
