#include "records/result_record.h"

#include "config/app_config.h"
#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "platform/folder_lock.h"
#include "records/number_range.h"
#include "util/cp1251.h"
#include "util/files.h"
#include "util/record_file.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kTextCapacity = 255;
constexpr int kNickOffset = 0;
constexpr int kFullNameOffset = 256;
constexpr int kTimeOffset = 512;
constexpr int kPointsOffset = 516;
constexpr int kFinishedAtOffset = 520;
constexpr int kErrorsOffset = 776;

// Writes the records through a replacement of `target`: `fill` writes them to
// the open file, then the replacement is renamed over the target. The target
// is whole at every moment; on an error the temporary file goes.
template <typename Fill>
void ReplaceRecords(const QString& target, Fill fill)
{
    FileReplacement replacement(target);
    if (!replacement.created())
        throw IoError(IoCodeFromErrno(replacement.createError()));
    RecordFile out(kResultRecordSize);
    if (!out.open(replacement.path()))
        throw IoError(out.openError());
    fill(out);
    out.close();
    if (const int error = replacement.commit())
        throw IoError(IoCodeFromErrno(error));
}

// Copies every whole record of `path` to `out`.
void CopyRecords(const QString& path, RecordFile& out)
{
    RecordFile in(kResultRecordSize);
    in.open(path); // a failure surfaces at the first transfer
    in.copyRecordsTo({&out});
    in.close();
}

// Whole records moved per transfer when a table is read or converted.
constexpr int kRecordsPerTransfer = 4096;

// Every legacy record left in `in` goes to `out` followed by `errors` 0: the
// stored texts stay byte for byte. Blocks of records per transfer.
void CopyAsCurrentFormat(RecordFile& in, RecordFile& out)
{
    QByteArray block;
    QByteArray converted(qsizetype(kRecordsPerTransfer) * kResultRecordSize, '\0');
    while (in.readRecords(block, kRecordsPerTransfer)) {
        const qsizetype count = block.size() / kLegacyResultRecordSize;
        // Only the first 776 bytes of each record are written: `errors` stays 0.
        const char* from = block.constData();
        char* to = converted.data();
        for (qsizetype i = 0; i < count; ++i)
            std::memcpy(to + i * kResultRecordSize, from + i * kLegacyResultRecordSize,
                        kLegacyResultRecordSize);
        out.writeRecords(QByteArrayView(converted).first(count * kResultRecordSize));
    }
}

} // namespace

QByteArray EncodeResultRecord(const ResultRecord& record)
{
    QByteArray bytes(kResultRecordSize, '\0');
    bytes.replace(kNickOffset, kTextCapacity + 1, EncodeShortString(record.nick, kTextCapacity));
    bytes.replace(kFullNameOffset, kTextCapacity + 1,
                  EncodeShortString(record.fullName, kTextCapacity));
    WriteInt32LE(bytes.data() + kTimeOffset, record.timePerExample);
    WriteInt32LE(bytes.data() + kPointsOffset, record.points);
    bytes.replace(kFinishedAtOffset, kTextCapacity + 1,
                  EncodeShortString(record.finishedAt, kTextCapacity));
    WriteInt32LE(bytes.data() + kErrorsOffset, record.errors);
    return bytes;
}

LegacyResultRecord DecodeLegacyResultRecord(const QByteArray& bytes)
{
    const char* p = bytes.constData();
    LegacyResultRecord record;
    record.nick = DecodeShortString(p + kNickOffset, kTextCapacity);
    record.fullName = DecodeShortString(p + kFullNameOffset, kTextCapacity);
    record.timePerExample = ReadInt32LE(p + kTimeOffset);
    record.points = ReadInt32LE(p + kPointsOffset);
    record.finishedAt = DecodeShortString(p + kFinishedAtOffset, kTextCapacity);
    return record;
}

ResultRecord DecodeResultRecord(const QByteArray& bytes)
{
    return DecodeResultRecord(bytes.constData());
}

ResultRecord DecodeResultRecord(const char* p)
{
    ResultRecord record;
    record.nick = DecodeShortString(p + kNickOffset, kTextCapacity);
    record.fullName = DecodeShortString(p + kFullNameOffset, kTextCapacity);
    record.timePerExample = ReadInt32LE(p + kTimeOffset);
    record.points = ReadInt32LE(p + kPointsOffset);
    record.finishedAt = DecodeShortString(p + kFinishedAtOffset, kTextCapacity);
    record.errors = ReadInt32LE(p + kErrorsOffset);
    return record;
}

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
    // The window holds every record in memory; a table beyond the bound would
    // take gigabytes and is refused, as a file too large for its reader.
    const qint64 count = QFileInfo(path).size() / kResultRecordSize;
    if (count > kMaxTableRecords)
        throw IoError(IoCodeFromErrno(EOVERFLOW));
    std::vector<ResultRecord> records;
    records.reserve(static_cast<size_t>(count));
    RecordFile file(kResultRecordSize);
    file.open(path, mode); // a failure surfaces at the first transfer
    // Blocks of records: one transfer each instead of one per record.
    QByteArray block;
    while (file.readRecords(block, kRecordsPerTransfer)) {
        if (records.size() + size_t(block.size() / kResultRecordSize) > size_t(kMaxTableRecords))
            throw IoError(IoCodeFromErrno(EOVERFLOW));
        for (qsizetype at = 0; at < block.size(); at += kResultRecordSize)
            records.push_back(DecodeResultRecord(block.constData() + at));
    }
    file.close();
    return records;
}

// The old records and the new one go to a temporary file of this process,
// renamed over the table, so the table is never missing and never
// half-written. The user folder's lock keeps other copies of the program from
// replacing the table between the read and the rename.
void AppendResultRecord(const ResultRecord& record)
{
    const QString table = RecordsTableFileName();
    const QByteArray bytes = EncodeResultRecord(record);
    FolderLock lock(appConfig().PathUser, FolderLock::Mode::Exclusive);
    ReplaceRecords(table, [&](RecordFile& out) {
        if (FileExists(table))
            CopyRecords(table, out);
        out.write(bytes);
    });
}

// Under the user folder's lock, which also makes this the moment to clear
// what killed copies of the program left there.
void ConvertLegacyTables()
{
    const QString folder = appConfig().PathUser;
    {
        FolderLock lock(folder, FolderLock::Mode::Exclusive);
        if (lock.held())
            RemoveLeftTemporaryFiles(folder);
    }
    QStringList found;
    ListFiles(QStringLiteral("*.conf"), folder, found);
    for (const QString& path : found)
        ConvertLegacyTable(folder, QFileInfo(path).fileName());
}

// The converted table gets the records it already held, then the legacy ones
// with `errors` 0; the legacy file is deleted only once that table is in place.
// A copy killed between the two steps leaves the legacy rows to be converted
// again: duplicated, never lost.
void ConvertLegacyTable(const QString& folder, const QString& name)
{
    FolderLock lock(folder, FolderLock::Mode::Exclusive);
    const QString legacy = folder + name;
    const QFileInfo info(legacy);
    if (!info.isFile() || info.size() % kLegacyResultRecordSize != 0)
        return;

    const QString converted = folder + BaseFileName(name) + QStringLiteral(".config");
    ReplaceRecords(converted, [&](RecordFile& out) {
        if (FileExists(converted))
            CopyRecords(converted, out);
        RecordFile in(kLegacyResultRecordSize);
        in.open(legacy); // a failure surfaces at the end test
        CopyAsCurrentFormat(in, out);
        in.close();
    });
    RemoveFile(legacy);
}
