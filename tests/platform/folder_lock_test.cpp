// The user folder's lock: where its file lies, which locks exclude which,
// nesting, waiting, and folders where no lock can be had.

#include "platform/errors.h"
#include "platform/folder_lock.h"
#include "support/child_process.h"
#include "support/test_env.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FolderLockTest : public ZelvoTest {
  protected:
    void SetUp() override
    {
        ZelvoTest::SetUp();
        ASSERT_EQ(ThreadCount(), 1); // the probes fork
    }
    void TearDown() override
    {
        FolderLock::SetWaitLimitMilliseconds(FolderLock::kWaitLimitMilliseconds);
        ZelvoTest::TearDown();
    }

    QString lockFile() const { return userFolder() + FolderLock::FileName(); }

    // Whether another process would be refused a lock of `type` (F_RDLCK or
    // F_WRLCK) on the folder's lock file now.
    bool refusedToOthers(short type) const
    {
        const QByteArray path = QFile::encodeName(lockFile());
        const pid_t child = StartChild([path, type] {
            const int fd = ::open(path.constData(), O_RDWR);
            struct flock probe = {};
            probe.l_type = type;
            probe.l_whence = SEEK_SET;
            if (fd < 0 || ::fcntl(fd, F_GETLK, &probe) != 0)
                ::_exit(2);
            return probe.l_type != F_UNLCK;
        });
        const int status = WaitChild(child);
        EXPECT_TRUE(status == 0 || status == 1) << status;
        return status == 0;
    }
};

TEST_F(FolderLockTest, LockFileIsAHiddenFileOfTheFolderWritableLikeIt)
{
    EXPECT_EQ(FolderLock::FileName(), ".zelvo.lock");
    for (mode_t folderMode : {0700u, 0775u, 01777u}) {
        SCOPED_TRACE(folderMode);
        QFile::remove(lockFile());
        ::chmod(QFile::encodeName(userFolder()).constData(), folderMode);
        {
            const FolderLock lock(userFolder(), FolderLock::Mode::Exclusive);
            EXPECT_TRUE(lock.held());
        }
        struct stat st;
        ASSERT_EQ(::stat(QFile::encodeName(lockFile()).constData(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        EXPECT_EQ(st.st_mode & 07777, folderMode & 0666);
    }
    // A folder text without its trailing "/" names the same lock.
    const FolderLock lock(userFolder().chopped(1), FolderLock::Mode::Exclusive);
    EXPECT_TRUE(refusedToOthers(F_RDLCK));
}

TEST_F(FolderLockTest, SharedLocksExcludeOnlyExclusiveOnes)
{
    struct Case {
        FolderLock::Mode held;
        short asked;
        bool refused;
    };
    const Case cases[] = {
        {FolderLock::Mode::Shared, F_RDLCK, false},
        {FolderLock::Mode::Shared, F_WRLCK, true},
        // The lock file exists by now: the reader that never makes it locks it.
        {FolderLock::Mode::SharedNoCreate, F_RDLCK, false},
        {FolderLock::Mode::SharedNoCreate, F_WRLCK, true},
        {FolderLock::Mode::Exclusive, F_RDLCK, true},
        {FolderLock::Mode::Exclusive, F_WRLCK, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(int(c.held)) + "/" + std::to_string(c.asked));
        {
            const FolderLock lock(userFolder(), c.held);
            ASSERT_TRUE(lock.held());
            EXPECT_EQ(refusedToOthers(c.asked), c.refused);
        }
        EXPECT_FALSE(refusedToOthers(F_WRLCK));
    }
}

// A reader that writes nothing into the folder never makes the lock file.
TEST_F(FolderLockTest, SharedNoCreateLeavesAFolderWithoutLockFileUntouched)
{
    {
        const FolderLock lock(userFolder(), FolderLock::Mode::SharedNoCreate);
        EXPECT_FALSE(lock.held());
    }
    EXPECT_FALSE(QFileInfo::exists(lockFile()));
}

TEST_F(FolderLockTest, NestedLocksKeepTheOuterOneUntilItEnds)
{
    {
        const FolderLock outer(userFolder(), FolderLock::Mode::Exclusive);
        {
            const FolderLock inner(userFolder(), FolderLock::Mode::Exclusive);
            EXPECT_TRUE(inner.held());
        }
        EXPECT_TRUE(refusedToOthers(F_RDLCK));
    }
    EXPECT_FALSE(refusedToOthers(F_WRLCK));

    // An exclusive lock inside a shared one upgrades it while the outer one lasts.
    {
        const FolderLock outer(userFolder(), FolderLock::Mode::Shared);
        EXPECT_FALSE(refusedToOthers(F_RDLCK));
        {
            const FolderLock inner(userFolder(), FolderLock::Mode::Exclusive);
            EXPECT_TRUE(refusedToOthers(F_RDLCK));
        }
        EXPECT_TRUE(refusedToOthers(F_RDLCK));
    }
    EXPECT_FALSE(refusedToOthers(F_WRLCK));
}

// The child is forked while this process holds the lock: it must not take
// that lock for its own, and waits until it is given back.
TEST_F(FolderLockTest, AnotherProcessWaitsForTheLock)
{
    LinePipe reports;
    std::optional<FolderLock> held;
    held.emplace(userFolder(), FolderLock::Mode::Exclusive);
    const QString folder = userFolder();
    const pid_t child = StartChild([&reports, folder] {
        const FolderLock lock(folder, FolderLock::Mode::Exclusive);
        reports.send(lock.held() ? "took" : "went without");
        return true;
    });
    EXPECT_EQ(reports.receiveOne(300), QByteArray()) << "the child did not wait";
    held.reset();
    EXPECT_EQ(reports.receiveOne(), "took");
    EXPECT_EQ(WaitChild(child), 0);
}

TEST_F(FolderLockTest, WhereNoLockCanBeHadTheStepGoesOnWithout)
{
    writeFile(tempPath("plain"), "x");
    QDir().mkpath(tempPath("lockdir/" + FolderLock::FileName()));
    QDir().mkpath(tempPath("linked"));
    QFile::link(tempPath("elsewhere"), tempPath("linked/" + FolderLock::FileName()));
    const QString folders[] = {tempPath("missing/"), tempPath("plain/"), "/proc/self/",
                               tempPath("lockdir/"), tempPath("linked/")};
    for (const QString& folder : folders) {
        SCOPED_TRACE(folder.toStdString());
        for (FolderLock::Mode mode : {FolderLock::Mode::Shared, FolderLock::Mode::Exclusive}) {
            const FolderLock lock(folder, mode);
            EXPECT_FALSE(lock.held());
        }
    }
    EXPECT_FALSE(QFileInfo::exists(tempPath("elsewhere"))); // a planted link is not followed
}

TEST_F(FolderLockTest, AnEmptyFolderTextIsTheCurrentFolder)
{
    ASSERT_TRUE(QDir::setCurrent(userFolder()));
    const FolderLock lock(QString(), FolderLock::Mode::Exclusive);
    EXPECT_TRUE(lock.held());
    EXPECT_TRUE(QFileInfo(lockFile()).isFile());
    EXPECT_TRUE(refusedToOthers(F_RDLCK));
}

// Another process holds a lock of `type` on the folder's lock file, opened
// as `openFlags` (read-only is enough for a shared lock: any account that may
// read the file), from "held" until the gate opens.
pid_t HoldLockInChild(const QString& lockFile, int openFlags, short type, LinePipe& held,
                      StartGate& release)
{
    const QByteArray path = QFile::encodeName(lockFile);
    return StartChild([&, path, openFlags, type] {
        const int fd = ::open(path.constData(), openFlags | O_CREAT, 0666);
        struct flock lock = {};
        lock.l_type = type;
        lock.l_whence = SEEK_SET;
        if (fd < 0 || ::fcntl(fd, F_SETLK, &lock) != 0)
            return false;
        held.send("held");
        release.waitInChild();
        return true;
    });
}

// A copy stopped while it holds the lock (a teacher's export stopped with
// Ctrl+Z, a lock a server keeps) makes the step fail after the wait limit,
// with the input/output error of a lock that did not come; the lock is then
// no more held by this process than before.
TEST_F(FolderLockTest, AWaitEndsWithAnErrorAtTheLimit)
{
    FolderLock::SetWaitLimitMilliseconds(300);
    const struct {
        const char* what;
        int openFlags;
        short held;
        FolderLock::Mode asked;
    } cases[] = {
        {"shared lock through a read-only open, exclusive asked", O_RDONLY, F_RDLCK,
         FolderLock::Mode::Exclusive},
        {"exclusive lock, shared asked", O_RDWR, F_WRLCK, FolderLock::Mode::Shared},
        {"exclusive lock, reader's shared asked", O_RDWR, F_WRLCK,
         FolderLock::Mode::SharedNoCreate},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LinePipe held;
        StartGate release;
        const pid_t child = HoldLockInChild(lockFile(), c.openFlags, c.held, held, release);
        ASSERT_EQ(held.receiveOne(5000), "held");
        ::kill(child, SIGSTOP); // stopped, as with Ctrl+Z: it gives nothing back
        QElapsedTimer clock;
        clock.start();
        QString error;
        try {
            const FolderLock lock(userFolder(), c.asked);
            ADD_FAILURE() << "the lock was had";
        } catch (const IoError& e) {
            error = e.text();
            EXPECT_EQ(e.code(), IoCodeFromErrno(ETIMEDOUT));
        }
        EXPECT_EQ(error, "I/O error 110");
        EXPECT_GE(clock.elapsed(), 300);
        EXPECT_LT(clock.elapsed(), 5000);
        ::kill(child, SIGCONT);
        release.open();
        EXPECT_EQ(WaitChild(child), 0);
        // Nothing of the failed wait stays behind: the next lock is had at once.
        const FolderLock lock(userFolder(), FolderLock::Mode::Exclusive);
        EXPECT_TRUE(lock.held());
    }
}

// The upgrade of a shared lock to an exclusive one waits for the other
// readers up to the limit too; the outer shared lock stays.
TEST_F(FolderLockTest, AnUpgradeThatDoesNotComeFailsAndKeepsTheSharedLock)
{
    FolderLock::SetWaitLimitMilliseconds(200);
    const FolderLock outer(userFolder(), FolderLock::Mode::Shared);
    LinePipe held;
    StartGate release;
    const pid_t child = HoldLockInChild(lockFile(), O_RDONLY, F_RDLCK, held, release);
    ASSERT_EQ(held.receiveOne(5000), "held");
    EXPECT_THROW(FolderLock(userFolder(), FolderLock::Mode::Exclusive), IoError);
    release.open();
    EXPECT_EQ(WaitChild(child), 0);
    EXPECT_FALSE(refusedToOthers(F_RDLCK));
    EXPECT_TRUE(refusedToOthers(F_WRLCK));
    const FolderLock inner(userFolder(), FolderLock::Mode::Exclusive);
    EXPECT_TRUE(refusedToOthers(F_RDLCK));
}

// A lock given back during the wait lets the step go on; meanwhile timers and
// posted messages are served (the windows stay painted), and a step that
// would lock the folder from one of them fails at once instead of entering
// the waiting one.
TEST_F(FolderLockTest, ALockGivenBackDuringTheWaitIsTaken)
{
    LinePipe held;
    StartGate release;
    const pid_t child = HoldLockInChild(lockFile(), O_RDWR, F_WRLCK, held, release);
    ASSERT_EQ(held.receiveOne(5000), "held");

    int ticks = 0;
    QString nestedError;
    QTimer ticking;
    QObject::connect(&ticking, &QTimer::timeout, [&] {
        if (++ticks == 3) {
            try {
                const FolderLock nested(tempPath("other"), FolderLock::Mode::Exclusive);
            } catch (const IoError& e) {
                nestedError = e.text();
            }
        }
        if (ticks == 5)
            release.open();
    });
    ticking.start(20);
    QElapsedTimer clock;
    clock.start();
    {
        const FolderLock lock(userFolder(), FolderLock::Mode::Exclusive);
        EXPECT_TRUE(lock.held());
        EXPECT_TRUE(refusedToOthers(F_RDLCK));
    }
    EXPECT_LT(clock.elapsed(), FolderLock::kWaitLimitMilliseconds);
    EXPECT_GE(ticks, 5);
    EXPECT_EQ(nestedError, "I/O error 35");
    EXPECT_EQ(WaitChild(child), 0);
}

} // namespace
