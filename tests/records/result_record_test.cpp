// Records-table files: byte layout, appending, legacy conversion.

#include "records_fixture.h"

#include "config/app_config.h"
#include "platform/errors.h"
#include "support/file_size_limit.h"
#include "util/cp1251.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>
#include <optional>
#include <sys/stat.h>

namespace {

QByteArray Legacy(const std::vector<ResultRecord>& records)
{
    QByteArray bytes;
    for (const ResultRecord& record : records)
        bytes += EncodeResultRecord(record).left(kLegacyResultRecordSize);
    return bytes;
}

std::vector<ResultRecord> Decoded(const QByteArray& table)
{
    std::vector<ResultRecord> records;
    for (int at = 0; at + kResultRecordSize <= table.size(); at += kResultRecordSize)
        records.push_back(DecodeResultRecord(table.mid(at, kResultRecordSize)));
    return records;
}

} // namespace

TEST(ResultRecordBytes, FieldsLieAtTheirOffsets)
{
    const ResultRecord record{"anna", "Петрова Анна", 475, 20, "06-12-2026 09:05:07", -3};
    const QByteArray bytes = EncodeResultRecord(record);
    ASSERT_EQ(bytes.size(), 780);
    EXPECT_EQ(bytes.mid(0, 5), QByteArray("\x04"
                                          "anna"));
    EXPECT_EQ(bytes.mid(256, 13), QByteArray("\x0c") + ToCp1251("Петрова Анна"));
    EXPECT_EQ(bytes.mid(512, 4), QByteArray("\xdb\x01\x00\x00", 4));
    EXPECT_EQ(bytes.mid(516, 4), QByteArray("\x14\x00\x00\x00", 4));
    EXPECT_EQ(bytes.mid(520, 20), QByteArray("\x13"
                                             "06-12-2026 09:05:07"));
    EXPECT_EQ(bytes.mid(776, 4), QByteArray("\xfd\xff\xff\xff", 4));

    const ResultRecord back = DecodeResultRecord(bytes);
    EXPECT_EQ(back.fullName, record.fullName);
    EXPECT_EQ(back.timePerExample, 475);
    EXPECT_EQ(back.errors, -3);

    const LegacyResultRecord legacy = DecodeLegacyResultRecord(bytes.left(776));
    EXPECT_EQ(legacy.nick, "anna");
    EXPECT_EQ(legacy.finishedAt, record.finishedAt);
}

TEST(ResultRecordBytes, LongTextIsCutTo255Characters)
{
    ResultRecord record;
    record.fullName = QString(300, QChar(0x0416)); // Ж
    const ResultRecord back = DecodeResultRecord(EncodeResultRecord(record));
    EXPECT_EQ(back.fullName, QString(255, QChar(0x0416)));
}

TEST_F(RecordsTest, TableNameFollowsUserFolderAndRange)
{
    EXPECT_EQ(RecordsTableFileName(), userFolder() + "20record.config");
    currentRange() = {999, "999"};
    EXPECT_EQ(RecordsTableFileName(), userFolder() + "999record.config");
}

TEST_F(RecordsTest, FirstAppendCreatesTableWithoutTemporaryFile)
{
    const ResultRecord record = Result("anna", 475);
    AppendResultRecord(record);
    EXPECT_EQ(readFile(tablePath()), EncodeResultRecord(record));
    EXPECT_FALSE(QFile::exists(userFolder() + "20record.new"));
}

TEST_F(RecordsTest, SecondAppendKeepsFirstRecordByteForByte)
{
    // The insignificant bytes of the stored record must survive the copy.
    QByteArray first = EncodeResultRecord(Result("anna", 475));
    first[200] = 'x';
    first[700] = 'y';
    writeFile(tablePath(), first);

    const ResultRecord second = Result("boris", 333, 30);
    AppendResultRecord(second);

    EXPECT_EQ(readFile(tablePath()), first + EncodeResultRecord(second));
    // The temporary copy went over the table; only the folder's lock file is left beside it.
    EXPECT_EQ(QDir(userFolder()).entryList(QDir::Files | QDir::Hidden),
              QStringList({".zelvo.lock", "20record.config"}));
}

TEST_F(RecordsTest, PartialTrailingRecordIsDroppedByTheNextAppend)
{
    const QByteArray whole = Table({Result("anna", 475)});
    writeFile(tablePath(), whole + QByteArray(100, 'z'));
    AppendResultRecord(Result("boris", 333));
    EXPECT_EQ(readFile(tablePath()), whole + EncodeResultRecord(Result("boris", 333)));
}

// The record is written at the end of the table itself, not into a copy
// renamed over it: the file stays the same file, and a reader that opened it
// before the append reads the new record from its open descriptor.
TEST_F(RecordsTest, AppendWritesOneRecordIntoTheTableItself)
{
    const QByteArray old = Table({Result("anna", 475), Result("boris", 333)});
    writeFile(tablePath(), old);
    const auto inode = [this] {
        struct stat st;
        return ::stat(QFile::encodeName(tablePath()).constData(), &st) == 0 ? st.st_ino : 0;
    };
    const auto before = inode();
    QFile reader(tablePath());
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));

    AppendResultRecord(Result("vera", 200));

    EXPECT_EQ(inode(), before);
    EXPECT_EQ(reader.readAll(), old + EncodeResultRecord(Result("vera", 200)));
}

// What stays of a table after an append that the file system stops part way
// (a full disk, here a file size limit): the whole records it held, neither a
// torn tail a crash had left nor any byte of the record that did not fit.
TEST_F(RecordsTest, AppendCutsTornTailsAndWhatItCouldNotWriteWhole)
{
    const QByteArray whole = Table({Result("anna", 475), Result("boris", 333)});
    const QByteArray added = EncodeResultRecord(Result("vera", 200));
    const QByteArray torn = added.left(300);
    const struct {
        const char* what;
        QByteArray table;
        rlim_t limit; // 0: none
        QByteArray after;
        bool fails;
    } cases[] = {
        {"whole, room for one more", whole, 0, whole + added, false},
        {"a torn tail, room for one more", whole + torn, 0, whole + added, false},
        {"only a torn tail", torn, 0, added, false},
        {"room for half a record", whole, 2000, whole, true},
        {"a torn tail, room for half a record", whole + torn, 2000, whole, true},
        {"empty, room for half a record", QByteArray(), 400, QByteArray(), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(tablePath(), c.table);
        bool failed = false;
        {
            std::optional<FileSizeLimit> limit;
            if (c.limit != 0)
                limit.emplace(c.limit);
            try {
                AppendResultRecord(Result("vera", 200));
            } catch (const IoError& e) {
                failed = true;
                EXPECT_EQ(e.text(), "Disk full"); // as every failed transfer of a full disk
            }
        }
        EXPECT_EQ(failed, c.fails);
        EXPECT_EQ(readFile(tablePath()), c.after);
    }
}

// The forms that name the folder and the range work on that folder alone:
// its own table and lock, whatever the user folder and range of the run are.
TEST_F(RecordsTest, AppendToANamedFolderAndRange)
{
    const QString other = tempPath("class") + "/";
    ASSERT_TRUE(QDir().mkpath(other));
    writeFile(tablePath("99"), Table({Result("mine", 1)}));
    AppendResultRecord(other, "99", Result("anna", 475));
    AppendResultRecord(other, "99", Result("boris", 333));

    EXPECT_EQ(readFile(other + "99record.config"),
              Table({Result("anna", 475), Result("boris", 333)}));
    EXPECT_EQ(ReadResultRecords(other + "99record.config", OpenFor::Reading).size(), 2u);
    EXPECT_TRUE(QFile::exists(other + ".zelvo.lock"));
    EXPECT_EQ(readFile(tablePath("99")), Table({Result("mine", 1)}));
    EXPECT_FALSE(QFile::exists(tablePath()));
}

TEST_F(RecordsTest, EachRangeHasItsOwnTable)
{
    writeFile(tablePath("20"), Table({Result("anna", 475)}));
    currentRange() = {9, "9"};
    AppendResultRecord(Result("boris", 333));
    EXPECT_EQ(readFile(tablePath("9")).size(), 780);
    EXPECT_EQ(readFile(tablePath("20")).size(), 780);
}

TEST_F(RecordsTest, TableThatCannotBeCreatedIsReported)
{
    QDir(userFolder()).mkpath("folders/20record.config");
    writeFile(userFolder() + "file", "not a folder");
    for (const char* folder : {"folders/", "file/"}) {
        SCOPED_TRACE(folder);
        appConfig().PathUser = userFolder() + folder;
        EXPECT_THROW(AppendResultRecord(Result("anna", 475)), IoError);
    }
}

TEST_F(RecordsTest, FailedAppendLeavesTableWhole)
{
    const QByteArray old = Table({Result("anna", 475), Result("boris", 333)});
    writeFile(tablePath(), old);
    {
        FileSizeLimit limit(2000); // the copy with the third record does not fit
        EXPECT_THROW(AppendResultRecord(Result("vera", 200)), IoError);
    }
    EXPECT_EQ(readFile(tablePath()), old);
    EXPECT_EQ(QDir(userFolder()).entryList(QDir::Files | QDir::Hidden),
              QStringList({".zelvo.lock", "20record.config"}));
}

TEST_F(RecordsTest, LockAndTemporaryFilesAreNoLegacyTables)
{
    for (const char* name : {".zelvo.lock", ".zelvo-77-abcdef.tmp"})
        writeFile(userFolder() + name, QByteArray());
    ConvertLegacyTables();
    EXPECT_EQ(QDir(userFolder()).entryList(QDir::Files | QDir::Hidden),
              QStringList({".zelvo-77-abcdef.tmp", ".zelvo.lock"}));
}

TEST_F(RecordsTest, LegacyTableIsConvertedWithZeroErrors)
{
    const std::vector<ResultRecord> records = {Result("anna", 475, 20, "А", "01-01-2020 10:00:00"),
                                               Result("boris", 333, 30, "Б"),
                                               Result("vera", 1200, 40, "В")};
    writeFile(userFolder() + "20record.conf", Legacy(records));
    ConvertLegacyTables();

    const QByteArray converted = readFile(tablePath());
    ASSERT_EQ(converted.size(), 3 * 780);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(converted.mid(i * 780, 776), Legacy({records[size_t(i)]}));
        EXPECT_EQ(DecodeResultRecord(converted.mid(i * 780, 780)).errors, 0);
    }
    EXPECT_FALSE(QFile::exists(userFolder() + "20record.conf"));
}

TEST_F(RecordsTest, EmptyLegacyTableBecomesEmptyTable)
{
    writeFile(userFolder() + "20record.conf", QByteArray());
    ConvertLegacyTables();
    EXPECT_TRUE(QFile::exists(tablePath()));
    EXPECT_EQ(readFile(tablePath()).size(), 0);
    EXPECT_FALSE(QFile::exists(userFolder() + "20record.conf"));
}

TEST_F(RecordsTest, ConversionKeepsRecordsAlreadyInTheTable)
{
    const QByteArray current = Table({Result("anna", 475, 20, "А", "x", 4)});
    writeFile(tablePath(), current);
    writeFile(userFolder() + "20record.conf", Legacy({Result("boris", 333)}));
    ConvertLegacyTables();

    const std::vector<ResultRecord> records = Decoded(readFile(tablePath()));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].nick, "anna");
    EXPECT_EQ(records[0].errors, 4);
    EXPECT_EQ(records[1].nick, "boris");
}

TEST_F(RecordsTest, ConversionTakesAnyConfNameAndSkipsWhatIsNoLegacyTable)
{
    QDir(userFolder()).mkpath("folder.conf");
    writeFile(userFolder() + "odd.conf", QByteArray(777, 'a'));
    writeFile(userFolder() + "my table.conf", Legacy({Result("anna", 475)}));
    ConvertLegacyTables();

    EXPECT_TRUE(QFileInfo(userFolder() + "folder.conf").isDir());
    EXPECT_EQ(readFile(userFolder() + "odd.conf").size(), 777);
    EXPECT_FALSE(QFile::exists(userFolder() + "odd.config"));
    EXPECT_EQ(Decoded(readFile(userFolder() + "my table.config")).size(), 1u);
    EXPECT_FALSE(QFile::exists(userFolder() + "my table.conf"));
}

TEST_F(RecordsTest, FailedConversionKeepsLegacyTable)
{
    const QByteArray legacy = Legacy({Result("anna", 475)});
    writeFile(userFolder() + "20record.conf", legacy);
    QDir(userFolder()).mkpath("20record.config");
    EXPECT_THROW(ConvertLegacyTable(userFolder(), "20record.conf"), IoError);
    EXPECT_EQ(readFile(userFolder() + "20record.conf"), legacy);
    EXPECT_EQ(QDir(userFolder()).entryList(QDir::Files), QStringList({"20record.conf"}));
}

// Another account of the class puts links into the shared folder. Neither the
// conversion nor an append ever writes through them: the step fails with its
// input/output error, and the linked file, the link and the legacy table stay.
TEST_F(RecordsTest, NoStepWritesThroughALinkInTheUserFolder)
{
    const QString victim = tempPath("bash_aliases"); // another pupil's file
    const QByteArray aliases = "alias ll='ls -l'\n";
    const QByteArray herText = QByteArray("\x04"
                                          "echo",
                                          5) +
                               QByteArray(771, ' ');
    const auto convert = [&] {
        writeFile(userFolder() + "x.conf", herText);
        ConvertLegacyTables();
    };
    const auto append = [] { AppendResultRecord(Result("anna", 475)); };
    const struct {
        const char* what;
        QString link;
        bool dangling;
        std::function<void()> step;
    } cases[] = {
        {"the conversion's table", userFolder() + "x.config", false, convert},
        {"the conversion's table, dangling", userFolder() + "x.config", true, convert},
        {"the table of the range", tablePath(), false, append},
        {"the table of the range, dangling", tablePath(), true, append},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(userFolder()).removeRecursively();
        QDir().mkpath(userFolder());
        QFile::remove(victim);
        if (!c.dangling)
            writeFile(victim, aliases);
        ASSERT_TRUE(QFile::link(victim, c.link));
        QString error;
        try {
            c.step();
        } catch (const IoError& e) {
            error = e.text();
        }
        EXPECT_EQ(error, "File access denied");
        EXPECT_EQ(QFileInfo::exists(victim), !c.dangling);
        EXPECT_EQ(readFile(victim), c.dangling ? QByteArray() : aliases);
        EXPECT_TRUE(QFileInfo(c.link).isSymLink());
        if (QFileInfo::exists(userFolder() + "x.conf")) {
            EXPECT_EQ(readFile(userFolder() + "x.conf"), herText);
        }
        // No temporary file is left, neither here nor beside the linked file.
        for (const QString& folder : {userFolder(), tempPath("")})
            EXPECT_TRUE(QDir(folder).entryList({".zelvo-*"}, QDir::Files | QDir::Hidden).isEmpty());
    }
}

// A link, pipe or folder named like a legacy table is none: the scan passes
// it by, and what it points to stays as it was.
TEST_F(RecordsTest, TheConversionListsOnlyRegularFiles)
{
    const QByteArray legacy = Legacy({Result("anna", 475)});
    writeFile(tempPath("elsewhere.conf"), legacy);
    ASSERT_TRUE(QFile::link(tempPath("elsewhere.conf"), userFolder() + "20record.conf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(userFolder() + "99record.conf").constData(), 0666), 0);
    QDir(userFolder()).mkdir("9record.conf");
    ConvertLegacyTables();
    EXPECT_EQ(readFile(tempPath("elsewhere.conf")), legacy);
    EXPECT_TRUE(QFileInfo(userFolder() + "20record.conf").isSymLink());
    EXPECT_EQ(QDir(userFolder())
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList({"20record.conf", "99record.conf", "9record.conf"}));
}

// Sizes are checked before anything is copied: a sparse table of 500 GB or
// a legacy table of two million records is refused with the error the reader
// gives for a table beyond the records limit, before one byte is written.
TEST_F(RecordsTest, TablesBeyondTheRecordsLimitAreRefusedBeforeCopying)
{
    const qint64 twoMillionLegacy = qint64(2000000) * kLegacyResultRecordSize;
    const struct {
        const char* what;
        const char* name;
        qint64 size;
        const char* existingTable; // beside a legacy table; nullptr: none
        qint64 existingSize;
    } cases[] = {
        {"a sparse table of 500 GB", "9record.config", qint64(500) << 30, nullptr, 0},
        {"a table at the limit", "9record.config", kMaxTableRecords * kResultRecordSize, nullptr,
         0},
        {"a legacy table of two million records", "9record.conf", twoMillionLegacy, nullptr, 0},
        {"a legacy table and its table beyond the limit together", "9record.conf",
         kLegacyResultRecordSize, "9record.config", kMaxTableRecords * kResultRecordSize},
    };
    currentRange() = {9, "9"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(userFolder()).removeRecursively();
        QDir().mkpath(userFolder());
        for (const auto& [name, size] :
             {std::pair(c.name, c.size), std::pair(c.existingTable, c.existingSize)}) {
            if (!name)
                continue;
            QFile file(userFolder() + name);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_TRUE(file.resize(size)); // sparse: no disk space taken
        }
        const auto entries = [&] {
            QStringList list;
            for (const QFileInfo& info :
                 QDir(userFolder()).entryInfoList(QDir::Files | QDir::Hidden))
                list << info.fileName() + "=" + QString::number(info.size());
            return list;
        };
        const QStringList before = entries();
        QString error;
        try {
            if (QString(c.name).endsWith(".conf"))
                ConvertLegacyTables();
            else
                AppendResultRecord(Result("anna", 475));
        } catch (const IoError& e) {
            error = e.text();
        }
        EXPECT_EQ(error, "I/O error 75");
        QStringList after = entries();
        after.removeAll(".zelvo.lock=0");
        EXPECT_EQ(after, before);
    }
}

// A sparse table, legacy table or converted table (its length set beyond the
// records written to it, the rest never stored) is refused by the reader, the
// append and the conversion with the reader's error for a table too large,
// and nothing is copied from it: the folder stays as it was.
TEST_F(RecordsTest, SparseTablesAreRefusedAndNothingIsCopied)
{
    std::vector<ResultRecord> records;
    for (int i = 0; i < 20; ++i)
        records.push_back(Result("anna", 475 + i));
    const qint64 sparseRecords = 2000; // 20 written, the rest a hole
    const struct {
        const char* what;
        const char* sparse; // the sparse file
        const char* legacy; // a whole legacy table beside it, or nullptr
        std::function<void()> step;
    } cases[] = {
        {"reading the table", "20record.config", nullptr,
         [this] { ReadResultRecords(tablePath()); }},
        {"reading the table, for reading only", "20record.config", nullptr,
         [this] { ReadResultRecords(tablePath(), OpenFor::Reading); }},
        {"appending to the table", "20record.config", nullptr,
         [] { AppendResultRecord(Result("boris", 333)); }},
        {"converting a sparse legacy table", "20record.conf", nullptr,
         [] { ConvertLegacyTables(); }},
        {"converting onto a sparse table", "20record.config", "20record.conf",
         [] { ConvertLegacyTables(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(userFolder()).removeRecursively();
        QDir().mkpath(userFolder());
        const QString sparse = userFolder() + c.sparse;
        const bool legacyFormat = QString(c.sparse).endsWith(".conf");
        writeFile(sparse, legacyFormat ? Legacy(records) : Table(records));
        ASSERT_TRUE(QFile::resize(
            sparse, sparseRecords * (legacyFormat ? kLegacyResultRecordSize : kResultRecordSize)));
        if (c.legacy)
            writeFile(userFolder() + c.legacy, Legacy(records));
        const auto contents = [&] {
            QStringList list;
            for (const QFileInfo& info :
                 QDir(userFolder()).entryInfoList(QDir::Files | QDir::Hidden)) {
                if (info.fileName() != ".zelvo.lock")
                    list << info.fileName() + " " + QString::number(info.size()) + " " +
                                readFile(info.filePath()).left(20 * 780).toHex().left(64);
            }
            return list;
        };
        const QStringList before = contents();
        QString error;
        try {
            c.step();
        } catch (const IoError& e) {
            error = e.text();
        }
        EXPECT_EQ(error, "I/O error 75");
        EXPECT_EQ(contents(), before);
    }
}

// One run of the conversion writes at most its budget: the tables beyond
// what is left wait, untouched, and a later run converts them. A table larger
// than the whole budget goes as a run's first. Which tables go first is the
// folder listing's order, so the test counts them.
TEST_F(RecordsTest, ConversionWritesAtMostItsBudgetPerRun)
{
    const QByteArray twoRecords = Legacy({Result("anna", 475), Result("boris", 333)});
    const auto legacyLeft = [&] { return QDir(userFolder()).entryList({"*.conf"}, QDir::Files); };
    const auto convertedBytes = [&] {
        qint64 total = 0;
        for (const QFileInfo& info : QDir(userFolder()).entryInfoList({"*.config"}, QDir::Files))
            total += info.size();
        return total;
    };
    const qint64 budget = 5 * kResultRecordSize; // two tables of two records, not three

    for (const char* name : {"a.conf", "b.conf", "c.conf", "d.conf"})
        writeFile(userFolder() + name, twoRecords);
    ConvertLegacyTables(budget);
    ASSERT_EQ(legacyLeft().size(), 2);
    EXPECT_EQ(convertedBytes(), 4 * kResultRecordSize);
    for (const QString& name : legacyLeft())
        EXPECT_EQ(readFile(userFolder() + name), twoRecords);
    ConvertLegacyTables(budget);
    EXPECT_TRUE(legacyLeft().isEmpty());
    EXPECT_EQ(convertedBytes(), 8 * kResultRecordSize);

    // The records a converted table already holds count too: a.config and
    // b.config hold two each, so each conversion writes four and the second
    // no longer fits.
    writeFile(userFolder() + "a.conf", twoRecords);
    writeFile(userFolder() + "b.conf", twoRecords);
    ConvertLegacyTables(budget);
    EXPECT_EQ(legacyLeft().size(), 1);

    // Beyond the whole budget: converted alone, by a run of its own.
    QDir(userFolder()).removeRecursively();
    QDir().mkpath(userFolder());
    writeFile(userFolder() + "big.conf", twoRecords + twoRecords + twoRecords);
    writeFile(userFolder() + "small.conf", twoRecords);
    ConvertLegacyTables(budget);
    EXPECT_EQ(legacyLeft().size(), 1);
    ConvertLegacyTables(budget);
    EXPECT_TRUE(legacyLeft().isEmpty());
    EXPECT_EQ(readFile(userFolder() + "big.config").size(), 6 * kResultRecordSize);
    EXPECT_EQ(readFile(userFolder() + "small.config").size(), 2 * kResultRecordSize);
}
