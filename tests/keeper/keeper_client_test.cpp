// The program's side of the keeper against the built zelvo-keeper: the steps
// of a pupil's and ADM's run, what the keeper refuses, and a keeper killed in
// the middle of a run.

#include "keeper/keeper_client.h"

#include "keeper/pending_results.h"

#include "accounts/password_digest.h"
#include "config/app_config.h"
#include "exercise/program_state.h"
#include "platform/process_state.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class KeeperClientTest : public ZelvoTest {
  protected:
    void SetUp() override
    {
        ZelvoTest::SetUp();
        writeStore(pathUserLine() + "\n\"AdmConf\"=\"7|3|4|5\"\n\"NoSound\"=dword:00000001");
        // A class folder: root's, of this process's group, closed to others.
        const QByteArray folder = QFile::encodeName(userFolder());
        if (chown(folder.constData(), 0, getegid()) != 0 || chmod(folder.constData(), 0770) != 0)
            GTEST_SKIP() << "the test's folder cannot be given to root";
        client_ = KeeperClient::start(QStringLiteral(ZELVO_KEEPER_PATH));
        ASSERT_TRUE(client_);
        ASSERT_TRUE(client_->classFolder());
    }

    // The keepers this process started (their parent is this process).
    static std::vector<pid_t> Keepers()
    {
        std::vector<pid_t> pids;
        for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
            QFile stat("/proc/" + entry + "/stat");
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            const QByteArray text = stat.readAll();
            const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
            if (text.contains("(zelvo-keeper)") && fields.value(1).toInt() == getpid())
                pids.push_back(pid_t(entry.toInt()));
        }
        return pids;
    }

    ResultRecord row(qint32 points) const
    {
        ResultRecord r;
        r.nick = "someone else";
        r.points = points;
        r.timePerExample = 150;
        r.finishedAt = "11-12-2026 10:00:00";
        return r;
    }

    std::unique_ptr<KeeperClient> client_;
};

TEST_F(KeeperClientTest, APupilsRunGoesThroughTheKeeper)
{
    KeeperClient& k = *client_;
    ProfileView view;
    EXPECT_EQ(k.createUser("anna", "a1", "Анна"), NewUserOutcome::Done);
    EXPECT_EQ(k.createUser("anna", "zz", "Другая"), NewUserOutcome::Exists);
    EXPECT_EQ(k.createUser("bob", "b1", "Борис"), NewUserOutcome::Done);
    EXPECT_EQ(k.nicks(), QStringList({"anna", "bob"}));
    EXPECT_TRUE(k.profileExists("anna"));
    EXPECT_FALSE(k.profileExists("a/b")); // never sent: the keeper would end the session

    // Nothing of a profile before its password passed.
    EXPECT_THROW(k.readProfile("anna", view), AccessRefused);
    EXPECT_EQ(k.logIn("anna", "wrong", view), LogInOutcome::WrongPassword);
    EXPECT_EQ(view.fullName, QString());
    EXPECT_EQ(k.logIn("nobody", "x", view), LogInOutcome::NoProfile);
    EXPECT_EQ(k.logIn("anna", "A1", view), LogInOutcome::Done); // letter case does not count
    EXPECT_EQ(view.fullName, "Анна");

    k.appendResult("20", row(12));
    EXPECT_EQ(k.addTotals(60, 12, view), SaveOutcome::Saved);
    EXPECT_EQ(view.totalTime, 60);
    EXPECT_EQ(view.totalPoints, 12);
    const std::vector<ResultRecord> table = k.readTable("20");
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].nick, "anna"); // the session's own, whatever the row said
    EXPECT_EQ(table[0].fullName, "Анна");
    EXPECT_EQ(table[0].points, 12);

    EXPECT_THROW(k.readProfile("bob", view), AccessRefused);
    EXPECT_THROW(k.resetTable("20"), AccessRefused);
    EXPECT_THROW(k.deleteUser("bob"), AccessRefused);
    EXPECT_THROW(k.saveSettings(ScoringSettings(), userFolder(), false), AccessRefused);

    EXPECT_EQ(k.changePassword("wrong", "new"), PasswordOutcome::WrongPassword);
    EXPECT_EQ(k.changePassword("a1", "new"), PasswordOutcome::Done);
    k.logOut();
    EXPECT_THROW(k.addTotals(1, 1, view), AccessRefused);
    EXPECT_EQ(k.logIn("anna", "a1", view), LogInOutcome::WrongPassword);
    EXPECT_EQ(k.logIn("anna", "new", view), LogInOutcome::Done);
    EXPECT_EQ(view.totalPoints, 12);
}

TEST_F(KeeperClientTest, TheAdministratorsStepsAndTheSettings)
{
    KeeperClient& k = *client_;
    ProfileView view;
    ASSERT_EQ(k.createUser("anna", "a1", "Анна"), NewUserOutcome::Done);
    const StoredSettings stored = k.readSettings();
    EXPECT_EQ(stored.admConf, QString("7|3|4|5"));
    EXPECT_EQ(stored.pathUser, userFolder());
    EXPECT_EQ(stored.noSound, 1);

    EXPECT_EQ(k.logInAdmin("x"), AdminLogInOutcome::WrongPassword);
    ASSERT_EQ(k.logInAdmin(""), AdminLogInOutcome::Done); // no password stored yet
    EXPECT_TRUE(k.readProfile("anna", view));
    EXPECT_EQ(view.fullName, "Анна");
    EXPECT_EQ(k.resetPassword("anna", view), ResetOutcome::Done);
    EXPECT_EQ(k.changePassword("", "adm"), PasswordOutcome::Done);
    const std::optional<QString> digest = ReadAdminDigest();
    EXPECT_EQ(digest, PasswordDigestText("adm"));

    ScoringSettings scoring{1, 2, 3, 4};
    k.saveSettings(scoring, userFolder(), false);
    const StoredSettings saved = k.readSettings();
    EXPECT_EQ(saved.admConf, QString("1|2|3|4"));
    EXPECT_EQ(saved.noSound, 0);
    EXPECT_EQ(saved.pathUser, userFolder());

    k.deleteUser("anna");
    EXPECT_FALSE(k.profileExists("anna"));
}

// A keeper killed between two steps: the step that finds it gone fails, the
// next one starts a new keeper, logs the pupil in again and goes on.
TEST_F(KeeperClientTest, AKilledKeeperIsStartedAgainWithTheSameLogin)
{
    KeeperClient& k = *client_;
    ProfileView view;
    ASSERT_EQ(k.createUser("anna", "a1", "Анна"), NewUserOutcome::Done);
    ASSERT_EQ(k.logIn("anna", "a1", view), LogInOutcome::Done);
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        const std::vector<pid_t> keepers = Keepers();
        ASSERT_EQ(keepers.size(), 1u);
        ASSERT_EQ(kill(keepers[0], SIGKILL), 0);
        EXPECT_THROW(k.addTotals(10, 1, view), ZelvoError);
        EXPECT_EQ(k.addTotals(10, 1, view), SaveOutcome::Saved);
        EXPECT_EQ(view.totalPoints, round);
    }
    // A killed keeper leaves no zombie behind.
    EXPECT_EQ(Keepers().size(), 1u);
}

// A result the keeper could not take waits in the account's own data folder
// and goes into the table at that pupil's next login; another pupil's stays.
TEST_F(KeeperClientTest, AResultTheKeeperCouldNotTakeWaitsForTheNextLogin)
{
    qputenv("XDG_DATA_HOME", QFile::encodeName(tempPath("data")));
    StatePart<ClassFolderLink>().access = std::move(client_);
    ProfileView view;
    ASSERT_EQ(classFolder().createUser("anna", "a1", "Анна"), NewUserOutcome::Done);
    ASSERT_EQ(classFolder().logIn("anna", "a1", view), LogInOutcome::Done);
    ResultRecord mine = row(7);
    mine.nick = "anna";
    ResultRecord others = row(9);
    others.nick = "bob";
    ASSERT_TRUE(KeepPendingResult("20", others));
    for (pid_t keeper : Keepers())
        kill(keeper, SIGKILL);
    try {
        AppendOrKeepResult("20", mine);
        ADD_FAILURE() << "the append did not fail";
    } catch (const ZelvoError& error) {
        EXPECT_TRUE(error.text().contains("при следующем входе")) << error.text().toStdString();
    }
    EXPECT_TRUE(classFolder().readTable("20").empty());

    ASSERT_EQ(classFolder().logIn("anna", "a1", view), LogInOutcome::Done);
    EXPECT_EQ(AppendPendingResults("anna"), 1);
    const std::vector<ResultRecord> table = classFolder().readTable("20");
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].points, 7);
    EXPECT_EQ(AppendPendingResults("anna"), 0); // appended once only
    const std::vector<ResultRecord> waiting =
        ReadResultRecords(RecordsTableFileName(PendingResultsFolder(), "20"));
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_EQ(waiting[0].nick, "bob");
    qunsetenv("XDG_DATA_HOME");
}

// The program's start-up takes the settings from the keeper and, for a class
// folder, every step of the run goes through it.
TEST_F(KeeperClientTest, StartUpUsesTheKeeperForAClassFolder)
{
    qputenv("ZELVO_KEEPER", ZELVO_KEEPER_PATH);
    StartUp();
    qunsetenv("ZELVO_KEEPER");
    EXPECT_NE(dynamic_cast<KeeperClient*>(&classFolder()), nullptr);
    EXPECT_EQ(appConfig().Scoring.rightStreakLength, 7);
    EXPECT_EQ(appConfig().PathUser, userFolder());
    EXPECT_TRUE(appConfig().NoSound);
}

} // namespace
