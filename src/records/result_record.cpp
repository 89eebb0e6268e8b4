#include "records/result_record.h"

#include "config/app_config.h"
#include "platform/errors.h"
#include "records/number_range.h"
#include "util/cp1251.h"
#include "util/files.h"
#include "util/record_file.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace {

constexpr int kTextCapacity = 255;
constexpr int kNickOffset = 0;
constexpr int kFullNameOffset = 256;
constexpr int kTimeOffset = 512;
constexpr int kPointsOffset = 516;
constexpr int kFinishedAtOffset = 520;
constexpr int kErrorsOffset = 776;

// Renames `from` over `to` in one step, so `to` is always either old or new.
void RenameOver(const QString& from, const QString& to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw IoError(IoCodeFromErrno(errno));
}

void CreateOrRaise(RecordFile& file, const QString& path)
{
    if (!file.create(path))
        throw IoError(file.openError());
}

// Copies every whole record of `path` to `out`.
void CopyRecords(const QString& path, RecordFile& out)
{
    RecordFile in(kResultRecordSize);
    in.open(path); // a failure surfaces at the end test
    while (!in.atEnd())
        out.write(in.read());
    in.close();
}

// A legacy record's bytes followed by `errors` 0: the stored texts stay byte for byte.
QByteArray ToCurrentFormat(const QByteArray& legacy)
{
    QByteArray bytes = legacy.left(kLegacyResultRecordSize);
    bytes.append(4, '\0');
    return bytes;
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
    const LegacyResultRecord head = DecodeLegacyResultRecord(bytes);
    ResultRecord record;
    record.nick = head.nick;
    record.fullName = head.fullName;
    record.timePerExample = head.timePerExample;
    record.points = head.points;
    record.finishedAt = head.finishedAt;
    record.errors = ReadInt32LE(bytes.constData() + kErrorsOffset);
    return record;
}

QString RecordsTableFileName()
{
    return appConfig().PathUser + currentRange().rangeText + QStringLiteral("record.config");
}

std::vector<ResultRecord> ReadResultRecords(const QString& path)
{
    // The window holds every record in memory; a table beyond the bound would
    // take gigabytes and is refused, as a file too large for its reader.
    const qint64 count = QFileInfo(path).size() / kResultRecordSize;
    if (count > kMaxTableRecords)
        throw IoError(IoCodeFromErrno(EOVERFLOW));
    std::vector<ResultRecord> records;
    records.reserve(static_cast<size_t>(count));
    RecordFile file(kResultRecordSize);
    file.open(path); // a failure surfaces at the end test
    while (!file.atEnd()) {
        if (records.size() == static_cast<size_t>(kMaxTableRecords))
            throw IoError(IoCodeFromErrno(EOVERFLOW));
        records.push_back(DecodeResultRecord(file.read()));
    }
    file.close();
    return records;
}

// The old records and the new one go to "record.new" (kept beside the table)
// and to a second temporary file that is then renamed over the table, so the
// table is never missing and never half-written.
void AppendResultRecord(const ResultRecord& record)
{
    const QString table = RecordsTableFileName();
    const QByteArray bytes = EncodeResultRecord(record);

    if (!FileExists(table)) {
        RecordFile file(kResultRecordSize);
        CreateOrRaise(file, table);
        file.write(bytes);
        file.sync();
        file.close();
        return;
    }

    const QString stem = appConfig().PathUser + currentRange().rangeText;
    const QString copy = stem + QStringLiteral("record.new");
    const QString replacement = stem + QStringLiteral("record.tmp");
    try {
        RecordFile in(kResultRecordSize);
        in.open(table); // a failure surfaces at the end test
        RecordFile copyFile(kResultRecordSize);
        CreateOrRaise(copyFile, copy);
        RecordFile next(kResultRecordSize);
        CreateOrRaise(next, replacement);
        while (!in.atEnd()) {
            const QByteArray old = in.read();
            copyFile.write(old);
            next.write(old);
        }
        copyFile.write(bytes);
        next.write(bytes);
        in.close();
        copyFile.close();
        next.sync();
        next.close();
        RenameOver(replacement, table);
    } catch (...) {
        RemoveFile(replacement);
        throw;
    }
}

void ConvertLegacyTables()
{
    const QString folder = appConfig().PathUser;
    QStringList found;
    ListFiles(QStringLiteral("*.conf"), folder, found);
    for (const QString& path : found)
        ConvertLegacyTable(folder, QFileInfo(path).fileName());
}

// The converted table gets the records it already held, then the legacy ones
// with `errors` 0; the legacy file is deleted only once that table is in place.
void ConvertLegacyTable(const QString& folder, const QString& name)
{
    const QString legacy = folder + name;
    const QFileInfo info(legacy);
    if (!info.isFile() || info.size() % kLegacyResultRecordSize != 0)
        return;

    const QString converted = folder + BaseFileName(name) + QStringLiteral(".config");
    const QString replacement = converted + QStringLiteral(".tmp");
    try {
        RecordFile out(kResultRecordSize);
        CreateOrRaise(out, replacement);
        if (FileExists(converted))
            CopyRecords(converted, out);
        RecordFile in(kLegacyResultRecordSize);
        in.open(legacy); // a failure surfaces at the end test
        while (!in.atEnd())
            out.write(ToCurrentFormat(in.read()));
        in.close();
        out.sync();
        out.close();
        RenameOver(replacement, converted);
    } catch (...) {
        RemoveFile(replacement);
        throw;
    }
    RemoveFile(legacy);
}
