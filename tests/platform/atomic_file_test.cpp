// Whole-file replacement: temporary files of this process's own with short
// names, long target names, kept modes and owners, and left temporaries.

#include "platform/atomic_file.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

class AtomicFileTest : public ZelvoTest {
  protected:
    QStringList entries() const
    {
        return QDir(userFolder())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    static struct stat Stat(const QString& path)
    {
        struct stat st = {};
        EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
        return st;
    }
};

TEST_F(AtomicFileTest, TargetsWithTheLongestNamesAreReplaced)
{
    for (int length = 240; length <= 255; ++length) {
        SCOPED_TRACE(length);
        const QString name(length, QLatin1Char('n'));
        ASSERT_TRUE(ReplaceFileWhole(userFolder() + name, "first").replaced());
        ASSERT_TRUE(ReplaceFileWhole(userFolder() + name, "second").replaced());
        EXPECT_EQ(readFile(userFolder() + name), "second");
        EXPECT_EQ(entries(), QStringList{name});
        QFile::remove(userFolder() + name);
    }
    EXPECT_FALSE(ReplaceFileWhole(userFolder() + QString(256, QLatin1Char('n')), "x").replaced());
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(AtomicFileTest, EachReplacementHasATemporaryFileOfItsOwn)
{
    const QString target = userFolder() + "20record.config";
    writeFile(target, "old");
    {
        FileReplacement first(target);
        FileReplacement second(target);
        ASSERT_TRUE(first.created() && second.created());
        EXPECT_NE(first.path(), second.path());
        for (const FileReplacement* r : {&first, &second}) {
            const QFileInfo temp(r->path());
            EXPECT_EQ(temp.absolutePath() + "/", userFolder());
            EXPECT_TRUE(temp.fileName().startsWith(QStringLiteral(".zelvo-%1-").arg(::getpid())));
            EXPECT_LE(temp.fileName().size(), 32);
            EXPECT_TRUE(IsTemporaryFileName(temp.fileName()));
        }
        EXPECT_EQ(::write(second.fd(), "new", 3), 3);
        EXPECT_EQ(second.commit(), 0);
        EXPECT_EQ(readFile(target), "new");
    }
    // The uncommitted one is gone with its object; the target keeps the committed content.
    EXPECT_EQ(entries(), QStringList{"20record.config"});
    EXPECT_EQ(readFile(target), "new");
    EXPECT_FALSE(IsTemporaryFileName("20record.new"));
    EXPECT_FALSE(IsTemporaryFileName(".zelvo.lock"));
}

TEST_F(AtomicFileTest, ReplacedFilesKeepModeAndOwner)
{
    const QString kept = userFolder() + "kept";
    writeFile(kept, "old");
    ASSERT_EQ(::chmod(QFile::encodeName(kept).constData(), 0640), 0);
    const bool mayChown = ::chown(QFile::encodeName(kept).constData(), 4321, 4322) == 0;
    ASSERT_TRUE(ReplaceFileWhole(kept, "new").replaced());
    EXPECT_EQ(Stat(kept).st_mode & 07777, 0640u);
    if (mayChown) {
        EXPECT_EQ(Stat(kept).st_uid, 4321u);
        EXPECT_EQ(Stat(kept).st_gid, 4322u);
    }

    ASSERT_TRUE(ReplaceFileWhole(userFolder() + "fresh", "new").replaced());
    EXPECT_EQ(Stat(userFolder() + "fresh").st_mode & 07777, 0644u);
    ASSERT_TRUE(ReplaceFileWhole(kept, "newer", 0644, 0755).replaced());
    EXPECT_EQ(Stat(kept).st_mode & 07777, 0755u);
}

TEST_F(AtomicFileTest, OnlyOldTemporaryFilesAreRemovedAsLeftOvers)
{
    const QString oldTemp = ".zelvo-12-abcdef.tmp";
    const QString newTemp = ".zelvo-13-ghijkl.tmp";
    for (const QString& name :
         {oldTemp, newTemp, QStringLiteral("other.tmp"), QStringLiteral(".zelvo.lock")})
        writeFile(userFolder() + name, "x");
    const struct timeval twoHoursAgo[2] = {{::time(nullptr) - 7200, 0},
                                           {::time(nullptr) - 7200, 0}};
    for (const QString& name :
         {oldTemp, QStringLiteral("other.tmp"), QStringLiteral(".zelvo.lock")})
        ASSERT_EQ(::utimes(QFile::encodeName(userFolder() + name).constData(), twoHoursAgo), 0);

    RemoveLeftTemporaryFiles(userFolder());
    EXPECT_EQ(entries(), QStringList({".zelvo-13-ghijkl.tmp", ".zelvo.lock", "other.tmp"}));
    RemoveLeftTemporaryFiles(tempPath("missing/"));
}

// A link at the target (another account's doing in a shared folder) is never
// followed: the replacement is refused, like one of a folder or pipe there,
// and neither the link nor what it points to changes.
TEST_F(AtomicFileTest, ALinkAtTheTargetIsRefusedNotFollowed)
{
    const QString victim = tempPath("bash_aliases");
    writeFile(victim, "alias ll='ls -l'\n");
    ASSERT_TRUE(QFile::link(victim, userFolder() + "x.config"));
    ASSERT_TRUE(QFile::link(tempPath("none"), userFolder() + "dangling.config"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(userFolder() + "pipe.config").constData(), 0666), 0);
    for (const char* name : {"x.config", "dangling.config", "pipe.config"}) {
        SCOPED_TRACE(name);
        const ReplaceOutcome outcome = ReplaceFileWhole(userFolder() + name, "new");
        EXPECT_FALSE(outcome.created);
        const FileReplacement replacement(userFolder() + name);
        EXPECT_FALSE(replacement.created());
        EXPECT_EQ(replacement.createError(), EACCES);
    }
    EXPECT_EQ(readFile(victim), "alias ll='ls -l'\n");
    EXPECT_FALSE(QFileInfo::exists(tempPath("none")));
    EXPECT_TRUE(QFileInfo(userFolder() + "x.config").isSymLink());
    EXPECT_EQ(entries(), QStringList({"dangling.config", "pipe.config", "x.config"}));
    EXPECT_EQ(QDir(tempPath("")).entryList({".zelvo-*"}, QDir::AllEntries | QDir::Hidden),
              QStringList());
}

TEST_F(AtomicFileTest, OnlyRegularFilesAreLeftTemporaries)
{
    const struct timeval twoHoursAgo[2] = {{::time(nullptr) - 7200, 0},
                                           {::time(nullptr) - 7200, 0}};
    writeFile(tempPath("victim"), "x");
    ASSERT_TRUE(QFile::link(tempPath("victim"), userFolder() + ".zelvo-1-aaaaaa.tmp"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(userFolder() + ".zelvo-2-bbbbbb.tmp").constData(), 0666),
              0);
    QDir(userFolder()).mkdir(".zelvo-3-cccccc.tmp");
    for (const QString& name : entries())
        ASSERT_EQ(::lutimes(QFile::encodeName(userFolder() + name).constData(), twoHoursAgo), 0);
    ASSERT_EQ(::utimes(QFile::encodeName(tempPath("victim")).constData(), twoHoursAgo), 0);
    EXPECT_FALSE(HasLeftTemporaryFiles(userFolder()));
    RemoveLeftTemporaryFiles(userFolder());
    EXPECT_EQ(entries().size(), 3);

    writeFile(userFolder() + ".zelvo-4-dddddd.tmp", "left");
    ASSERT_EQ(
        ::utimes(QFile::encodeName(userFolder() + ".zelvo-4-dddddd.tmp").constData(), twoHoursAgo),
        0);
    EXPECT_TRUE(HasLeftTemporaryFiles(userFolder()));
    RemoveLeftTemporaryFiles(userFolder());
    EXPECT_EQ(entries().size(), 3);
    EXPECT_FALSE(HasLeftTemporaryFiles(userFolder()));
    EXPECT_EQ(readFile(tempPath("victim")), "x");
}

// A file the user names to be written: always a new file of this account's
// own, its mode from the umask, renamed onto the name. A link there is
// replaced as a name; what it points to is neither written nor created.
TEST_F(AtomicFileTest, NewFilesReplaceLinksAsNamesAndTakeTheirModeFromTheUmask)
{
    const QString victim = tempPath("ld.so.preload");
    writeFile(victim, "root's own\n");
    ASSERT_TRUE(QFile::link(victim, userFolder() + "link.html"));
    ASSERT_TRUE(QFile::link(tempPath("none"), userFolder() + "dangling.html"));
    writeFile(userFolder() + "old.html", "old");
    ASSERT_EQ(::chmod(QFile::encodeName(userFolder() + "old.html").constData(), 0666), 0);
    const mode_t umask = ::umask(027);
    for (const char* name : {"link.html", "dangling.html", "old.html", "new.html"}) {
        SCOPED_TRACE(name);
        const QString path = userFolder() + name;
        const NewFileOutcome outcome = WriteNewFileAs(path, "report");
        EXPECT_TRUE(outcome.written()) << outcome.error;
        EXPECT_FALSE(QFileInfo(path).isSymLink());
        EXPECT_EQ(readFile(path), "report");
        EXPECT_EQ(Stat(path).st_mode & 07777, 0640u);
        EXPECT_EQ(Stat(path).st_uid, ::geteuid());
    }
    ::umask(umask);
    EXPECT_EQ(readFile(victim), "root's own\n");
    EXPECT_FALSE(QFileInfo::exists(tempPath("none")));
    EXPECT_FALSE(QFileInfo(tempPath("none")).isSymLink());
    EXPECT_EQ(entries(), QStringList({"dangling.html", "link.html", "new.html", "old.html"}));

    // A relative name is taken in the current folder.
    ASSERT_TRUE(QDir::setCurrent(userFolder()));
    EXPECT_TRUE(WriteNewFileAs("relative.csv", "x").written());
    EXPECT_EQ(readFile(userFolder() + "relative.csv"), "x");
}

TEST_F(AtomicFileTest, NewFilesRefuseWhatIsNoFileOrAnotherAccounts)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(userFolder() + "pipe").constData(), 0666), 0);
    ASSERT_TRUE(QDir(userFolder()).mkdir("folder"));
    writeFile(userFolder() + "theirs", "theirs");
    writeFile(tempPath("target"), "target");
    ASSERT_TRUE(QFile::link(tempPath("target"), userFolder() + "their link"));
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(userFolder() + "theirs").constData(), 4321, 4321), 0);
        ASSERT_EQ(::lchown(QFile::encodeName(userFolder() + "their link").constData(), 4321, 4321),
                  0);
    }
    const struct {
        const char* name;
        NewFileRefusal refusal;
    } cases[] = {
        {"pipe", NewFileRefusal::NotAFile},
        {"folder", NewFileRefusal::NotAFile},
        {"theirs", NewFileRefusal::OtherAccount},
        {"their link", NewFileRefusal::OtherAccount},
    };
    const auto before = entries();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.refusal == NewFileRefusal::OtherAccount && !root)
            continue; // only root can give a file to another account
        EXPECT_EQ(NewFileRefusalAt(userFolder() + c.name), c.refusal);
        const NewFileOutcome outcome = WriteNewFileAs(userFolder() + c.name, "report");
        EXPECT_EQ(outcome.refused, c.refusal);
        EXPECT_FALSE(outcome.written());
    }
    EXPECT_EQ(entries(), before);
    EXPECT_EQ(readFile(userFolder() + "theirs"), "theirs");
    EXPECT_EQ(readFile(tempPath("target")), "target");
    EXPECT_EQ(NewFileRefusalAt(userFolder() + "missing"), NewFileRefusal::None);

    // A folder that is not there: an error of the creation, nothing made.
    const NewFileOutcome missing = WriteNewFileAs(userFolder() + "theirs/out.csv", "x");
    EXPECT_EQ(missing.refused, NewFileRefusal::None);
    EXPECT_EQ(missing.error, ENOTDIR);
    EXPECT_EQ(entries(), before);
}

} // namespace
