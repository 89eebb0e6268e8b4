#pragma once
// Records tables: user folder + rangeText + "record.config", whole 780-byte
// records, read under the folder's shared lock and appended under its
// exclusive one.

#include "records/result_record.h"
#include "util/record_file.h"

#include <QString>
#include <vector>

// The table of the current range in the user folder.
QString RecordsTableFileName();
// The table of the range `rangeText` ("9", "20", "99", "999") in `folder`.
QString RecordsTableFileName(const QString& folder, const QString& rangeText);
// The most records a table may hold for reading it whole (a million finished
// exercises, some 800 MB of file).
constexpr qint64 kMaxTableRecords = qint64(1) << 20;
// The whole records of the table at `path`, in file order; a trailing partial
// record is ignored. IoError when the file cannot be opened or read, and
// "I/O error 75" (too large) when it holds more than kMaxTableRecords records.
// The file is opened with write access too unless `mode` says otherwise.
std::vector<ResultRecord> ReadResultRecords(const QString& path);
std::vector<ResultRecord> ReadResultRecords(const QString& path, OpenFor mode);
// Appends one record at the end of the table of `rangeText` in `folder` (the
// table is created where missing), flushed to disk before this returns; a
// partial record left at the table's end by a crash is cut away first.
// IoError on a failed transfer (the table keeps its whole records and nothing
// of the new one), when the table cannot be opened or created, and "I/O error
// 75" when it would hold more than kMaxTableRecords records or is sparse.
void AppendResultRecord(const QString& folder, const QString& rangeText,
                        const ResultRecord& record);
// The same for the table of the current range in the user folder.
void AppendResultRecord(const ResultRecord& record);
// Whole records moved per transfer when a table is read or converted.
constexpr int kRecordsPerTransfer = 4096;
// What the reader of a table gives for one beyond the records limit, and so
// what every step that would copy such a table gives before it writes anything.
[[noreturn]] void RaiseTooManyRecords();
