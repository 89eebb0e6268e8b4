#include "records/legacy_tables.h"

#include "config/app_config.h"
#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "platform/folder_lock.h"
#include "records/records_table.h"
#include "util/files.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

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
