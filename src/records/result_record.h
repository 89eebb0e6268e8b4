#pragma once
// Records tables: user folder + rangeText + "record.config", 780-byte records.

#include "util/record_file.h"

#include <QByteArray>
#include <QString>
#include <vector>

struct ResultRecord {
    QString nick;
    QString fullName;
    qint32 timePerExample = 0; // hundredths of a second per point
    qint32 points = 0;
    QString finishedAt; // "dd-mm-yyyy hh:mm:ss"
    qint32 errors = 0;
};

// The older table entry: a ResultRecord without `errors`. Only read.
struct LegacyResultRecord {
    QString nick;
    QString fullName;
    qint32 timePerExample = 0;
    qint32 points = 0;
    QString finishedAt;
};

constexpr int kResultRecordSize = 780;
constexpr int kLegacyResultRecordSize = 776;

// Byte layout: nick at 0, fullName at 256, finishedAt at 520 (short strings of
// capacity 255), timePerExample at 512, points at 516, errors at 776 (LE).
QByteArray EncodeResultRecord(const ResultRecord& record);
// `bytes` holds at least kResultRecordSize bytes.
ResultRecord DecodeResultRecord(const QByteArray& bytes);
ResultRecord DecodeResultRecord(const char* bytes);
// `bytes` holds at least kLegacyResultRecordSize bytes.
LegacyResultRecord DecodeLegacyResultRecord(const QByteArray& bytes);

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
// The most bytes the start-up conversion writes in one run (64 MiB), so that
// many legacy files planted at once cost a start no more than that; the
// tables beyond it wait, untouched, for the next start. A run's first table
// is converted whatever its size, so that none waits for ever.
constexpr qint64 kLegacyConversionBudget = qint64(64) << 20;
// Converts the "*.conf" tables of the user folder, in listing order, until
// the next would take more than is left of `budget`; IoError ends the scan.
void ConvertLegacyTables(qint64 budget = kLegacyConversionBudget);
// Converts the legacy table folder + name into folder + base name + ".config",
// after the records that table already holds. A folder, or a file whose size
// is not a whole number of legacy records, is left alone. Returns the bytes
// written (old and converted records), or -1, with nothing changed, when
// they would be more than `budget` (negative: no bound).
qint64 ConvertLegacyTable(const QString& folder, const QString& name, qint64 budget = -1);
