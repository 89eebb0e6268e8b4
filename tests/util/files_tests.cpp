#include "util/files.h"

#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(FolderTexts, TrailingSeparators)
{
    const struct {
        const char* in;
        const char* stripped;
        const char* withOne;
    } cases[] = {
        {"", "", ""},
        {"/", "", "/"},
        {"//", "", "/"},
        {"/data", "/data", "/data/"},
        {"/data/", "/data", "/data/"},
        {"/data///", "/data", "/data/"},
        {"a/b", "a/b", "a/b/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StripTrailingSeparators(c.in), QString(c.stripped)) << c.in;
        EXPECT_EQ(WithTrailingSeparator(c.in), QString(c.withOne)) << c.in;
    }
}

TEST(FolderTexts, BaseFileName)
{
    const struct {
        const char* path;
        const char* base;
    } cases[] = {
        {"/u/Ivan.zamrik", "Ivan"},
        {"/u/a.b.zamrik", "a.b"},
        {"/u/.zamrik", ""},
        {"/u/README", "README"},
        {"name.txt", "name"},
        {"/u.d/plain", "plain"},
        {"/u/a:b.zamrik", "a:b"}, // ":" is an ordinary character of a name here
        {"/u/", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BaseFileName(QString::fromUtf8(c.path)), QString::fromUtf8(c.base)) << c.path;
}

class FilesTest : public ZelvoTest {
protected:
    void TearDown() override
    {
        ZelvoTest::TearDown();
        QDir::setCurrent(savedCurrent_);
    }
    QStringList sorted(QStringList list) const
    {
        std::sort(list.begin(), list.end());
        return list;
    }

private:
    QString savedCurrent_ = QDir::currentPath();
};

TEST_F(FilesTest, CreateFolderPathMakesEveryMissingFolder)
{
    const QString deep = tempPath("x/y/z");
    EXPECT_TRUE(CreateFolderPath(deep));
    EXPECT_TRUE(FolderExists(deep));
    EXPECT_TRUE(CreateFolderPath(deep + "/")); // all exist already

    // Relative to the current folder.
    QDir::setCurrent(tempPath(""));
    EXPECT_TRUE(CreateFolderPath("rel/inner"));
    EXPECT_TRUE(FolderExists(tempPath("rel/inner")));
}

TEST_F(FilesTest, CreateFolderPathFailures)
{
    const QString cwd = tempPath("cwd");
    QDir().mkpath(cwd);
    QDir::setCurrent(cwd);
    EXPECT_FALSE(CreateFolderPath(""));
    EXPECT_FALSE(CreateFolderPath("/"));
    EXPECT_TRUE(QDir(cwd).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());

    writeFile(tempPath("file"), "x");
    EXPECT_FALSE(CreateFolderPath(tempPath("file/sub")));
    EXPECT_FALSE(CreateFolderPath("/proc/zelvo-no-such/x"));
}

TEST_F(FilesTest, ListFilesMatchesFilesOnlyWithoutRegardToLatinCase)
{
    const QString folder = userFolder();
    for (const char* name : {"Ivan.zamrik", "PETR.ZAMRIK", ".hidden.zamrik", "notes.txt", "zamrik"})
        writeFile(folder + name, "x");
    QDir(folder).mkdir("x.zamrik");
    QFile::link(folder + "missing", folder + "dangling.zamrik");

    QStringList list{"kept"};
    ListFiles("*.zamrik", folder, list);
    EXPECT_EQ(sorted(list), sorted({"kept", folder + "Ivan.zamrik", folder + "PETR.ZAMRIK",
                                    folder + ".hidden.zamrik"}));
    EXPECT_EQ(WithTrailingSeparator(QDir::currentPath()), WithTrailingSeparator(QDir(folder).canonicalPath()));

    const struct {
        const char* mask;
        int count;
    } masks[] = {{"*.*", 5}, {"*", 5}, {"?van.*", 1}, {"*.TXT", 1}, {"zamrik", 1}, {"*.zam", 0}};
    for (const auto& m : masks) {
        QStringList found;
        ListFiles(m.mask, folder, found);
        EXPECT_EQ(found.size(), m.count) << m.mask;
    }
}

TEST_F(FilesTest, ListFilesTakesARelativeFolderAgainstTheCurrentOne)
{
    writeFile(userFolder() + "a.zamrik", "x");
    QDir::setCurrent(tempPath(""));
    QStringList list;
    ListFiles("*.zamrik", "users", list);
    ASSERT_EQ(list.size(), 1);
    EXPECT_TRUE(list.first().startsWith("/"));
    EXPECT_EQ(QFileInfo(list.first()).canonicalFilePath(),
              QFileInfo(userFolder() + "a.zamrik").canonicalFilePath());
}

TEST_F(FilesTest, ListFilesOnAMissingFolderChangesNothing)
{
    QDir::setCurrent(programFolder());
    const QString before = QDir::currentPath();
    QStringList list{"kept"};
    ListFiles("*.zamrik", tempPath("missing"), list);
    ListFiles("*.zamrik", "", list);
    EXPECT_EQ(list, QStringList{"kept"});
    EXPECT_EQ(QDir::currentPath(), before);
}

TEST_F(FilesTest, ExistenceTestsTellFilesFromFolders)
{
    writeFile(tempPath("f"), "x");
    EXPECT_TRUE(FileExists(tempPath("f")));
    EXPECT_FALSE(FolderExists(tempPath("f")));
    EXPECT_TRUE(FolderExists(userFolder()));
    EXPECT_FALSE(FileExists(userFolder()));
    EXPECT_FALSE(FileExists(tempPath("missing")));
    EXPECT_FALSE(FileExists(""));
}

TEST_F(FilesTest, RemoveFileDeletesReadOnlyFilesAndIgnoresTheRest)
{
    const QString path = tempPath("ro");
    writeFile(path, "x");
    ::chmod(QFile::encodeName(path).constData(), 0444);
    RemoveFile(path);
    EXPECT_FALSE(QFileInfo::exists(path));

    RemoveFile(tempPath("missing"));
    RemoveFile(userFolder());
    EXPECT_TRUE(FolderExists(userFolder()));
}

// Deleting changes nothing about the file before: the other name of a file
// with two names (a hard link another account made) keeps its mode, and a
// link is removed itself, never what it points to.
TEST_F(FilesTest, RemoveFileDeletesOnlyTheNameAndChangesNoMode)
{
    const QString victim = tempPath("victim");
    writeFile(victim, "x");
    ASSERT_EQ(::chmod(QFile::encodeName(victim).constData(), 0444), 0);
    ASSERT_EQ(::link(QFile::encodeName(victim).constData(),
                     QFile::encodeName(userFolder() + "20record.config").constData()), 0);
    ASSERT_TRUE(QFile::link(victim, userFolder() + "9record.config"));
    RemoveFile(userFolder() + "20record.config");
    RemoveFile(userFolder() + "9record.config");
    EXPECT_TRUE(QDir(userFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(victim).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
}

// Listings name the regular files of the folder only: never a link (to a
// file or dangling), a pipe or a folder.
TEST_F(FilesTest, ListFilesSkipsLinksPipesAndFolders)
{
    const QString folder = userFolder();
    writeFile(tempPath("elsewhere.zamrik"), "x");
    writeFile(folder + "real.zamrik", "x");
    ASSERT_TRUE(QFile::link(tempPath("elsewhere.zamrik"), folder + "link.zamrik"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "pipe.zamrik").constData(), 0666), 0);
    QStringList list;
    ListFiles("*.*", folder, list);
    EXPECT_EQ(list, QStringList{folder + "real.zamrik"});
    EXPECT_TRUE(IsRegularFile(folder + "real.zamrik"));
    EXPECT_TRUE(UserFileExists(folder + "real.zamrik"));
    for (const char* name : {"link.zamrik", "pipe.zamrik"}) {
        EXPECT_FALSE(IsRegularFile(folder + name)) << name;
        EXPECT_TRUE(UserFileExists(folder + name)) << name; // there: opening it then fails
    }
    EXPECT_FALSE(UserFileExists(folder));
    EXPECT_FALSE(UserFileExists(folder + "missing"));
}

class CopyTest : public FilesTest {
protected:
    void SetUp() override
    {
        FilesTest::SetUp();
        source = tempPath("source.bin");
        content.resize(70000); // more than two blocks
        for (int i = 0; i < content.size(); ++i)
            content[i] = char(i * 7);
        writeFile(source, content);
        // An odd second: the copy keeps it at two-second precision.
        sourceTime = QDateTime(QDate(2020, 3, 4), QTime(5, 6, 7, 800), Qt::UTC);
        QFile f(source);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(sourceTime, QFileDevice::FileModificationTime));
    }
    QDateTime modified(const QString& path) const
    {
        return QFileInfo(path).lastModified().toUTC();
    }

    QString source;
    QByteArray content;
    QDateTime sourceTime;
};

TEST_F(CopyTest, CopyOntoReadOnlyDestinationCarriesTheSourceTime)
{
    const QString destination = tempPath("dest.bin");
    writeFile(destination, "older and longer content than nothing");
    ::chmod(QFile::encodeName(destination).constData(), 0444);

    EXPECT_TRUE(CopyFileKeepDate(source, destination));
    EXPECT_EQ(readFile(destination), content);
    EXPECT_EQ(modified(destination), QDateTime(QDate(2020, 3, 4), QTime(5, 6, 6), Qt::UTC));
    EXPECT_TRUE(QFileInfo(destination).permissions() & QFileDevice::WriteOwner);
    EXPECT_EQ(readFile(source), content);
}

TEST_F(CopyTest, CopyCreatesTheDestinationFolder)
{
    const QString destination = tempPath("new/deeper/copy.bin");
    EXPECT_TRUE(CopyFileKeepDate(source, destination));
    EXPECT_EQ(readFile(destination), content);
}

TEST_F(CopyTest, RefusedCopiesLeaveEverythingInPlace)
{
    QDir().mkpath(tempPath("sub"));
    const struct {
        QString from;
        QString to;
    } cases[] = {
        {source, source},
        {source, tempPath("sub/../source.bin")}, // the same file spelt otherwise
        {tempPath("missing"), tempPath("copy")},
        {userFolder(), tempPath("copy")},
        {source, userFolder()},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(CopyFileKeepDate(c.from, c.to)) << c.to.toStdString();
        EXPECT_EQ(readFile(source), content);
        EXPECT_EQ(modified(source), sourceTime);
    }
    EXPECT_FALSE(QFileInfo::exists(tempPath("copy")));
}

TEST_F(CopyTest, NeitherEndIsTakenThroughALink)
{
    const QString victim = tempPath("victim");
    writeFile(victim, "victim's");
    ASSERT_EQ(::chmod(QFile::encodeName(victim).constData(), 0444), 0);
    ASSERT_TRUE(QFile::link(victim, tempPath("to-victim")));
    ASSERT_TRUE(QFile::link(source, tempPath("to-source")));
    EXPECT_FALSE(CopyFileKeepDate(source, tempPath("to-victim")));
    EXPECT_FALSE(CopyFileKeepDate(tempPath("to-source"), tempPath("copy")));
    EXPECT_EQ(readFile(victim), "victim's");
    EXPECT_EQ(QFileInfo(victim).permissions() & QFileDevice::WriteOwner, 0);
    EXPECT_FALSE(QFileInfo::exists(tempPath("copy")));
}

TEST_F(CopyTest, AFailedReadRemovesThePartialDestination)
{
    // The start of the process's own memory is unmapped: opening works, reading fails.
    const QString destination = tempPath("dest.bin");
    writeFile(destination, "old");
    EXPECT_FALSE(CopyFileKeepDate("/proc/self/mem", destination));
    EXPECT_FALSE(QFileInfo::exists(destination));
}

} // namespace
