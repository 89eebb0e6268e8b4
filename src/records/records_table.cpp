#include "records/records_table.h"

#include "config/app_config.h"
#include "platform/errors.h"
#include "platform/folder_lock.h"
#include "records/number_range.h"

#include <cerrno>

void RaiseTooManyRecords() { throw IoError(IoCodeFromErrno(EOVERFLOW)); }

QString RecordsTableFileName()
{
    return RecordsTableFileName(appConfig().PathUser, currentRange().rangeText);
}

QString RecordsTableFileName(const QString& folder, const QString& rangeText)
{
    return folder + rangeText + QStringLiteral("record.config");
}

std::vector<ResultRecord> ReadResultRecords(const QString& path)
{
    return ReadResultRecords(path, OpenFor::ReadWrite);
}

std::vector<ResultRecord> ReadResultRecords(const QString& path, OpenFor mode)
{
    RecordFile file(kResultRecordSize);
    file.open(path, mode); // a failure surfaces at the first transfer
    // The window holds every record in memory; a table beyond the bound would
    // take gigabytes and is refused, as a file too large for its reader.
    const qint64 count = file.size() / kResultRecordSize;
    if (count > kMaxTableRecords)
        RaiseTooManyRecords();
    std::vector<ResultRecord> records;
    records.reserve(static_cast<size_t>(count));
    // Blocks of records: one transfer each instead of one per record.
    QByteArray block;
    while (file.readRecords(block, kRecordsPerTransfer)) {
        if (records.size() + size_t(block.size() / kResultRecordSize) > size_t(kMaxTableRecords))
            RaiseTooManyRecords();
        for (qsizetype at = 0; at < block.size(); at += kResultRecordSize)
            records.push_back(DecodeResultRecord(block.constData() + at));
    }
    file.close();
    return records;
}

void AppendResultRecord(const ResultRecord& record)
{
    AppendResultRecord(appConfig().PathUser, currentRange().rangeText, record);
}

// One record written at the end of the table, in place, under the folder's
// lock, so no other copy of the program writes or cuts the table meanwhile.
// The table is only ever longer by whole records: a tail that a killed copy
// left half-written is cut away before the record goes after the last whole
// one, and a write that fails is cut back (RecordFile::appendRecord). A table
// that would grow beyond the records limit is refused before anything is
// written, and so is a sparse one, a link, folder or pipe in its place.
void AppendResultRecord(const QString& folder, const QString& rangeText, const ResultRecord& record)
{
    const QByteArray bytes = EncodeResultRecord(record);
    FolderLock lock(folder, FolderLock::Mode::Exclusive);
    RecordFile table(kResultRecordSize);
    if (!table.openOrCreate(RecordsTableFileName(folder, rangeText)))
        throw IoError(table.openError());
    if (table.size() / kResultRecordSize + 1 > kMaxTableRecords)
        RaiseTooManyRecords();
    table.appendRecord(bytes);
}
