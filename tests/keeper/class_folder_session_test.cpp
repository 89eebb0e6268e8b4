#include "keeper/class_folder_session.h"

#include "accounts/password_digest.h"
#include "support/bad_files.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <functional>

namespace {

class ClassFolderSessionTest : public ZelvoTest {
  protected:
    void SetUp() override
    {
        ZelvoTest::SetUp();
        makePupils();
    }

    // anna and bob in an otherwise empty folder, and no store.
    void makePupils()
    {
        QDir(userFolder()).removeRecursively();
        QDir().mkpath(userFolder());
        QFile::remove(storePath());
        ClassFolderSession maker;
        ASSERT_EQ(maker.createUser("anna", "a1", "Анна"), NewUserOutcome::Done);
        ASSERT_EQ(maker.createUser("bob", "b1", "Борис"), NewUserOutcome::Done);
        ASSERT_EQ(maker.loggedInNick(), "");
    }

    ResultRecord row(qint32 points = 10) const
    {
        ResultRecord r;
        r.nick = "bob";
        r.fullName = "Борис";
        r.points = points;
        r.timePerExample = 150;
        r.finishedAt = "11-12-2026 10:00:00";
        return r;
    }

    // Every file of the user folder with its bytes, to show a refused step changed nothing.
    QMap<QString, QByteArray> folderBytes() const
    {
        QMap<QString, QByteArray> files;
        for (const QString& name : QDir(userFolder()).entryList(QDir::Files | QDir::Hidden))
            files[name] = readFile(userFolder() + name);
        return files;
    }

    UserProfile profile(const QString& nick) const
    {
        UserProfile p;
        EXPECT_TRUE(ReadProfile(nick, p));
        return p;
    }
};

// What a session may not do until the right login, tried in each state.
TEST_F(ClassFolderSessionTest, StepsNeedTheirLogin)
{
    ProfileView view;
    const struct {
        const char* name;
        std::function<void(ClassFolderSession&)> step;
        bool pupil; // a logged-in pupil may
        bool admin; // ADM may
    } steps[] = {
        {"totals", [&](ClassFolderSession& s) { s.addTotals(60, 5, view); }, true, false},
        {"password", [&](ClassFolderSession& s) { s.changePassword("a1", "new"); }, true, true},
        {"append", [&](ClassFolderSession& s) { s.appendResult("20", row()); }, true, false},
        {"own profile", [&](ClassFolderSession& s) { s.readProfile("anna", view); }, true, true},
        {"other profile", [&](ClassFolderSession& s) { s.readProfile("bob", view); }, false, true},
        {"reset", [&](ClassFolderSession& s) { s.resetPassword("bob", view); }, false, true},
        {"delete", [&](ClassFolderSession& s) { s.deleteUser("bob"); }, false, true},
        {"reset table", [&](ClassFolderSession& s) { s.resetTable("20"); }, false, true},
    };
    const struct {
        const char* name;
        std::function<void(ClassFolderSession&)> logIn;
        bool pupil;
        bool admin;
    } states[] = {
        {"nobody", [](ClassFolderSession&) {}, false, false},
        {"wrong password",
         [&](ClassFolderSession& s) {
             EXPECT_EQ(s.logIn("anna", "b1", view), LogInOutcome::WrongPassword);
         },
         false, false},
        {"failed login after a good one",
         [&](ClassFolderSession& s) {
             EXPECT_EQ(s.logIn("anna", "a1", view), LogInOutcome::Done);
             EXPECT_EQ(s.logIn("bob", "a1", view), LogInOutcome::WrongPassword);
         },
         false, false},
        {"ADM's wrong password",
         [](ClassFolderSession& s) {
             ASSERT_TRUE(WriteAdminDigest(PasswordDigestText("adm")));
             EXPECT_EQ(s.logInAdmin(""), AdminLogInOutcome::WrongPassword);
         },
         false, false},
        {"anna",
         [&](ClassFolderSession& s) { EXPECT_EQ(s.logIn("anna", "a1", view), LogInOutcome::Done); },
         true, false},
        {"ADM",
         [](ClassFolderSession& s) {
             ASSERT_TRUE(WriteAdminDigest(PasswordDigestText("adm")));
             EXPECT_EQ(s.logInAdmin("ADM"), AdminLogInOutcome::Done);
         },
         false, true},
    };
    for (const auto& state : states) {
        for (const auto& step : steps) {
            SCOPED_TRACE(std::string(state.name) + ": " + step.name);
            makePupils();
            ClassFolderSession session;
            state.logIn(session);
            const auto before = folderBytes();
            const bool allowed = (state.pupil && step.pupil) || (state.admin && step.admin);
            bool refused = false;
            try {
                step.step(session);
            } catch (const AccessRefused&) {
                refused = true;
            }
            EXPECT_EQ(refused, !allowed);
            if (refused) {
                EXPECT_EQ(folderBytes(), before);
            }
        }
    }
}

TEST_F(ClassFolderSessionTest, ARowAndTotalsAreTheLoggedInPupilsOwn)
{
    ClassFolderSession session;
    ProfileView view;
    ASSERT_EQ(session.logIn("anna", "a1", view), LogInOutcome::Done);
    EXPECT_EQ(view.fullName, "Анна");
    session.appendResult("20", row(12)); // names bob
    const std::vector<ResultRecord> table = session.readTable("20");
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].nick, "anna");
    EXPECT_EQ(table[0].fullName, "Анна");
    EXPECT_EQ(table[0].points, 12);

    EXPECT_EQ(session.addTotals(90, 12, view), SaveOutcome::Saved);
    EXPECT_EQ(view.totalTime, 90);
    EXPECT_EQ(profile("anna").totalPoints, 12);
    EXPECT_EQ(profile("bob").totalPoints, 0);
}

TEST_F(ClassFolderSessionTest, ValuesBeyondTheirBoundsAreRefused)
{
    ClassFolderSession session;
    ProfileView view;
    ASSERT_EQ(session.logIn("anna", "a1", view), LogInOutcome::Done);
    const auto before = folderBytes();
    const std::function<void()> steps[] = {
        [&] { session.addTotals(-1, 5, view); },
        [&] { session.addTotals(kMaxSavedSeconds + 1, 5, view); },
        [&] { session.addTotals(60, kMaxSavedPoints + 1, view); },
        [&] { session.appendResult("7", row()); },
        [&] { session.appendResult("../20", row()); },
        [&] {
            ResultRecord r = row();
            r.errors = -1;
            session.appendResult("20", r);
        },
        [&] {
            ResultRecord r = row();
            r.timePerExample = kMaxTimePerExample + 1;
            session.appendResult("20", r);
        },
        [&] { session.readTable("2"); },
    };
    for (const auto& step : steps)
        EXPECT_THROW(step(), AccessRefused);
    EXPECT_EQ(folderBytes(), before);
}

TEST_F(ClassFolderSessionTest, NewUsersNeverReplaceAProfile)
{
    ClassFolderSession session;
    const QByteArray anna = readFile(ProfilePath("anna"));
    EXPECT_EQ(session.createUser("anna", "x", "Другая"), NewUserOutcome::Exists);
    EXPECT_EQ(session.createUser("ANNA", "x", "Другая"), NewUserOutcome::Exists);
    EXPECT_EQ(session.createUser("ADM", "x", "Админ"), NewUserOutcome::Exists);
    EXPECT_EQ(readFile(ProfilePath("anna")), anna);
    for (const char* nick : {"a/b", "", "a.b", "a|b"})
        EXPECT_THROW(session.createUser(nick, "x", "Имя"), AccessRefused) << nick;
    EXPECT_THROW(session.createUser("carl", "x", "中文"), AccessRefused);
    EXPECT_EQ(session.createUser("carl", "c1", "Карл"), NewUserOutcome::Done);
    EXPECT_EQ(session.loggedInNick(), "");
    EXPECT_EQ(profile("carl").digestText, PasswordDigestText("c1"));
}

TEST_F(ClassFolderSessionTest, PasswordsChangeOnlyWithTheCurrentOne)
{
    ClassFolderSession session;
    ProfileView view;
    ASSERT_EQ(session.logIn("anna", "a1", view), LogInOutcome::Done);
    EXPECT_EQ(session.changePassword("b1", "stolen"), PasswordOutcome::WrongPassword);
    EXPECT_EQ(profile("anna").digestText, PasswordDigestText("a1"));
    EXPECT_EQ(session.changePassword("a1", "a2"), PasswordOutcome::Done);
    EXPECT_EQ(profile("anna").digestText, PasswordDigestText("a2"));
    EXPECT_EQ(profile("bob").digestText, PasswordDigestText("b1"));

    ClassFolderSession adm;
    ASSERT_EQ(adm.logInAdmin(""), AdminLogInOutcome::Done); // no password yet
    EXPECT_EQ(adm.changePassword("", "adm"), PasswordOutcome::Done);
    EXPECT_EQ(ReadAdminDigest(), PasswordDigestText("adm"));
    EXPECT_EQ(adm.changePassword("", "again"), PasswordOutcome::WrongPassword);
}

TEST_F(ClassFolderSessionTest, TwoPupilsOfOneAccountKeepTheirOwnSessions)
{
    ClassFolderSession first;
    ClassFolderSession second;
    ProfileView view;
    ASSERT_EQ(first.logIn("anna", "a1", view), LogInOutcome::Done);
    ASSERT_EQ(second.logIn("bob", "b1", view), LogInOutcome::Done);
    first.appendResult("9", row(3));
    second.appendResult("9", row(4));
    EXPECT_THROW(second.readProfile("anna", view), AccessRefused);
    const std::vector<ResultRecord> table = first.readTable("9");
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].nick, "anna");
    EXPECT_EQ(table[1].nick, "bob");
}

TEST_F(ClassFolderSessionTest, AdministratorStaysOutWhileTheStoreCannotBeRead)
{
    MakeBadFile(storePath(), BadFile::Folder, 100);
    ClassFolderSession session;
    EXPECT_EQ(session.logInAdmin(""), AdminLogInOutcome::StoreNotRead);
    EXPECT_EQ(session.loggedInNick(), "");
    EXPECT_THROW(session.deleteUser("bob"), AccessRefused);
    EXPECT_TRUE(ProfileExists("bob"));
}

} // namespace
