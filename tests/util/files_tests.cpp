#include "util/files.h"

#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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
    QStringList sorted(QStringList list) const
    {
        std::sort(list.begin(), list.end());
        return list;
    }
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

// The current folder stays where it was, so that relative names given before
// and after a listing mean the same files: listing "users" twice finds the
// same file both times, and a missing folder adds nothing.
TEST_F(FilesTest, ListFilesTakesARelativeFolderAgainstTheCurrentOneAndKeepsIt)
{
    writeFile(userFolder() + "a.zamrik", "x");
    ASSERT_TRUE(QDir::setCurrent(tempPath("")));
    const QString before = QDir::currentPath();
    for (int run = 0; run < 2; ++run) {
        QStringList list;
        ListFiles("*.zamrik", "users", list);
        ASSERT_EQ(list.size(), 1) << run;
        EXPECT_TRUE(list.first().startsWith("/"));
        EXPECT_EQ(QFileInfo(list.first()).canonicalFilePath(),
                  QFileInfo(userFolder() + "a.zamrik").canonicalFilePath());
        EXPECT_EQ(QDir::currentPath(), before);
    }
    QStringList list{"kept"};
    ListFiles("*.zamrik", userFolder(), list);
    ListFiles("*.zamrik", tempPath("missing"), list);
    ListFiles("*.zamrik", "", list);
    EXPECT_EQ(list, QStringList({"kept", userFolder() + "a.zamrik"}));
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
                     QFile::encodeName(userFolder() + "20record.config").constData()),
              0);
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

} // namespace
