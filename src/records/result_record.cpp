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

// The fields both forms hold, in their first kLegacyResultRecordSize bytes;
// `errors` stays 0.
ResultRecord DecodeSharedFields(const char* p)
{
    ResultRecord record;
    record.nick = DecodeShortString(p + kNickOffset, kTextCapacity);
    record.fullName = DecodeShortString(p + kFullNameOffset, kTextCapacity);
    record.timePerExample = ReadInt32LE(p + kTimeOffset);
    record.points = ReadInt32LE(p + kPointsOffset);
    record.finishedAt = DecodeShortString(p + kFinishedAtOffset, kTextCapacity);
    return record;
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
    const ResultRecord shared = DecodeSharedFields(bytes.constData());
    return {shared.nick, shared.fullName, shared.timePerExample, shared.points, shared.finishedAt};
}

ResultRecord DecodeResultRecord(const QByteArray& bytes)
{
    return DecodeResultRecord(bytes.constData());
}

ResultRecord DecodeResultRecord(const char* p)
{
    ResultRecord record = DecodeSharedFields(p);
    record.errors = ReadInt32LE(p + kErrorsOffset);
    return record;
}
