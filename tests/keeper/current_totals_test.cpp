// Saving the logged-in pupil's totals: what another copy of the program saved
// meanwhile stays, a failed save is carried to the next one, and each outcome
// has its message.

#include "accounts/current_user.h"
#include "accounts/password_digest.h"
#include "keeper/class_folder_access.h"
#include "support/file_size_limit.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <sys/stat.h>

namespace {

// A record whose insignificant bytes (after each string, the reserved bytes)
// are all 0xAA.
QByteArray RecordWithNoise(const QByteArray& digest, const QByteArray& name, qint32 time,
                           qint32 points)
{
    QByteArray bytes(kUserProfileSize, char(0xAA));
    bytes[0] = char(digest.size());
    bytes.replace(1, digest.size(), digest);
    bytes[201] = char(name.size());
    bytes.replace(202, name.size(), name);
    qToLittleEndian<qint32>(time, bytes.data() + 460);
    qToLittleEndian<qint32>(points, bytes.data() + 464);
    return bytes;
}

class CurrentTotalsTest : public ZelvoTest {
  protected:
    QString profileFile(const QString& nick) const { return userFolder() + nick + ".zamrik"; }

    // Logs `nick` in with the password "pw" as the login window does.
    void logIn(const QString& nick)
    {
        ClearCurrentUser();
        ProfileView view;
        ASSERT_EQ(classFolder().logIn(nick, "pw", view), LogInOutcome::Done);
        currentUser().nick = nick;
        CopyView(view, currentUser().profile);
    }

    const QByteArray digest_ = PasswordDigestText("pw").toLatin1();
    ScriptedDialogs dialogs_;
};

// The totals go onto the record as it is on disk at the save; where no whole
// record can be read, the one read at the login is written.
TEST_F(CurrentTotalsTest, OnlyTheUnsavedTotalsGoOntoTheStoredRecord)
{
    struct Case {
        const char* what;
        QByteArray onDisk; // at the moment of the save; empty: the file is gone
        qint32 time, points;
    };
    const QByteArray loggedIn = RecordWithNoise(digest_, "Vasya", 100, 10);
    const Case cases[] = {
        {"unchanged", loggedIn, 105, 12},
        {"totals saved by another copy", RecordWithNoise(digest_, "Vasya", 200, 20), 205, 22},
        {"password reset meanwhile", RecordWithNoise("", "Vasya", 100, 10), 105, 12},
        {"file gone", QByteArray(), 105, 12},
        {"file cut short", loggedIn.left(100), 105, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(profileFile("vasya"));
        writeFile(profileFile("vasya"), loggedIn);
        logIn("vasya");
        AddToCurrentTotals(5, 2);
        QFile::remove(profileFile("vasya"));
        if (!c.onDisk.isEmpty())
            writeFile(profileFile("vasya"), c.onDisk);

        ASSERT_EQ(SaveCurrentTotals(), SaveOutcome::Saved);
        const QByteArray saved = readFile(profileFile("vasya"));
        const QByteArray& base = c.onDisk.size() == loggedIn.size() ? c.onDisk : loggedIn;
        // The insignificant bytes of the record stay.
        EXPECT_EQ(saved, RecordWithNoise(base.mid(1, quint8(base[0])), "Vasya", c.time, c.points));
        EXPECT_EQ(currentUser().profile.totalTime, c.time);
        EXPECT_EQ(currentUser().profile.totalPoints, c.points);

        // Nothing is unsaved now: the next save keeps what another copy stores meanwhile.
        writeFile(profileFile("vasya"), RecordWithNoise(digest_, "Vasya", 1000, 100));
        ASSERT_EQ(SaveCurrentTotals(), SaveOutcome::Saved);
        EXPECT_EQ(readFile(profileFile("vasya")), RecordWithNoise(digest_, "Vasya", 1000, 100));
    }
    EXPECT_TRUE(dialogs_.shown.isEmpty());
}

TEST_F(CurrentTotalsTest, ATotalsSaveThatFailsIsCarriedToTheNextOne)
{
    writeFile(profileFile("vasya"), RecordWithNoise(digest_, "Vasya", 100, 10));
    logIn("vasya");
    AddToCurrentTotals(5, 2);
    {
        FileSizeLimit limit(100);
        EXPECT_EQ(SaveCurrentTotals(), SaveOutcome::WriteFailed);
    }
    // The window shows the message: the save itself shows nothing.
    EXPECT_TRUE(dialogs_.shown.isEmpty());
    EXPECT_EQ(SaveFailedMessage(SaveOutcome::WriteFailed), "Ошибка записи 1   :-(");
    EXPECT_EQ(readFile(profileFile("vasya")), RecordWithNoise(digest_, "Vasya", 100, 10));
    AddToCurrentTotals(1, 1);
    ASSERT_EQ(SaveCurrentTotals(), SaveOutcome::Saved);
    EXPECT_EQ(readFile(profileFile("vasya")), RecordWithNoise(digest_, "Vasya", 106, 13));
}

// A folder, a link or a pipe in the profile's place once the pupil logged in
// cannot take the save: "Ошибка записи 2", and the link's target stays.
TEST_F(CurrentTotalsTest, AProfileThatCannotBeCreatedIsReported)
{
    const QByteArray victim = RecordWithNoise("V", "victim", 7, 8);
    writeFile(tempPath("victim"), victim);
    for (const char* what : {"folder", "link", "pipe"}) {
        SCOPED_TRACE(what);
        writeFile(profileFile("vasya"), RecordWithNoise(digest_, "Vasya", 100, 10));
        logIn("vasya");
        AddToCurrentTotals(5, 2);
        QFile::remove(profileFile("vasya"));
        if (QByteArray(what) == "folder")
            QDir().mkpath(profileFile("vasya"));
        else if (QByteArray(what) == "link")
            ASSERT_TRUE(QFile::link(tempPath("victim"), profileFile("vasya")));
        else
            ASSERT_EQ(::mkfifo(QFile::encodeName(profileFile("vasya")).constData(), 0666), 0);
        dialogs_.messages.clear();
        EXPECT_EQ(SaveCurrentTotals(), SaveOutcome::NotCreated);
        EXPECT_TRUE(dialogs_.messages.isEmpty());
        EXPECT_EQ(SaveFailedMessage(SaveOutcome::NotCreated), "Ошибка записи 2   :-(");
        QDir(profileFile("vasya")).removeRecursively();
        QFile::remove(profileFile("vasya"));
    }
    EXPECT_EQ(readFile(tempPath("victim")), victim);
}

} // namespace
