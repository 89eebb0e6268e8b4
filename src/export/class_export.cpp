#include "export/class_export.h"

#include "accounts/user_profile.h"
#include "config/app_config.h"
#include "export/csv.h"
#include "platform/errors.h"
#include "platform/folder_lock.h"
#include "records/records_columns.h"
#include "records/records_order.h"
#include "records/result_record.h"
#include "records/statistics_text.h"
#include "util/files.h"

#include <QFileInfo>

#include <algorithm>

namespace {

QString CannotReadText(const QString& path, const QString& reason)
{
    return QStringLiteral("не удалось прочитать / cannot read %1: %2").arg(path, reason);
}

// Every read of the class folder runs inside this call. `read` gets the
// folder as an absolute path ending with "/".
template <typename Read>
ExportResult ReadClassFolder(const QString& folder, Read read)
{
    ExportResult result;
    if (folder.isEmpty() || !FolderExists(folder)) {
        result.errors << QStringLiteral("папка класса не найдена / class folder not found: %1").arg(folder);
        return result;
    }
    read(WithTrailingSeparator(QFileInfo(folder).absoluteFilePath()), result);
    return result;
}

// The lock that one file's read holds: shared with other readers, excluding a
// copy of the program in the middle of a save, and only while that file is
// read; a folder never locked before stays untouched.
FolderLock ReadLock(const QString& dir)
{
    return FolderLock(dir, FolderLock::Mode::SharedNoCreate);
}

// Nick and full name, the first two fields of every row, as `texts` asks.
QStringList RowTexts(QStringList fields, TextFields texts)
{
    if (texts == TextFields::ForSpreadsheet)
        for (int i = 0; i < std::min<int>(2, fields.size()); ++i)
            fields[i] = SpreadsheetText(fields.at(i));
    return fields;
}

QStringList RecordRowTexts(const ResultRecord& record)
{
    QStringList texts;
    for (int column = 1; column < kRecordsColumns; ++column)
        texts << RecordFieldText(record, column);
    return texts;
}

// Nicks in the order of the records window's nick sort, case-sensitive order
// between nicks that compare equal there, so that the rows come the same way
// on every run.
void SortNicks(QStringList& nicks)
{
    const QCollator collator = RecordsCollator();
    std::sort(nicks.begin(), nicks.end(), [&collator](const QString& a, const QString& b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
}

} // namespace

ExportResult ExportRecords(const QString& folder, const QString& rangeText, char separator, TextFields texts)
{
    return ReadClassFolder(folder, [&](const QString& dir, ExportResult& result) {
        const QString table = RecordsTableFileName(dir, rangeText);
        const QFileInfo info(table);
        if (!info.exists()) {
            result.errors << QStringLiteral("нет таблицы рекордов / records table not found: %1").arg(table);
            return;
        }
        if (!info.isFile()) {
            result.errors << CannotReadText(table, QStringLiteral("not a file"));
            return;
        }
        std::vector<ResultRecord> records;
        try {
            const FolderLock lock = ReadLock(dir);
            records = ReadResultRecords(table, OpenFor::Reading);
        } catch (const IoError& error) {
            result.errors << CannotReadText(table, error.text());
            return;
        }
        if (const qint64 rest = info.size() % kResultRecordSize)
            result.warnings << QStringLiteral("неполная запись в конце пропущена / "
                                              "incomplete record at the end skipped (%1 bytes): %2")
                                   .arg(rest)
                                   .arg(table);

        result.csv = CsvRow(RecordsColumnTitles().mid(1), separator);
        for (const ResultRecord& record : records)
            result.csv += CsvRow(RowTexts(RecordRowTexts(record), texts), separator);
    });
}

ExportResult ExportSummary(const QString& folder, char separator, TextFields texts)
{
    return ReadClassFolder(folder, [&](const QString& dir, ExportResult& result) {
        // The listing finds nothing in a folder it may not read; say so
        // rather than export an empty class.
        if (!QFileInfo(dir).isReadable() || !QFileInfo(dir).isExecutable()) {
            result.errors << CannotReadText(dir, QStringLiteral("File access denied"));
            return;
        }
        QStringList nicks = ListProfiles(dir);
        SortNicks(nicks);
        result.csv = CsvRow(SummaryColumnTitles(), separator);
        for (const QString& nick : nicks) {
            const QString path = ProfilePath(dir, nick);
            UserProfile profile;
            try {
                const FolderLock lock = ReadLock(dir);
                if (!ReadProfile(dir, nick, profile, OpenFor::Reading)) {
                    result.errors << CannotReadText(path, QStringLiteral("cannot be opened"));
                    continue;
                }
            } catch (const IoError& error) {
                result.errors << CannotReadText(path, error.text());
                continue;
            }
            result.csv += CsvRow(RowTexts(SummaryRowTexts(nick, profile), texts), separator);
        }
    });
}

QString DefaultClassFolder()
{
    if (std::optional<QString> stored = StoredUserFolder())
        return *stored;
    if (ProgramFolder().isEmpty())
        InitProgramFolder();
    return ProgramFolder();
}
