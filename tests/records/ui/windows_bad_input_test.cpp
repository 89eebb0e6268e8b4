// Damaged records tables and legacy tables: every reader gives the specified
// error or tolerance, never a crash, a hang or an allocation sized by the file.

#include "accounts/user_profile.h"
#include "config/app_config.h"
#include "platform/errors.h"
#include "platform/handler_guard.h"
#include "records/records_fixture.h"
#include "records/ui/form10_summary.h"
#include "records/ui/form11_records.h"
#include "support/bad_files.h"
#include "support/file_size_limit.h"
#include "support/memory_ceiling.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Enough for the readers and the test itself; far below any huge file.
constexpr rlim_t kHeadroom = rlim_t(512) << 20;
// A write that would copy a huge table stops here, as on a full disk.
constexpr rlim_t kDiskRoom = rlim_t(1) << 20;

// The apparent sizes of the files beside `keep` in `folder`: leftovers of a
// failed step must not take the room of a huge file.
qint64 OtherFilesSize(const QString& folder, const QString& keep)
{
    qint64 total = 0;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
        if (info.fileName() != keep)
            total += info.size();
    return total;
}

// What the reader of the records window makes of each kind: how many records,
// or the text of the error it raises.
struct TableCase {
    BadFile kind;
    int records;
    const char* error;
};

TEST_F(RecordsTest, TableReaderTakesWholeRecordsAndRefusesHugeTables)
{
    const TableCase cases[] = {
        {BadFile::Empty, 0, ""},
        {BadFile::Short, 0, ""},
        {BadFile::OddSize, 2, ""},
        {BadFile::RandomBytes, 3, ""},
        {BadFile::Huge, 0, "I/O error 75"},
        {BadFile::Folder, 0, "File access denied"},
        {BadFile::Pipe, 0, "File access denied"}, // another account's pipe is never read
        {BadFile::Link, 0, "File access denied"}, // nor a link to another file
    };
    MemoryCeiling ceiling(kHeadroom);
    for (const TableCase& c : cases) {
        SCOPED_TRACE(BadFileName(c.kind));
        MakeBadFile(tablePath(), c.kind, kResultRecordSize);
        const QByteArray bytes = SmallFileBytes(tablePath(), kDiskRoom);
        QString error;
        std::vector<ResultRecord> records;
        try {
            records = ReadResultRecords(tablePath());
        } catch (const IoError& e) {
            error = e.text();
        }
        EXPECT_EQ(error.toStdString(), c.error);
        ASSERT_EQ(records.size(), size_t(c.records));
        for (int i = 0; i < c.records; ++i)
            EXPECT_EQ(EncodeResultRecord(records[size_t(i)]),
                      EncodeResultRecord(DecodeResultRecord(bytes.mid(i * kResultRecordSize))));
    }
}

TEST_F(RecordsTest, TableReaderBoundFollowsTheRecordCount)
{
    // One record more than the bound is refused; the bound itself is a size
    // check only here (reading 800 MB is left to the benchmarks).
    MakeBadFile(tablePath(), BadFile::Empty, kResultRecordSize);
    QFile file(tablePath());
    ASSERT_TRUE(file.resize((kMaxTableRecords + 1) * kResultRecordSize));
    MemoryCeiling ceiling(kHeadroom);
    EXPECT_THROW(ReadResultRecords(tablePath()), IoError);
}

TEST_F(RecordsTest, WindowReportsAHugeTableAndShowsNoRows)
{
    const struct {
        BadFile kind;
        int rows; // grid rows below the titles
        const char* errors;
    } cases[] = {
        {BadFile::Empty, 1, ""},
        {BadFile::Short, 1, ""},
        {BadFile::OddSize, 2, ""},
        {BadFile::RandomBytes, 3, ""},
        {BadFile::Huge, 1, "I/O error 75"},
        {BadFile::Folder, 1, ""}, // no table file: an empty window
        {BadFile::Pipe, 1, "File access denied"},
        {BadFile::Link, 1, "File access denied"},
    };
    TForm11 form(state().range, state().classFolder);
    MemoryCeiling ceiling(kHeadroom);
    for (const auto& c : cases) {
        SCOPED_TRACE(BadFileName(c.kind));
        MakeBadFile(tablePath(), c.kind, kResultRecordSize);
        dialogs_.errors.clear();
        form.OrderClick();
        EXPECT_EQ(dialogs_.errors.join(" | ").toStdString(), c.errors);
        EXPECT_EQ(form.gridRowCount(), 1 + c.rows);
    }
}

TEST_F(RecordsTest, AppendKeepsWhatADamagedTableHolds)
{
    const ResultRecord added = Result("vera", 200);
    const struct {
        BadFile kind;
        const char* error;
    } cases[] = {
        {BadFile::Empty, ""},
        {BadFile::Short, ""},
        {BadFile::OddSize, ""},
        {BadFile::RandomBytes, ""},
        {BadFile::Huge, "I/O error 75"}, // beyond the records limit: refused before copying
        {BadFile::Folder, "File access denied"},
        {BadFile::Pipe, "File access denied"}, // the record would vanish into it
        {BadFile::Link, "File access denied"}, // never read, never replaced through
    };
    MemoryCeiling ceiling(kHeadroom);
    for (const auto& c : cases) {
        SCOPED_TRACE(BadFileName(c.kind));
        QDir(userFolder()).removeRecursively();
        QDir().mkpath(userFolder());
        MakeBadFile(tablePath(), c.kind, kResultRecordSize);
        const QByteArray before = SmallFileBytes(tablePath(), kDiskRoom);
        const qint64 sizeBefore = QFileInfo(tablePath()).size();
        QString error;
        try {
            FileSizeLimit disk(kDiskRoom);
            AppendResultRecord(added);
        } catch (const IoError& e) {
            error = e.text();
        }
        EXPECT_EQ(error.toStdString(), c.error);
        if (*c.error == '\0') {
            // The whole records as they were, then the new one.
            const qsizetype whole = before.size() / kResultRecordSize * kResultRecordSize;
            EXPECT_EQ(readFile(tablePath()), before.left(whole) + EncodeResultRecord(added));
        } else {
            EXPECT_EQ(QFileInfo(tablePath()).size(), sizeBefore);
            EXPECT_EQ(QFileInfo(tablePath()).isDir(), c.kind == BadFile::Folder);
            EXPECT_EQ(QFileInfo(tablePath()).isFile(),
                      c.kind == BadFile::Huge || c.kind == BadFile::Link);
            EXPECT_EQ(QFileInfo(tablePath()).isSymLink(), c.kind == BadFile::Link);
        }
        if (c.kind == BadFile::Link) {
            EXPECT_EQ(readFile(LinkedFilePath(tablePath())), LinkedFileBytes(kResultRecordSize));
        }
        EXPECT_LE(OtherFilesSize(userFolder(), "20record.config"), qint64(kDiskRoom));
    }
}

TEST_F(RecordsTest, ConversionLeavesWhatItCannotConvert)
{
    const QString legacy = userFolder() + "20record.conf";
    const struct {
        BadFile kind;
        int converted; // records in the converted table; -1: the legacy table stays
        const char* error;
    } cases[] = {
        {BadFile::Empty, 0, ""},
        {BadFile::Short, -1, ""},
        {BadFile::OddSize, -1, ""},
        {BadFile::RandomBytes, 3, ""},
        {BadFile::Huge, -1, "I/O error 75"}, // beyond the records limit: refused before copying
        {BadFile::Folder, -1, ""},
        {BadFile::Pipe, -1, ""},
        {BadFile::Link, -1, ""}, // not listed: no legacy table
    };
    MemoryCeiling ceiling(kHeadroom);
    for (const auto& c : cases) {
        SCOPED_TRACE(BadFileName(c.kind));
        QDir(userFolder()).removeRecursively();
        QDir().mkpath(userFolder());
        MakeBadFile(legacy, c.kind, kLegacyResultRecordSize);
        const qint64 legacySize = QFileInfo(legacy).size();
        const QByteArray legacyBytes = SmallFileBytes(legacy, kDiskRoom);
        QString error;
        try {
            FileSizeLimit disk(kDiskRoom);
            ConvertLegacyTables();
        } catch (const IoError& e) {
            error = e.text();
        }
        EXPECT_EQ(error.toStdString(), c.error);
        if (c.converted < 0) {
            EXPECT_TRUE(QFileInfo::exists(legacy));
            EXPECT_EQ(QFileInfo(legacy).size(), legacySize);
            EXPECT_EQ(SmallFileBytes(legacy, kDiskRoom), legacyBytes);
            EXPECT_FALSE(QFileInfo::exists(tablePath()));
            EXPECT_LE(OtherFilesSize(userFolder(), "20record.conf"), qint64(kDiskRoom));
        } else {
            EXPECT_FALSE(QFileInfo::exists(legacy));
            const QByteArray table = readFile(tablePath());
            ASSERT_EQ(table.size(), c.converted * kResultRecordSize);
            for (int i = 0; i < c.converted; ++i)
                EXPECT_EQ(table.mid(i * kResultRecordSize, kLegacyResultRecordSize),
                          legacyBytes.mid(i * kLegacyResultRecordSize, kLegacyResultRecordSize));
        }
    }
}

TEST_F(RecordsTest, SummaryOfDamagedProfilesReportsOrShowsThem)
{
    const struct {
        BadFile kind;
        int rows;
        const char* errors;
    } cases[] = {
        {BadFile::Empty, 0, "Read beyond end of file"},
        {BadFile::Short, 0, "Read beyond end of file"},
        {BadFile::OddSize, 1, ""},
        {BadFile::RandomBytes, 1, ""},
        {BadFile::Huge, 1, ""},   // sparse: not read, reported as unreadable
        {BadFile::Folder, 0, ""}, // not a profile
        {BadFile::Pipe, 0, ""},   // not listed
    };
    TForm10 form(state().classFolder, state().adminRecord.record);
    MemoryCeiling ceiling(kHeadroom);
    for (const auto& c : cases) {
        SCOPED_TRACE(BadFileName(c.kind));
        MakeBadFile(userFolder() + "damaged.zamrik", c.kind, kUserProfileSize);
        dialogs_.errors.clear();
        dialogs_.messages.clear();
        RunHandler([&] { form.LoadSummaryTable(); });
        EXPECT_EQ(dialogs_.errors.join(" | ").toStdString(), c.errors);
        EXPECT_EQ(form.gridRowCount(), 1 + c.rows);
        if (c.kind == BadFile::Huge) {
            EXPECT_EQ(dialogs_.messages, QStringList{kProfileNotReadMessage + "damaged"});
        }
    }
}

} // namespace
