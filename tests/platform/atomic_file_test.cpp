// Whole-file replacement: temporary files of this process's own with short
// names, long target names, kept modes and owners, and left temporaries.

#include "platform/atomic_file.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

class AtomicFileTest : public ZelvoTest {
protected:
    QStringList entries() const
    {
        return QDir(userFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
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
    for (const QString& name : {oldTemp, newTemp, QStringLiteral("other.tmp"), QStringLiteral(".zelvo.lock")})
        writeFile(userFolder() + name, "x");
    const struct timeval twoHoursAgo[2] = {{::time(nullptr) - 7200, 0}, {::time(nullptr) - 7200, 0}};
    for (const QString& name : {oldTemp, QStringLiteral("other.tmp"), QStringLiteral(".zelvo.lock")})
        ASSERT_EQ(::utimes(QFile::encodeName(userFolder() + name).constData(), twoHoursAgo), 0);

    RemoveLeftTemporaryFiles(userFolder());
    EXPECT_EQ(entries(), QStringList({".zelvo-13-ghijkl.tmp", ".zelvo.lock", "other.tmp"}));
    RemoveLeftTemporaryFiles(tempPath("missing/"));
}

} // namespace
