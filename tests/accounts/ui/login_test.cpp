#include "accounts/ui/form4_login.h"

#include "accounts/accounts_test_env.h"
#include "accounts/password_digest.h"
#include "config/app_config.h"
#include "support/bad_files.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class LoginTest : public AccountsTest {
  protected:
    void SetUp() override
    {
        AccountsTest::SetUp();
        addProfile("vasya", PasswordDigestText("Секрет"), "Василий Пупкин");
        addProfile("reset", "", "Сброшенный"); // password reset by the administrator
        addProfile("empty", PasswordDigestText(""), "Без пароля");
        writeFile(profileFile("short"), QByteArray(100, '\0'));
        // A profile named after the administrator is never read.
        addProfile("ADM", PasswordDigestText("file"), "Не админ");
    }

    void addProfile(const QString& nick, const QString& digest, const QString& name)
    {
        UserProfile profile;
        profile.digestText = digest;
        profile.fullName = name;
        profile.totalPoints = 7;
        ASSERT_TRUE(WriteProfile(nick, profile));
    }

    // One attempt through the window, with a stale user to show the clearing.
    void attempt(TForm4& form, const QString& nick, const QString& password)
    {
        currentUser().nick = "stale";
        currentUser().profile.fullName = "stale";
        form.show();
        form.ComboBox1->setEditText(nick);
        form.Edit1->setText(password);
        QTest::mouseClick(form.Button1, Qt::LeftButton);
    }
};

TEST_F(LoginTest, NickListHoldsAdmThenTheProfiles)
{
    ListLoginNicks(ListProfiles());
    TForm4 form(states_, accountParts());
    QStringList nicks = form.nickList();
    ASSERT_FALSE(nicks.isEmpty());
    EXPECT_EQ(nicks.takeFirst(), "ADM");
    nicks.sort();
    EXPECT_EQ(nicks, QStringList({"ADM", "empty", "reset", "short", "vasya"}));
    EXPECT_EQ(form.ComboBox1->currentText(), "ADM");
    EXPECT_EQ(form.ComboBox1->currentIndex(), -1);

    form.appendNick("новый");
    EXPECT_EQ(form.nickList().last(), "новый");

    appConfig().PathUser = tempPath("nothing/");
    ListLoginNicks(ListProfiles());
    EXPECT_EQ(TForm4(states_, accountParts()).nickList(), QStringList({"ADM"}));
}

TEST_F(LoginTest, EachAttemptEndsAsItShould)
{
    const struct {
        QString nick;
        QString password;
        QStringList messages;
        QStringList errors;
        QStringList states; // what the main window was switched to
        QString passwordAfter;
        QString fullNameAfter; // of the current user's record: none before the password passed
    } cases[] = {
        {"nobody", "x", {"Нет такого имени"}, {}, {}, "x", ""},
        {"adm", "x", {"Нет такого имени"}, {}, {}, "x", ""},
        {"Vasya", "Секрет", {"Нет такого имени"}, {}, {}, "Секрет", ""},
        {"../users/vasya", "Секрет", {"Нет такого имени"}, {}, {}, "Секрет", ""},
        {"vasya", "wrong", {"Неверный пароль"}, {}, {}, "", ""},
        {"vasya", "Секрет ", {"Неверный пароль"}, {}, {}, "", ""},
        {"vasya", "сЕКРЕТ", {}, {}, {"LoggedOut", "Pupil:vasya"}, "", "Василий Пупкин"},
        {"reset", "", {}, {}, {"LoggedOut", "Pupil:reset"}, "", "Сброшенный"},
        {"reset", "x", {"Неверный пароль"}, {}, {}, "", ""},
        {"empty", "", {}, {}, {"LoggedOut", "Pupil:empty"}, "", "Без пароля"},
        {"empty", " ", {"Неверный пароль"}, {}, {}, "", ""},
        {"short", "", {}, {"Read beyond end of file"}, {}, "", ""},
        {"ADM", "file", {"Неверный пароль"}, {}, {}, "", ""},
        {"ADM", "", {}, {}, {"Admin:ADM"}, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.nick + " / " + c.password).toStdString());
        ListLoginNicks(ListProfiles());
        TForm4 form(states_, accountParts());
        dialogs_.messages.clear();
        dialogs_.errors.clear();
        states_.calls.clear();
        attempt(form, c.nick, c.password);

        const bool loggedIn = !c.states.isEmpty();
        EXPECT_EQ(dialogs_.messages, c.messages);
        EXPECT_EQ(dialogs_.errors, c.errors);
        EXPECT_EQ(states_.calls, c.states);
        EXPECT_EQ(form.Edit1->text(), c.passwordAfter);
        EXPECT_EQ(form.isVisible(), !loggedIn);
        EXPECT_EQ(currentUser().nick, loggedIn ? c.nick : QString());
        EXPECT_EQ(currentUser().profile.fullName, c.fullNameAfter);
    }
}

TEST_F(LoginTest, PupilGetsTheProfileRead)
{
    ListLoginNicks(ListProfiles());
    TForm4 form(states_, accountParts());
    attempt(form, "vasya", "секрет");
    EXPECT_EQ(currentUser().profile.digestText, PasswordDigestText("Секрет"));
    EXPECT_EQ(currentUser().profile.totalPoints, 7);
    EXPECT_EQ(currentUser().profile.totalTime, 0);
}

TEST_F(LoginTest, AdministratorAgainstTheStoredDigest)
{
    ASSERT_TRUE(WriteAdminDigest(PasswordDigestText("Admin")));
    const struct {
        QString password;
        bool accepted;
    } cases[] = {{"ADMIN", true}, {"admin", true}, {"", false}, {"Admin ", false}};
    for (const auto& c : cases) {
        ListLoginNicks(ListProfiles());
        TForm4 form(states_, accountParts());
        states_.calls.clear();
        attempt(form, "ADM", c.password);
        EXPECT_EQ(currentUser().nick, c.accepted ? "ADM" : "") << c.password.toStdString();
        EXPECT_EQ(currentUser().profile.digestText,
                  c.accepted ? PasswordDigestText("admin") : QString());
        EXPECT_EQ(states_.calls, c.accepted ? QStringList({"Admin:ADM"}) : QStringList());
    }
}

TEST_F(LoginTest, AdministratorDigestOfAnotherType)
{
    writeFile(storePath(), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Zamrik]\n"
                           "\"MyPass\"=dword:00000001\n");
    ListLoginNicks(ListProfiles());
    TForm4 form(states_, accountParts());
    attempt(form, "ADM", "");
    EXPECT_EQ(dialogs_.errors, QStringList({"Invalid data type for 'MyPass'"}));
    EXPECT_EQ(currentUser().nick, "");
    EXPECT_TRUE(states_.calls.isEmpty());
    EXPECT_TRUE(form.isVisible());
}

TEST_F(LoginTest, AdministratorRefusedWhileTheStoreCannotBeRead)
{
    // Only a missing store is a first start with the empty password; a store
    // that stands there but cannot be read keeps the administrator out, and
    // the pupils log in as before.
    const QString refused =
        QStringLiteral("Не удаётся прочитать хранилище настроек %1. Вход ADM закрыт, пока "
                       "системный администратор не исправит этот файл.")
            .arg(storePath());
    for (BadFile kind : {BadFile::Huge, BadFile::Folder, BadFile::Pipe, BadFile::Link}) {
        SCOPED_TRACE(BadFileName(kind));
        MakeBadFile(storePath(), kind, 100);
        ListLoginNicks(ListProfiles());
        TForm4 form(states_, accountParts());
        dialogs_.messages.clear();
        states_.calls.clear();
        attempt(form, "ADM", "");
        EXPECT_EQ(dialogs_.messages, QStringList({refused}));
        EXPECT_EQ(currentUser().nick, "");
        EXPECT_TRUE(states_.calls.isEmpty());
        EXPECT_TRUE(form.isVisible());

        attempt(form, "vasya", "Секрет");
        EXPECT_EQ(currentUser().nick, "vasya");
    }
    QFile::remove(storePath());
    ListLoginNicks(ListProfiles());
    TForm4 form(states_, accountParts());
    attempt(form, "ADM", "");
    EXPECT_EQ(currentUser().nick, "ADM");
}

TEST_F(LoginTest, ProfileThatCannotBeOpened)
{
    // The running program cannot be opened for writing.
    const QString busy = QCoreApplication::applicationFilePath();
    QFile probe(busy);
    if (probe.open(QIODevice::ReadWrite))
        GTEST_SKIP() << "the running program can be opened for writing here";
    ASSERT_TRUE(QFile::link(busy, profileFile("busy")));

    ListLoginNicks(ListProfiles());

    TForm4 form(states_, accountParts());
    attempt(form, "busy", "pw");
    EXPECT_EQ(dialogs_.messages, QStringList({"Error 1"}));
    EXPECT_EQ(form.Edit1->text(), "pw");
    EXPECT_EQ(currentUser().nick, "");
    EXPECT_TRUE(states_.calls.isEmpty());
}

TEST_F(LoginTest, EnterInEitherBoxLogsIn)
{
    addProfile("latin", PasswordDigestText("pw12"), "");
    const struct {
        const char* box;
        Qt::Key key;
    } cases[] = {{"ComboBox1", Qt::Key_Return},
                 {"ComboBox1", Qt::Key_Enter},
                 {"Edit1", Qt::Key_Return},
                 {"Edit1", Qt::Key_Enter}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        ListLoginNicks(ListProfiles());
        TForm4 form(states_, accountParts());
        form.show();
        form.ComboBox1->setEditText("lat");
        // Other characters are typed into the boxes.
        QTest::keyClicks(form.ComboBox1, "in");
        QTest::keyClicks(form.Edit1, "pw12");
        ClearCurrentUser();
        QTest::keyClick(form.findChild<QWidget*>(c.box), c.key);
        EXPECT_EQ(currentUser().nick, "latin");
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.nickList().count("latin"), 1); // Enter adds nothing to the list
    }
    // Enter reaching the nick box's own line edit counts too.
    ListLoginNicks(ListProfiles());
    TForm4 form(states_, accountParts());
    form.show();
    form.ComboBox1->setEditText("empty");
    QTest::keyClick(form.ComboBox1->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(currentUser().nick, "empty");
}

TEST_F(LoginTest, NicksOutsideTheListAndChosenItems)
{
    ListLoginNicks(ListProfiles());
    TForm4 form(states_, accountParts());
    addProfile("later", "", "Поздний");
    attempt(form, "later", "");
    EXPECT_EQ(currentUser().nick, "later");

    // A user deleted while the program runs stays listed but cannot log in.
    QFile::remove(profileFile("reset"));
    form.show();
    form.ComboBox1->setCurrentIndex(form.nickList().indexOf("reset"));
    form.Edit1->clear();
    dialogs_.messages.clear();
    form.Button1Click();
    EXPECT_EQ(dialogs_.messages, QStringList({"Нет такого имени"}));
    EXPECT_EQ(currentUser().nick, "");
}

// The nick is taken as typed, key by key: nothing completes it or changes its
// letter case, neither while typing nor at Enter.
TEST_F(LoginTest, TypedNickStaysAsTyped)
{
    const struct {
        const char* typed;
        const char* message;
        const char* nickAfter;
    } cases[] = {
        {"adm", "Нет такого имени", ""}, // a pupil nick, not the administrator
        {"A", "Нет такого имени", ""},   // no completion to "ADM"
        {"Adm", "Нет такого имени", ""},
        {"vas", "Нет такого имени", ""},   // no completion to "vasya"
        {"VASYA", "Нет такого имени", ""}, // "VASYA.zamrik" does not exist
        {"vasya", "", "vasya"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ListLoginNicks(ListProfiles());
        TForm4 form(states_, accountParts());
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        form.ComboBox1->setFocus();
        form.ComboBox1->clearEditText();
        // Keys go where the focus is: the box's own line edit.
        QTest::keyClicks(form.ComboBox1->lineEdit(), c.typed);
        EXPECT_EQ(form.ComboBox1->currentText().toStdString(), c.typed);
        form.Edit1->setText("Секрет");
        dialogs_.messages.clear();
        QTest::keyClick(form.ComboBox1->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(dialogs_.messages.join('|').toStdString(), c.message);
        EXPECT_EQ(currentUser().nick.toStdString(), c.nickAfter);
        EXPECT_EQ(form.ComboBox1->currentText().toStdString(), c.typed);
    }
}

TEST_F(LoginTest, PupilAfterAdministrator)
{
    ListLoginNicks(ListProfiles());
    TForm4 form(states_, accountParts());
    attempt(form, "ADM", "");
    attempt(form, "vasya", "Секрет");
    EXPECT_EQ(states_.calls, QStringList({"Admin:ADM", "LoggedOut", "Pupil:vasya"}));
    EXPECT_EQ(currentUser().nick, "vasya");
}

} // namespace
