#include "util/record_file.h"

#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "support/file_size_limit.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kSize = 8;

QString ErrorTextOf(const std::function<void()>& transfer)
{
    try {
        transfer();
    } catch (const IoError& e) {
        return e.text();
    }
    return QStringLiteral("no error");
}

using RecordFileTest = ZelvoTest;

// The device that refuses every write as a full disk, opened by the test
// itself: record files are never opened on a device by name.
struct FullDevice {
    int fd = ::open("/dev/full", O_RDWR | O_CLOEXEC);
    ~FullDevice()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

TEST_F(RecordFileTest, RecordsRoundTripPaddedOrCut)
{
    const QString path = tempPath("t.rec");
    {
        RecordFile file(kSize);
        ASSERT_TRUE(file.create(path));
        EXPECT_EQ(file.openError(), 0);
        file.write("abc");
        file.write("0123456789");
        file.sync();
    }
    EXPECT_EQ(readFile(path), QByteArray("abc\0\0\0\0\0"
                                         "01234567",
                                         16));

    RecordFile file(kSize);
    ASSERT_TRUE(file.open(path));
    EXPECT_FALSE(file.atEnd());
    EXPECT_EQ(file.read(), QByteArray("abc\0\0\0\0\0", 8));
    EXPECT_EQ(file.read(), QByteArray("01234567"));
    EXPECT_TRUE(file.atEnd());
}

TEST_F(RecordFileTest, CreateTruncatesAnExistingFile)
{
    const QString path = tempPath("t.rec");
    writeFile(path, QByteArray(100, 'x'));
    RecordFile file(kSize);
    ASSERT_TRUE(file.create(path));
    file.write("new");
    file.close();
    EXPECT_EQ(readFile(path).size(), kSize);
}

TEST_F(RecordFileTest, ShortFileReadsBeyondEnd)
{
    const QString path = tempPath("short.rec");
    writeFile(path, "12345");
    RecordFile file(kSize);
    ASSERT_TRUE(file.open(path));
    EXPECT_TRUE(file.atEnd()); // less than one whole record left
    EXPECT_EQ(ErrorTextOf([&] { file.read(); }), "Read beyond end of file");
}

TEST_F(RecordFileTest, OpenedForReadingReadsButNeverWrites)
{
    const QString path = tempPath("t.rec");
    writeFile(path, "01234567");
    RecordFile file(kSize);
    ASSERT_TRUE(file.open(path, OpenFor::Reading));
    EXPECT_EQ(file.read(), QByteArray("01234567"));
    EXPECT_TRUE(file.atEnd());
    EXPECT_NE(ErrorTextOf([&] { file.write("abcdefgh"); }), "no error");
    file.close();
    EXPECT_EQ(readFile(path), QByteArray("01234567"));
}

TEST_F(RecordFileTest, TransfersAfterAFailedOpenRaiseItsError)
{
    writeFile(tempPath("plain"), "x");
    const struct {
        QString path;
        bool create;
        int code;
        const char* text;
    } cases[] = {
        {tempPath("missing.rec"), false, kIoFileNotFound, "File not found"},
        {userFolder(), false, kIoAccessDenied, "File access denied"},
        {userFolder(), true, kIoAccessDenied, "File access denied"},
        {tempPath("plain/beneath"), true, kIoInvalidFilename, "Invalid filename"},
        {tempPath("no/such/folder.rec"), true, kIoFileNotFound, "File not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        RecordFile file(kSize);
        EXPECT_FALSE(c.create ? file.create(c.path) : file.open(c.path));
        EXPECT_EQ(file.openError(), c.code);
        EXPECT_EQ(ErrorTextOf([&] { file.atEnd(); }), c.text);
        EXPECT_EQ(ErrorTextOf([&] { file.read(); }), c.text);
        EXPECT_EQ(ErrorTextOf([&] { file.write("x"); }), c.text);
        QByteArray block;
        EXPECT_EQ(ErrorTextOf([&] { file.readRecords(block, 4); }), c.text);
        EXPECT_EQ(ErrorTextOf([&] { file.writeRecords("12345678"); }), c.text);
        EXPECT_EQ(ErrorTextOf([&] { file.copyRecordsTo({}); }), c.text);
    }
}

TEST_F(RecordFileTest, BlockTransfersMoveWholeRecordsOnly)
{
    const QString path = tempPath("t.rec");
    writeFile(path, "AAAAAAAABBBBBBBBCCCCCCCCdd"); // three records and a partial one
    RecordFile file(kSize);
    ASSERT_TRUE(file.open(path));
    QByteArray block;
    ASSERT_TRUE(file.readRecords(block, 1));
    EXPECT_EQ(block, "AAAAAAAA");
    ASSERT_TRUE(file.readRecords(block, 10));
    EXPECT_EQ(block, "BBBBBBBBCCCCCCCC");
    EXPECT_FALSE(file.readRecords(block, 10));
    EXPECT_TRUE(block.isEmpty());

    // From the second record on, into two files that already hold one record.
    RecordFile first(kSize), second(kSize);
    ASSERT_TRUE(first.create(tempPath("first.rec")));
    ASSERT_TRUE(second.create(tempPath("second.rec")));
    first.writeRecords("11111111");
    second.write("2");
    ASSERT_TRUE(file.open(path));
    file.read();
    file.copyRecordsTo({&first, &second});
    EXPECT_TRUE(file.atEnd());
    first.close();
    second.close();
    EXPECT_EQ(readFile(tempPath("first.rec")), "11111111BBBBBBBBCCCCCCCC");
    EXPECT_EQ(readFile(tempPath("second.rec")), QByteArray("2\0\0\0\0\0\0\0BBBBBBBBCCCCCCCC", 24));
}

TEST_F(RecordFileTest, BlockCopyFailuresRaise)
{
    const QString path = tempPath("t.rec");
    writeFile(path, "AAAAAAAABBBBBBBB");
    RecordFile in(kSize);
    ASSERT_TRUE(in.open(path));
    RecordFile full(kSize);
    ASSERT_TRUE(full.attach(FullDevice().fd)); // copied through memory, then refused
    EXPECT_EQ(ErrorTextOf([&] { in.copyRecordsTo({&full}); }), "Disk full");
    RecordFile missing(kSize);
    EXPECT_FALSE(missing.open(tempPath("missing.rec")));
    EXPECT_EQ(ErrorTextOf([&] { in.copyRecordsTo({&missing}); }), "File not found");
    EXPECT_EQ(ErrorTextOf([&] { full.writeRecords("12345678"); }), "Disk full");
}

TEST_F(RecordFileTest, TransferOnAFileNeverOpened)
{
    RecordFile file(kSize);
    EXPECT_EQ(ErrorTextOf([&] { file.read(); }), "I/O error 103");
}

TEST_F(RecordFileTest, WriteOnAFullDeviceIsDiskFull)
{
    RecordFile file(kSize);
    ASSERT_TRUE(file.attach(FullDevice().fd));
    EXPECT_EQ(ErrorTextOf([&] { file.write("abc"); }), "Disk full");
}

// Another account may put anything in place of a record file: only a regular
// file of that name itself is opened or created, and nothing else is touched.
TEST_F(RecordFileTest, OnlyARegularFileItselfIsOpenedOrCreated)
{
    const QString victim = tempPath("victim");
    writeFile(victim, "AAAAAAAABBBBBBBB");
    ASSERT_TRUE(QFile::link(victim, userFolder() + "link.rec"));
    ASSERT_TRUE(QFile::link(tempPath("none"), userFolder() + "dangling.rec"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(userFolder() + "pipe.rec").constData(), 0666), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", userFolder() + "device.rec"));
    QDir(userFolder()).mkdir("folder.rec");
    for (const char* name : {"link.rec", "dangling.rec", "pipe.rec", "device.rec", "folder.rec"}) {
        SCOPED_TRACE(name);
        for (OpenFor mode : {OpenFor::ReadWrite, OpenFor::Reading}) {
            RecordFile file(kSize);
            EXPECT_FALSE(file.open(userFolder() + name, mode));
            EXPECT_EQ(file.openError(), kIoAccessDenied);
            EXPECT_EQ(ErrorTextOf([&] { file.read(); }), "File access denied");
        }
        RecordFile created(kSize);
        EXPECT_FALSE(created.create(userFolder() + name));
        EXPECT_EQ(created.openError(), kIoAccessDenied);
        RecordFile appended(kSize);
        EXPECT_FALSE(appended.openOrCreate(userFolder() + name));
        EXPECT_EQ(appended.openError(), kIoAccessDenied);
    }
    EXPECT_EQ(readFile(victim), "AAAAAAAABBBBBBBB");
    EXPECT_FALSE(QFileInfo::exists(tempPath("none")));
    EXPECT_TRUE(QFileInfo(userFolder() + "link.rec").isSymLink());
}

TEST_F(RecordFileTest, SizeAndBoundedCopy)
{
    const QString path = tempPath("t.rec");
    writeFile(path, "AAAAAAAABBBBBBBBCCCCCCCCdd");
    RecordFile in(kSize), out(kSize);
    ASSERT_TRUE(in.open(path));
    EXPECT_EQ(in.size(), 26);
    ASSERT_TRUE(out.create(tempPath("out.rec")));
    in.copyRecordsTo({&out}, 2); // what a checked size allows, however the file grew since
    EXPECT_EQ(in.read(), "CCCCCCCC");
    out.close();
    EXPECT_EQ(readFile(tempPath("out.rec")), "AAAAAAAABBBBBBBB");
    RecordFile never(kSize);
    EXPECT_EQ(ErrorTextOf([&] { never.size(); }), "I/O error 103");
}

// A sparse file (fewer allocated blocks than its length needs) is no record
// file: opening it fails as a table too large for its reader, so that nothing
// of its unstored zeros is ever read or copied. Files whose blocks are all
// there open, however small or empty.
TEST_F(RecordFileTest, SparseFilesAreRefused)
{
    const QByteArray data(8192, 'r');
    const struct {
        const char* what;
        QByteArray written; // at the start of the file
        qint64 length;      // then the file's length set to this
        bool opened;
    } cases[] = {
        {"empty", "", 0, true},
        {"a few bytes", "AAAAAAAABBBBBBBB", 16, true},
        {"written whole, 2 MiB", QByteArray(2 << 20, 'w'), 2 << 20, true},
        {"never written, 8 bytes", "", 8, false},
        {"a hole after its data", data, 1 << 20, false},
        {"a hole of 500 GB after its data", data, qint64(500) << 30, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = tempPath("t.rec");
        writeFile(path, c.written);
        ASSERT_TRUE(QFile::resize(path, c.length));
        for (OpenFor mode : {OpenFor::ReadWrite, OpenFor::Reading}) {
            RecordFile file(kSize);
            EXPECT_EQ(file.open(path, mode), c.opened);
            if (c.opened) {
                EXPECT_EQ(file.size(), c.length);
            } else {
                EXPECT_EQ(ErrorTextOf([&] { file.size(); }), "I/O error 75");
                EXPECT_EQ(ErrorTextOf([&] { file.read(); }), "I/O error 75");
            }
        }
        EXPECT_EQ(QFileInfo(path).size(), c.length);
    }

    // A hole before the data: written only at its end.
    const QString holeFirst = tempPath("first.rec");
    writeFile(holeFirst, "");
    {
        QFile file(holeFirst);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.seek(1 << 20));
        ASSERT_EQ(file.write("AAAAAAAA"), 8);
    }
    RecordFile first(kSize);
    EXPECT_FALSE(first.open(holeFirst));
    EXPECT_EQ(first.openError(), 75);
}

// A file that becomes sparse once it is open (its owner lengthens it) gives
// no size to copy by; the check keeps the file's position.
TEST_F(RecordFileTest, AFileMadeSparseAfterOpeningHasNoSize)
{
    const QString path = tempPath("t.rec");
    writeFile(path, "AAAAAAAABBBBBBBBCCCCCCCC");
    RecordFile file(kSize);
    ASSERT_TRUE(file.open(path));
    EXPECT_EQ(file.read(), "AAAAAAAA");
    EXPECT_EQ(file.size(), 24);
    EXPECT_EQ(file.read(), "BBBBBBBB");
    ASSERT_TRUE(QFile::resize(path, qint64(1) << 30));
    EXPECT_EQ(ErrorTextOf([&] { file.size(); }), "I/O error 75");
}

class ReplaceTest : public ZelvoTest {
  protected:
    QStringList entries() const
    {
        return QDir(userFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

TEST_F(ReplaceTest, ReplacesTheWholeFileAndLeavesNoTemporary)
{
    const QString path = userFolder() + "20record.config";
    writeFile(path, QByteArray(5000, 'o'));
    EXPECT_TRUE(ReplaceFileWhole(path, "new records").replaced());
    EXPECT_EQ(readFile(path), "new records");
    EXPECT_TRUE(ReplaceFileWhole(userFolder() + "fresh", QByteArray()).replaced());
    EXPECT_TRUE(QFileInfo(userFolder() + "fresh").isFile());
    EXPECT_EQ(entries(), QStringList({"20record.config", "fresh"}));
}

TEST_F(ReplaceTest, RefusedTargetsKeepTheOldState)
{
    QDir(userFolder()).mkdir("folder");
    writeFile(userFolder() + "folder/inside", "kept");
    EXPECT_FALSE(ReplaceFileWhole(userFolder() + "folder", "x").created);
    EXPECT_EQ(readFile(userFolder() + "folder/inside"), "kept");
    EXPECT_FALSE(ReplaceFileWhole(userFolder() + "missing/file", "x").created);
    EXPECT_FALSE(ReplaceFileWhole("", "x").created);
    EXPECT_EQ(entries(), QStringList{"folder"});
}

TEST_F(ReplaceTest, AFailedWriteIsReportedAndKeepsTheOldFile)
{
    const QString path = userFolder() + "p.zamrik";
    writeFile(path, "old profile");
    QString error;
    {
        FileSizeLimit limit(1000);
        const ReplaceOutcome outcome = ReplaceFileWhole(path, QByteArray(5000, 'n'));
        EXPECT_TRUE(outcome.created);
        error = ErrorTextOf([&] { throw IoError(IoCodeFromErrno(outcome.error)); });
    }
    EXPECT_EQ(error, "Disk full");
    EXPECT_EQ(readFile(path), "old profile");
    EXPECT_EQ(entries(), QStringList{"p.zamrik"});
}

// A setgid folder its group may write is a class folder shared by several
// accounts: the files made there stay readable and writable for the group
// whatever the umask (077 here), and give the others no more than the folder
// gives them; elsewhere the modes are as before. A replaced file keeps its
// read and write bits, never execute or set-id bits another account gave it.
TEST_F(ReplaceTest, FilesInASharedFolderAreGroupWritableWhateverTheUmask)
{
    const struct {
        mode_t folderMode;
        mode_t created;  // by RecordFile::create
        mode_t newFile;  // by the replacement of a file that did not exist
        mode_t replaced; // a file of mode 0640 after its replacement
        mode_t planted;  // a file of mode 06777 after its replacement
    } cases[] = {
        {02775, 0664, 0664, 0660, 0664}, {02770, 0660, 0660, 0660, 0660},
        {02771, 0660, 0660, 0660, 0660}, {0775, 0600, 0644, 0640, 0666}, // no setgid: not shared
        {02755, 0600, 0644, 0640, 0666}, // the group may not write: not shared
    };
    const mode_t oldMask = ::umask(077);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folderMode);
        const QString folder = tempPath(QString::number(c.folderMode, 8)) + "/";
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), c.folderMode), 0);
        const auto modeOf = [&](const char* name) {
            struct stat st;
            return ::stat(QFile::encodeName(folder + name).constData(), &st) == 0
                       ? st.st_mode & 07777
                       : 0;
        };

        RecordFile file(kSize);
        ASSERT_TRUE(file.create(folder + "created"));
        file.close();
        EXPECT_EQ(modeOf("created"), c.created);

        EXPECT_TRUE(ReplaceFileWhole(folder + "new", "x").replaced());
        EXPECT_EQ(modeOf("new"), c.newFile);
        // A table made by its first append, a profile made only where none is.
        RecordFile appended(kSize);
        ASSERT_TRUE(appended.openOrCreate(folder + "appended"));
        appended.appendRecord("x");
        appended.close();
        EXPECT_EQ(modeOf("appended"), c.newFile);
        EXPECT_EQ(CreateFileWhole(folder + "linked", "x"), 0);
        EXPECT_EQ(modeOf("linked"), c.newFile);

        writeFile(folder + "old", "old");
        ASSERT_EQ(::chmod(QFile::encodeName(folder + "old").constData(), 0640), 0);
        EXPECT_TRUE(ReplaceFileWhole(folder + "old", "new").replaced());
        EXPECT_EQ(modeOf("old"), c.replaced);

        writeFile(folder + "planted", "\x7f"
                                      "ELF");
        ASSERT_EQ(::chmod(QFile::encodeName(folder + "planted").constData(), 06777), 0);
        EXPECT_TRUE(ReplaceFileWhole(folder + "planted", "new").replaced());
        EXPECT_EQ(modeOf("planted"), c.planted);
    }
    ::umask(oldMask);
}

} // namespace
