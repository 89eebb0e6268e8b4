// A copy that waits for the user folder's lock: another process (a copy stopped
// while it held the lock, or any account that may read the lock file and holds
// a shared lock on it) keeps it beyond the wait limit, and each step of the
// program fails as it fails on an input/output error, with the folder as it
// was; a lock given back during the wait lets the step go on.

#include "storage_fixture.h"

#include "platform/errors.h"
#include "platform/folder_lock.h"

#include <QDir>
#include <QMap>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

class LockWaitTest : public StorageTest {
  protected:
    void TearDown() override
    {
        FolderLock::SetWaitLimitMilliseconds(FolderLock::kWaitLimitMilliseconds);
        StorageTest::TearDown();
    }

    // Every entry of the user folder with its bytes.
    static QMap<QString, QByteArray> Snapshot()
    {
        QMap<QString, QByteArray> files;
        const QDir dir(folder());
        for (const QString& name :
             dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
            files[name] = readFile(folder() + name);
        return files;
    }

    // A child holds a lock of `type` on the folder's lock file, opened as
    // `openFlags`, until the gate opens.
    pid_t holdLock(int openFlags, short type, StartGate& release)
    {
        LinePipe held;
        const QByteArray path = QFile::encodeName(folder() + FolderLock::FileName());
        const pid_t child = StartChild([&, path] {
            const int fd = ::open(path.constData(), openFlags);
            struct flock lock = {};
            lock.l_type = type;
            lock.l_whence = SEEK_SET;
            if (fd < 0 || ::fcntl(fd, F_SETLK, &lock) != 0)
                return false;
            held.send("held");
            release.waitInChild();
            return true;
        });
        EXPECT_EQ(held.receiveOne(5000), "held");
        return child;
    }

    static QString ErrorOf(const std::function<void()>& step)
    {
        try {
            step();
        } catch (const IoError& e) {
            return e.text();
        }
        return QStringLiteral("no error");
    }

    static ResultRecord Result(const QString& nick)
    {
        return {nick, QStringLiteral("Пётр ") + nick,        475,
                20,   QStringLiteral("06-12-2026 09:05:07"), 1};
    }
};

TEST_F(LockWaitTest, EachStepFailsAtTheLimitWithTheFolderAsItWas)
{
    AddPupil(QStringLiteral("vasya"), 100, 10);
    AppendResultRecord(Result(QStringLiteral("vasya")));
    const QByteArray legacy =
        EncodeResultRecord(Result(QStringLiteral("old"))).left(kLegacyResultRecordSize);
    writeFile(folder() + QStringLiteral("9record.conf"), legacy);
    ASSERT_TRUE(LogIn(QStringLiteral("vasya")));
    const QMap<QString, QByteArray> before = Snapshot();
    ASSERT_TRUE(before.contains(FolderLock::FileName()));

    FolderLock::SetWaitLimitMilliseconds(300);
    const struct {
        const char* what;
        int openFlags;
        short type;
    } holders[] = {
        {"an account that may only read the lock file, holding a shared lock", O_RDONLY, F_RDLCK},
        {"a copy stopped while it held the exclusive lock", O_RDWR, F_WRLCK},
    };
    for (const auto& holder : holders) {
        SCOPED_TRACE(holder.what);
        StartGate release;
        const pid_t child = holdLock(holder.openFlags, holder.type, release);
        ::kill(child, SIGSTOP);

        // The end of an exercise: the append raises the I/O error, which ends
        // the handler and is shown by the general error report.
        EXPECT_EQ(ErrorOf([] { AppendResultRecord(Result(QStringLiteral("vasya"))); }),
                  "I/O error 110");
        // The save of the totals fails as a failed write does.
        dialogs_.messages.clear();
        AddToCurrentTotals(30, 3);
        EXPECT_EQ(SaveCurrentTotals(), SaveOutcome::WriteFailed);
        // A new user's profile: the general error report.
        EXPECT_EQ(ErrorOf([] { WriteProfile(QStringLiteral("boris"), UserProfile()); }),
                  "I/O error 110");
        // The start-up conversion: its error ends the scan.
        EXPECT_EQ(ErrorOf([] { ConvertLegacyTables(); }), "I/O error 110");

        EXPECT_EQ(Snapshot(), before);
        ::kill(child, SIGCONT);
        release.open();
        EXPECT_EQ(WaitChild(child), 0);
    }

    // Given back, the lock lets the same steps go on; the unsaved totals are kept.
    FolderLock::SetWaitLimitMilliseconds(10000);
    StartGate release;
    const pid_t child = holdLock(O_RDONLY, F_RDLCK, release);
    QTimer::singleShot(200, [&release] { release.open(); });
    dialogs_.messages.clear();
    EXPECT_EQ(SaveCurrentTotals(), SaveOutcome::Saved);
    EXPECT_EQ(WaitChild(child), 0);
    EXPECT_EQ(Stored(QStringLiteral("vasya")).totalTime, 100 + 2 * 30);
    AppendResultRecord(Result(QStringLiteral("vasya")));
    EXPECT_EQ(ReadResultRecords(RecordsTableFileName()).size(), 2u);
    ConvertLegacyTables();
    EXPECT_EQ(ReadResultRecords(RecordsTableFileName(folder(), QStringLiteral("9"))).size(), 1u);
    EXPECT_TRUE(dialogs_.messages.isEmpty());
}

} // namespace
