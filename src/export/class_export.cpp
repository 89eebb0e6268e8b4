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

// Every read of the class folder runs inside this call, so that one shared
// lock of the folder can be held around all of it. `read` gets the folder as
// an absolute path ending with "/".
template <typename Read>
ExportResult ReadClassFolder(const QString& folder, Read read)
{
    ExportResult result;
    if (folder.isEmpty() || !FolderExists(folder)) {
        result.errors << QStringLiteral("папка класса не найдена / class folder not found: %1").arg(folder);
        return result;
    }
    const QString dir = WithTrailingSeparator(QFileInfo(folder).absoluteFilePath());
    // Shared with other readers, excluding a copy of the program in the middle
    // of a save; a folder never locked before stays untouched.
    const FolderLock lock(dir, FolderLock::Mode::SharedNoCreate);
    read(dir, result);
    return result;
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

ExportResult ExportRecords(const QString& folder, const QString& rangeText, char separator)
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
            result.csv += CsvRow(RecordRowTexts(record), separator);
    });
}

ExportResult ExportSummary(const QString& folder, char separator)
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
                if (!ReadProfile(dir, nick, profile, OpenFor::Reading)) {
                    result.errors << CannotReadText(path, QStringLiteral("cannot be opened"));
                    continue;
                }
            } catch (const IoError& error) {
                result.errors << CannotReadText(path, error.text());
                continue;
            }
            result.csv += CsvRow(SummaryRowTexts(nick, profile), separator);
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
