#include "export/class_export.h"

#include "config/app_config.h"
#include "export/class_folder.h"
#include "export/csv.h"
#include "records/records_columns.h"
#include "records/statistics_text.h"
#include "util/files.h"

#include <algorithm>

namespace {

// Every read of the class folder runs inside this call. `read` gets the
// folder as an absolute path ending with "/".
template <typename Read> ExportResult ReadClassFolder(const QString& folder, Read read)
{
    ExportResult result;
    const QString dir = ClassFolderToRead(folder, result.errors);
    if (!dir.isEmpty())
        read(dir, result);
    return result;
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

} // namespace

ExportResult ExportRecords(const QString& folder, const QString& rangeText, char separator,
                           TextFields texts)
{
    return ReadClassFolder(folder, [&](const QString& dir, ExportResult& result) {
        const QString table = RecordsTableFileName(dir, rangeText);
        std::vector<ResultRecord> records;
        const TableRead read = ReadClassTable(dir, table, records, result.errors, result.warnings);
        if (read == TableRead::Missing)
            result.errors << NoRecordsTableText(table);
        if (read != TableRead::Read)
            return;
        result.csv = CsvRow(RecordsColumnTitles().mid(1), separator);
        for (const ResultRecord& record : records)
            result.csv += CsvRow(RowTexts(RecordRowTexts(record), texts), separator);
    });
}

ExportResult ExportSummary(const QString& folder, char separator, TextFields texts)
{
    return ReadClassFolder(folder, [&](const QString& dir, ExportResult& result) {
        if (!CanListClassFolder(dir, result.errors))
            return;
        QStringList nicks = ListProfiles(dir);
        std::sort(nicks.begin(), nicks.end(), NickOrder());
        result.csv = CsvRow(SummaryColumnTitles(), separator);
        for (const QString& nick : nicks) {
            UserProfile profile;
            if (ReadClassProfile(dir, nick, profile, result.errors))
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
