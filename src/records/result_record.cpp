#include "records/result_record.h"

#include "util/cp1251.h"
#include "util/files.h"
#include "util/record_file.h"

namespace {

constexpr int kTextCapacity = 255;
constexpr int kNickOffset = 0;
constexpr int kFullNameOffset = 256;
constexpr int kTimeOffset = 512;
constexpr int kPointsOffset = 516;
constexpr int kFinishedAtOffset = 520;
constexpr int kErrorsOffset = 776;

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
