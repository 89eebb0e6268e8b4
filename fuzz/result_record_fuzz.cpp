// Records tables: any record bytes decode; a table file of any size reads as
// its whole records; a legacy table converts only when it holds whole records,
// after the records the converted table already holds.

#include "fuzz_support.h"

#include "records/result_record.h"

#include <QFile>

namespace {

bool SameFields(const LegacyResultRecord& legacy, const ResultRecord& record)
{
    return legacy.nick == record.nick && legacy.fullName == record.fullName &&
           legacy.timePerExample == record.timePerExample && legacy.points == record.points &&
           legacy.finishedAt == record.finishedAt;
}

void CheckRecordBytes(const uint8_t* data, size_t size)
{
    if (size >= size_t(kLegacyResultRecordSize)) {
        const LegacyResultRecord legacy =
            DecodeLegacyResultRecord(FuzzBytes(data, kLegacyResultRecordSize));
        FUZZ_CHECK(legacy.nick.size() <= 255 && legacy.fullName.size() <= 255 &&
                   legacy.finishedAt.size() <= 255);
    }
    if (size >= size_t(kResultRecordSize)) {
        const ResultRecord record = DecodeResultRecord(FuzzBytes(data, kResultRecordSize));
        const QByteArray once = EncodeResultRecord(record);
        FUZZ_CHECK(once.size() == kResultRecordSize);
        FUZZ_CHECK(EncodeResultRecord(DecodeResultRecord(once)) == once);
    }
}

void CheckTableRead(const QByteArray& bytes)
{
    const QString path = FuzzFolder() + QStringLiteral("table.config");
    WriteFuzzFile(path, bytes);
    const std::vector<ResultRecord> records = ReadResultRecords(path);
    FUZZ_CHECK(records.size() == size_t(bytes.size() / kResultRecordSize));
    for (size_t i = 0; i < records.size(); ++i) {
        const ResultRecord expected =
            DecodeResultRecord(bytes.mid(qsizetype(i) * kResultRecordSize, kResultRecordSize));
        FUZZ_CHECK(records[i].errors == expected.errors);
        FUZZ_CHECK(records[i].nick == expected.nick &&
                   records[i].finishedAt == expected.finishedAt);
    }
}

// The input is the legacy table; with an odd first byte it is also the
// converted table that exists already (trailing partial record included).
void CheckConversion(const QByteArray& bytes)
{
    const QString folder = FuzzFolder();
    const QString legacyPath = folder + QStringLiteral("fuzz.conf");
    const QString convertedPath = folder + QStringLiteral("fuzz.config");
    QFile::remove(convertedPath);
    const bool tableExists = !bytes.isEmpty() && (bytes.at(0) & 1);
    if (tableExists)
        WriteFuzzFile(convertedPath, bytes);
    WriteFuzzFile(legacyPath, bytes);

    ConvertLegacyTable(folder, QStringLiteral("fuzz.conf"));

    if (bytes.size() % kLegacyResultRecordSize != 0) {
        FUZZ_CHECK(ReadFuzzFile(legacyPath) == bytes);
        FUZZ_CHECK(QFile::exists(convertedPath) == tableExists);
        return;
    }
    FUZZ_CHECK(!QFile::exists(legacyPath));
    const QByteArray converted = ReadFuzzFile(convertedPath);
    const qsizetype kept = tableExists ? bytes.size() / kResultRecordSize * kResultRecordSize : 0;
    const qsizetype legacyCount = bytes.size() / kLegacyResultRecordSize;
    FUZZ_CHECK(converted.size() == kept + legacyCount * kResultRecordSize);
    FUZZ_CHECK(converted.left(kept) == bytes.left(kept));
    for (qsizetype i = 0; i < legacyCount; ++i) {
        const QByteArray legacy = bytes.mid(i * kLegacyResultRecordSize, kLegacyResultRecordSize);
        const QByteArray record = converted.mid(kept + i * kResultRecordSize, kResultRecordSize);
        FUZZ_CHECK(record.left(kLegacyResultRecordSize) == legacy);
        const ResultRecord decoded = DecodeResultRecord(record);
        FUZZ_CHECK(decoded.errors == 0);
        FUZZ_CHECK(SameFields(DecodeLegacyResultRecord(legacy), decoded));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckRecordBytes(data, size);
    const QByteArray bytes = FuzzBytes(data, size);
    CheckTableRead(bytes);
    CheckConversion(bytes);
    return 0;
}
