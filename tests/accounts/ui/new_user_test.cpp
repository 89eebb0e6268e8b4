#include "accounts/ui/form6_new_user.h"

#include "accounts/accounts_test_env.h"
#include "accounts/password_digest.h"
#include "accounts/ui/form4_login.h"
#include "config/app_config.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class NewUserTest : public AccountsTest {
  protected:
    void SetUp() override
    {
        AccountsTest::SetUp();
        UserProfile profile;
        profile.fullName = "Василий";
        ASSERT_TRUE(WriteProfile("Вася", profile));
        existing_ = readFile(profileFile("Вася"));
    }

    void fill(TForm6& form, const QString& nick, const QString& fullName, const QString& password,
              const QString& repeat)
    {
        form.show();
        form.Edit1->setText(nick);
        form.Edit2->setText(fullName);
        form.Edit3->setText(password);
        form.Edit4->setText(repeat);
    }

    QStringList boxes(const TForm6& form) const
    {
        return {form.Edit1->text(), form.Edit2->text(), form.Edit3->text(), form.Edit4->text()};
    }

    QByteArray existing_;
};

TEST_F(NewUserTest, RefusalsInTheirOrder)
{
    const QString taken = "Такое имя уже есть";
    const QString badNick = "Недопустимые символы в нике (.:\\|)";
    const QString badName = "Недопустимые символы в ФИО (|)";
    const QString noNick = "Вы должны написать ник";
    const QString noName = "Вы должны написать ФИО";
    const QString mismatch = "Пароль и его повтор не совпадают";
    const struct {
        QString nick;
        QString fullName;
        QString password;
        QString repeat;
        QString message;
    } cases[] = {
        {"adm", "x|y", "", "", taken},          {"Adm", "", "", "", taken},
        {"  вАСЯ\t", "Имя", "", "", taken},     {"a.b", "x|y", "", "", badNick},
        {"a:b", "Имя", "", "", badNick},        {"a\\b", "Имя", "", "", badNick},
        {"a|b", "Имя", "", "", badNick},        {"../users/x", "Имя", "", "", badNick},
        {"日本", "Имя", "", "", badNick},       {"", "x|y", "", "", badName},
        {"new", "名前", "", "", badName},       {"", "", "", "", noNick},
        {" \t ", "Имя", "", "", noNick},        {"new", "", "", "", noName},
        {"new", "   ", "Abc", "abc", mismatch}, {"new", "Имя", "abc", "abc ", mismatch},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nick.toStdString() + " / " + c.fullName.toStdString());
        ListLoginNicks(ListProfiles());
        TForm4 login(states_, accountParts());
        TForm6 form(accountParts());
        form.nickCreated = [&login](const QString& nick) { login.appendNick(nick); };
        fill(form, c.nick, c.fullName, c.password, c.repeat);
        currentUser().nick = "kept";
        dialogs_.messages.clear();
        QTest::mouseClick(form.Button1, Qt::LeftButton);

        EXPECT_EQ(dialogs_.messages, QStringList({c.message}));
        EXPECT_EQ(boxes(form), QStringList({c.nick, c.fullName, c.password, c.repeat}));
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(currentUser().nick, "kept");
        EXPECT_EQ(login.nickList().size(), 2);
    }
    EXPECT_EQ(QDir(userFolder()).entryList(QDir::Files | QDir::Hidden),
              QStringList({".zelvo.lock", "Вася.zamrik"}));
    EXPECT_EQ(readFile(profileFile("Вася")), existing_);
}

TEST_F(NewUserTest, ProfileThatAppearedLaterIsNotReplaced)
{
    ListLoginNicks(ListProfiles());
    TForm4 login(states_, accountParts());
    UserProfile other;
    other.fullName = "Чужой";
    ASSERT_TRUE(WriteProfile("other", other));
    const QByteArray before = readFile(profileFile("other"));

    TForm6 form(accountParts());

    form.nickCreated = [&login](const QString& nick) { login.appendNick(nick); };
    fill(form, "other", "Новый", "", "");
    form.Button1Click();
    EXPECT_EQ(dialogs_.messages, QStringList({"Такое имя уже есть"}));
    EXPECT_EQ(readFile(profileFile("other")), before);
}

TEST_F(NewUserTest, CreatesTheUser)
{
    ListLoginNicks(ListProfiles());
    TForm4 login(states_, accountParts());
    TForm6 form(accountParts());
    form.nickCreated = [&login](const QString& nick) { login.appendNick(nick); };
    const QString longName = QString(255, QChar(0x0439)) + "хвост"; // й
    fill(form, "  Петя ", longName, "Пароль", "Пароль");
    currentUser().nick = "someone";
    QTest::mouseClick(form.Button1, Qt::LeftButton);

    EXPECT_EQ(dialogs_.messages, QStringList({"Пользователь создан"}));
    EXPECT_EQ(login.nickList().last(), "Петя");
    EXPECT_EQ(boxes(form), QStringList({"", "", "", ""}));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(currentUser().nick, "");
    EXPECT_TRUE(states_.calls.isEmpty());

    EXPECT_EQ(readFile(profileFile("Петя")).size(), kUserProfileSize);
    UserProfile stored;
    ASSERT_TRUE(ReadProfile("Петя", stored));
    EXPECT_EQ(stored.digestText, "1370207096-1425648292-14189964692041205370");
    EXPECT_EQ(stored.fullName, longName.left(255));
    EXPECT_EQ(stored.totalTime, 0);
    EXPECT_EQ(stored.totalPoints, 0);
}

TEST_F(NewUserTest, MissingUserFolderIsCreated)
{
    appConfig().PathUser = tempPath("new/deep/");
    ListLoginNicks(ListProfiles());
    TForm4 login(states_, accountParts());
    TForm6 form(accountParts());
    form.nickCreated = [&login](const QString& nick) { login.appendNick(nick); };
    fill(form, "kolya", "Коля", "", "");
    form.Button1Click();
    EXPECT_EQ(dialogs_.messages, QStringList({"Пользователь создан"}));
    EXPECT_EQ(readFile(tempPath("new/deep/kolya.zamrik")).size(), kUserProfileSize);
}

TEST_F(NewUserTest, ProfileThatCannotBeCreated)
{
    writeFile(tempPath("plain"), "x");
    const struct {
        QString userFolder;
        QString nick;
    } cases[] = {
        {userFolder(), QString(300, 'n')},   // longer than a file name may be
        {tempPath("plain/users/"), "kolya"}, // beneath a regular file
    };
    for (const auto& c : cases) {
        appConfig().PathUser = c.userFolder;
        ListLoginNicks(ListProfiles());
        TForm4 login(states_, accountParts());
        TForm6 form(accountParts());
        form.nickCreated = [&login](const QString& nick) { login.appendNick(nick); };
        fill(form, " " + c.nick, "Коля", "a", "a");
        dialogs_.messages.clear();
        form.Button1Click();
        EXPECT_EQ(dialogs_.messages,
                  QStringList({"Измените ник , не могу создать файл конфигурации - " +
                               c.userFolder + c.nick}));
        EXPECT_EQ(boxes(form), QStringList({c.nick, "Коля", "a", "a"}));
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(login.nickList().last(), c.userFolder == userFolder() ? "Вася" : "ADM");
    }
    EXPECT_EQ(readFile(tempPath("plain")), "x");
}

TEST_F(NewUserTest, FailedWriteStopsBeforeSuccess)
{
    ListLoginNicks(ListProfiles());
    TForm4 login(states_, accountParts());
    TForm6 form(accountParts());
    form.nickCreated = [&login](const QString& nick) { login.appendNick(nick); };
    fill(form, "kolya", "Коля", "", "");
    {
        FileSizeLimit limit(100);
        form.Button1Click();
    }
    EXPECT_TRUE(dialogs_.errors.isEmpty());
    EXPECT_EQ(dialogs_.messages,
              QStringList({"Измените ник , не могу создать файл конфигурации - " + userFolder() +
                           "kolya"}));
    EXPECT_FALSE(login.nickList().contains("kolya"));
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(ProfileExists("kolya"));
}

} // namespace

// The windows act on the user and the nick list they are handed; the program
// state's stay as they were.
TEST_F(NewUserTest, WindowsActOnTheUserAndNicksTheyAreHanded)
{
    ListLoginNicks(ListProfiles());
    const QStringList stateNicks = loginNicks();
    CurrentUser user;
    QStringList nicks = {"ADM"};
    const AccountParts parts{user, nicks, state().classFolder, state().config};

    TForm6 form(parts);
    fill(form, "петя", "Петров Пётр", "abc", "abc");
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(dialogs_.messages, QStringList({"Пользователь создан"}));
    EXPECT_EQ(nicks, QStringList({"ADM", "петя"}));
    EXPECT_EQ(user.profile.fullName, "Петров Пётр");

    TForm4 login(states_, parts);
    EXPECT_EQ(login.nickList(), nicks);
    login.ComboBox1->setEditText("петя");
    login.Edit1->setText("abc");
    QTest::mouseClick(login.Button1, Qt::LeftButton);
    EXPECT_EQ(user.nick, "петя");

    EXPECT_EQ(loginNicks(), stateNicks);
    EXPECT_EQ(currentUser().nick, "");
    EXPECT_EQ(currentUser().profile.fullName, "");
}
