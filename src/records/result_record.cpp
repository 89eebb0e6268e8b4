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
#include <cerrno>
#include <cstring>
#include <optional>

namespace {

constexpr int kTextCapacity = 255;
constexpr int kNickOffset = 0;
constexpr int kFullNameOffset = 256;
constexpr int kTimeOffset = 512;
constexpr int kPointsOffset = 516;
constexpr int kFinishedAtOffset = 520;
constexpr int kErrorsOffset = 776;

// What the reader of a table gives for one beyond the records limit, and so
// what every step that would copy such a table gives before it writes anything.
[[noreturn]] void RaiseTooManyRecords() { throw IoError(IoCodeFromErrno(EOVERFLOW)); }

// Opens an existing table or legacy file of the user folder for reading and
// writing; IoError when it cannot be (a link, folder, pipe or device there
// included).
void OpenOrRaise(RecordFile& file, const QString& path)
{
    if (!file.open(path))
        throw IoError(file.openError());
}

// The table already at `path`, opened in `old`: the whole records it holds,
// or none when nothing lies there. A link, pipe or unreadable table there
// fails the step (OpenOrRaise).
std::optional<qint64> OpenOldTable(RecordFile& old, const QString& path)
{
    if (!UserFileExists(path))
        return std::nullopt;
    OpenOrRaise(old, path);
    return old.size() / kResultRecordSize;
}

// Writes the records through a replacement of `target`: `fill` writes them to
// the open temporary file, then the replacement is renamed over the target.
// The target is whole at every moment; on an error the temporary file goes.
// The temporary file is written through the descriptor that created it, never
// looked up again by its name.
template <typename Fill> void ReplaceRecords(const QString& target, Fill fill)
{
    FileReplacement replacement(target);
    if (!replacement.created())
        throw IoError(IoCodeFromErrno(replacement.createError()));
    RecordFile out(kResultRecordSize);
    if (!out.attach(replacement.fd()))
        throw IoError(out.openError());
    fill(out);
    out.close();
    if (const int error = replacement.commit())
        throw IoError(IoCodeFromErrno(error));
}

// Whole records moved per transfer when a table is read or converted.
constexpr int kRecordsPerTransfer = 4096;

// The next `count` legacy records of `in` go to `out`, each followed by
// `errors` 0: the stored texts stay byte for byte. Blocks of records per
// transfer; a file that grew since its size was checked gives no more.
void CopyAsCurrentFormat(RecordFile& in, qint64 count, RecordFile& out)
{
    QByteArray block;
    QByteArray converted(qsizetype(kRecordsPerTransfer) * kResultRecordSize, '\0');
    while (count > 0 && in.readRecords(block, int(std::min<qint64>(count, kRecordsPerTransfer)))) {
        const qsizetype got = block.size() / kLegacyResultRecordSize;
        // Only the first 776 bytes of each record are written: `errors` stays 0.
        const char* from = block.constData();
        char* to = converted.data();
        for (qsizetype i = 0; i < got; ++i)
            std::memcpy(to + i * kResultRecordSize, from + i * kLegacyResultRecordSize,
                        kLegacyResultRecordSize);
        out.writeRecords(QByteArrayView(converted).first(got * kResultRecordSize));
        count -= got;
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

// The user folder is locked only where there is something to do, so that a
// start does not wait for another copy's lock for nothing. Only regular files
// are listed: a link, folder or pipe named "*.conf" is no legacy table.
void ConvertLegacyTables(qint64 budget)
{
    const QString folder = appConfig().PathUser;
    if (HasLeftTemporaryFiles(folder)) {
        FolderLock lock(folder, FolderLock::Mode::Exclusive);
        if (lock.held())
            RemoveLeftTemporaryFiles(folder);
    }
    QStringList found;
    ListFiles(QStringLiteral("*.conf"), folder, found);
    qint64 left = budget;
    for (const QString& path : found) {
        // Until something is written, a table of any size goes.
        const qint64 bound = left == budget ? -1 : left;
        const qint64 written = ConvertLegacyTable(folder, QFileInfo(path).fileName(), bound);
        if (written < 0)
            return; // this table and the rest wait for the next start
        left = std::max<qint64>(left - written, 0);
    }
}

// The converted table gets the records it already held, then the legacy ones
// with `errors` 0; the legacy file is deleted only once that table is in place.
// A copy killed between the two steps leaves the legacy rows to be converted
// again: duplicated, never lost. Both files are opened before anything is
// written, so a link there, or a table beyond the records limit, fails the
// step with nothing changed, and so does a sparse one (RecordFile).
qint64 ConvertLegacyTable(const QString& folder, const QString& name, qint64 budget)
{
    const QString legacy = folder + name;
    if (!IsRegularFile(legacy))
        return 0;
    FolderLock lock(folder, FolderLock::Mode::Exclusive);
    RecordFile in(kLegacyResultRecordSize);
    OpenOrRaise(in, legacy);
    const qint64 legacySize = in.size();
    if (legacySize % kLegacyResultRecordSize != 0)
        return 0;
    const qint64 legacyCount = legacySize / kLegacyResultRecordSize;

    const QString converted = folder + BaseFileName(name) + QStringLiteral(".config");
    RecordFile old(kResultRecordSize);
    const qint64 oldCount = OpenOldTable(old, converted).value_or(0);
    if (oldCount + legacyCount > kMaxTableRecords)
        RaiseTooManyRecords();
    const qint64 bytes = (oldCount + legacyCount) * kResultRecordSize;
    if (budget >= 0 && bytes > budget)
        return -1;
    ReplaceRecords(converted, [&](RecordFile& out) {
        if (oldCount > 0)
            old.copyRecordsTo({&out}, oldCount);
        CopyAsCurrentFormat(in, legacyCount, out);
    });
    in.close();
    old.close();
    RemoveFile(legacy);
    return bytes;
}
