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
// folder's reader.
template <typename Read>
ExportResult ReadClassFolder(const QString& folder, ClassFolderAccess* keeper, Read read)
{
    ExportResult result;
    const QString dir = ClassFolderToRead(folder, result.errors);
    if (!dir.isEmpty())
        read(ClassReader(dir, keeper), result);
    return result;
}

// The columns of numbers in a records row (time, points, errors) and in a
// summary row (points, time, speed); the others are the stored texts.
const QList<int> kRecordNumbers = {2, 3, 5};
const QList<int> kSummaryNumbers = {2, 3, 4};

// A data row's stored texts as `texts` asks, numbers as they are.
QByteArray DataRow(QStringList fields, const QList<int>& numbers, char separator, TextFields texts)
{
    if (texts == TextFields::ForSpreadsheet)
        for (int i = 0; i < fields.size(); ++i)
            if (!numbers.contains(i))
                fields[i] = SpreadsheetText(fields.at(i));
    return CsvRow(fields, separator, numbers);
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
                           TextFields texts, ClassFolderAccess* keeper)
{
    return ReadClassFolder(folder, keeper, [&](const ClassReader& reader, ExportResult& result) {
        std::vector<ResultRecord> records;
        const TableRead read = reader.readTable(rangeText, records, result.errors, result.warnings);
        if (read == TableRead::Missing)
            result.errors << NoRecordsTableText(RecordsTableFileName(reader.dir(), rangeText));
        if (read != TableRead::Read)
            return;
        result.csv = CsvRow(RecordsColumnTitles().mid(1), separator);
        for (const ResultRecord& record : records)
            result.csv += DataRow(RecordRowTexts(record), kRecordNumbers, separator, texts);
    });
}

ExportResult ExportSummary(const QString& folder, char separator, TextFields texts,
                           ClassFolderAccess* keeper)
{
    return ReadClassFolder(folder, keeper, [&](const ClassReader& reader, ExportResult& result) {
        if (!reader.canList(result.errors))
            return;
        const int errors = result.errors.size();
        QStringList nicks = reader.nicks(result.errors);
        if (result.errors.size() > errors)
            return;
        std::sort(nicks.begin(), nicks.end(), NickOrder());
        result.csv = CsvRow(SummaryColumnTitles(), separator);
        for (const QString& nick : nicks) {
            UserProfile profile;
            if (reader.readProfile(nick, profile, result.errors))
                result.csv +=
                    DataRow(SummaryRowTexts(nick, profile), kSummaryNumbers, separator, texts);
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
