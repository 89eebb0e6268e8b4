#include "accounts/ui/form7_password.h"

#include "accounts/accounts_test_env.h"
#include "accounts/password_digest.h"
#include "accounts/ui/form4_login.h"
#include "accounts/ui/form6_new_user.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class PasswordChangeTest : public AccountsTest {
  protected:
    // Logs in a pupil whose stored digest is `digest`.
    void loginPupil(const QString& nick, const QString& digest)
    {
        UserProfile profile;
        profile.digestText = digest;
        profile.fullName = "Ученик";
        profile.totalTime = 12;
        ASSERT_TRUE(WriteProfile(nick, profile));
        currentUser().nick = nick;
        ASSERT_TRUE(ReadProfile(nick, currentUser().profile));
    }

    void fill(TForm7& form, const QString& old, const QString& fresh, const QString& repeat)
    {
        form.show();
        form.Edit1->setText(old);
        form.Edit2->setText(fresh);
        form.Edit3->setText(repeat);
    }

    QStringList boxes(const TForm7& form) const
    {
        return {form.Edit1->text(), form.Edit2->text(), form.Edit3->text()};
    }
};

TEST_F(PasswordChangeTest, PupilPaths)
{
    const struct {
        QString storedDigest;
        QString old, fresh, repeat;
        QStringList messages;
        QStringList boxesAfter;
        bool changed;
    } cases[] = {
        {PasswordDigestText("old"),
         "OLD",
         "new",
         "new",
         {"Пароль изменен"},
         {"OLD", "new", "new"},
         true},
        {PasswordDigestText("old"),
         "old ",
         "new",
         "new",
         {"Неверный старый пароль"},
         {"", "new", "new"},
         false},
        {PasswordDigestText("old"),
         "old",
         "new",
         "NEW",
         {"Новый пароль и его повтор не совпадают"},
         {"old", "", ""},
         false},
        {"", "", "Ёж", "Ёж", {"Пароль изменен"}, {"", "Ёж", "Ёж"}, true},
        {"", "x", "new", "new", {"Неверный старый пароль"}, {"", "new", "new"}, false},
        {PasswordDigestText(""), "", "", "", {"Пароль изменен"}, {"", "", ""}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.old + " -> " + c.fresh).toStdString());
        loginPupil("pupil", c.storedDigest);
        TForm7 form(accountParts());
        fill(form, c.old, c.fresh, c.repeat);
        dialogs_.messages.clear();
        QTest::mouseClick(form.Button1, Qt::LeftButton);

        EXPECT_EQ(dialogs_.messages, c.messages);
        EXPECT_EQ(boxes(form), c.boxesAfter);
        EXPECT_EQ(form.isVisible(), !c.changed);
        const QString expected = c.changed ? PasswordDigestText(c.fresh) : c.storedDigest;
        // The program keeps a digest of the password typed, never the stored one.
        EXPECT_EQ(currentUser().profile.digestText,
                  c.changed ? TypedPasswordDigest(c.fresh) : c.storedDigest);
        UserProfile stored;
        ASSERT_TRUE(ReadProfile("pupil", stored));
        EXPECT_EQ(stored.digestText, expected);
        EXPECT_EQ(stored.fullName, "Ученик");
        EXPECT_EQ(stored.totalTime, 12);
        EXPECT_EQ(currentUser().nick, "pupil");
    }
}

TEST_F(PasswordChangeTest, PupilProfileThatCannotBeCreated)
{
    loginPupil("pupil", "");
    QFile::remove(profileFile("pupil"));
    QDir().mkpath(profileFile("pupil"));
    TForm7 form(accountParts());
    fill(form, "", "new", "new");
    form.Button1Click();
    EXPECT_EQ(dialogs_.messages, QStringList({"Ошибка записи 2   :-("}));
    EXPECT_TRUE(form.isVisible());
    // Not changed, and not changed later behind the pupil's back either.
    EXPECT_EQ(currentUser().profile.digestText, "");
}

TEST_F(PasswordChangeTest, NobodyLoggedInAfterAFailedLoginWritesNoProfile)
{
    TForm7 form(accountParts());
    fill(form, "", "new", "new");
    form.Button1Click();
    EXPECT_EQ(dialogs_.messages,
              QStringList({"Необходимо зайти с каким-нибудь именем (создайте пользователя)"}));
    EXPECT_FALSE(QFile::exists(profileFile("")));
    EXPECT_TRUE(QDir(userFolder()).entryList(QDir::Files).isEmpty());
}

TEST_F(PasswordChangeTest, PupilProfileWriteFailureKeepsTheWindowOpen)
{
    loginPupil("pupil", "");
    const QByteArray before = readFile(profileFile("pupil"));
    TForm7 form(accountParts());
    fill(form, "", "new", "new");
    {
        FileSizeLimit limit(100);
        form.Button1Click();
    }
    EXPECT_EQ(dialogs_.messages, QStringList({"Ошибка записи 1   :-("}));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(readFile(profileFile("pupil")), before);
}

TEST_F(PasswordChangeTest, AdministratorWritesTheStore)
{
    currentUser().nick = "ADM";
    TForm7 form(accountParts());
    fill(form, "", "Админ", "Админ");
    form.Button1Click();
    EXPECT_EQ(dialogs_.messages, QStringList({"Пароль изменен"}));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(ReadAdminDigest(), PasswordDigestText("админ"));
    EXPECT_TRUE(QDir(userFolder()).isEmpty());

    // The next change tests the old password against the new digest.
    fill(form, "", "x", "x");
    dialogs_.messages.clear();
    form.Button1Click();
    EXPECT_EQ(dialogs_.messages, QStringList({"Неверный старый пароль"}));
}

TEST_F(PasswordChangeTest, AdministratorWithoutStoreAccess)
{
    writeFile(tempPath("plain"), "x");
    qputenv("ZELVO_MACHINE_STORE", tempPath("plain/machine.reg").toLocal8Bit());
    currentUser().nick = "ADM";
    TForm7 form(accountParts());
    fill(form, "", "new", "new");
    form.Button1Click();
    EXPECT_EQ(dialogs_.messages,
              QStringList({"Чтобы изменить пароль ADM нужны права администратора на компьютере"}));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(readFile(tempPath("plain")), "x");
    EXPECT_TRUE(QDir(userFolder()).isEmpty());
    EXPECT_FALSE(QFile::exists(storePath()));
}

TEST_F(PasswordChangeTest, EnterInTheRepeatBoxChanges)
{
    loginPupil("pupil", "");
    TForm7 form(accountParts());
    fill(form, "", "new", "new");
    QTest::keyClick(form.Edit2, Qt::Key_Return);
    EXPECT_TRUE(dialogs_.messages.isEmpty());
    QTest::keyClick(form.Edit3, Qt::Key_Return);
    EXPECT_EQ(dialogs_.messages, QStringList({"Пароль изменен"}));
}

// A user made in the new-user window logs in, changes the password and logs
// in with the new one only.
TEST_F(PasswordChangeTest, NewUserLogsInAndChangesThePassword)
{
    const struct {
        QString first;
        QString second;
        const char* firstDigest; // worked out independently
    } cases[] = {
        {"Qwerty123", "", "-5275588681591507590221383278-1777416010"},
        {"Пароль", "ёж", "1370207096-1425648292-14189964692041205370"},
        {"ёж", "Ёж", "906140750-276716577-79453105166947051"},
        {"abc ", "abc", "1182058258-181019633719298886471630865880"},
        {"", "Новый", "-64512874878774415-17442076392118318316"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString nick = QString("user%1").arg(++n);
        SCOPED_TRACE(nick.toStdString());
        ListLoginNicks(ListProfiles());
        TForm4 login(states_, accountParts());
        TForm6 newUser(accountParts());
        newUser.nickCreated = [&login](const QString& nick) { login.appendNick(nick); };
        TForm7 change(accountParts());
        newUser.Edit1->setText(nick);
        newUser.Edit2->setText("Полное Имя");
        newUser.Edit3->setText(c.first);
        newUser.Edit4->setText(c.first);
        newUser.Button1Click();
        EXPECT_EQ(readFile(profileFile(nick)).size(), kUserProfileSize);
        UserProfile stored;
        ASSERT_TRUE(ReadProfile(nick, stored));
        EXPECT_EQ(stored.digestText, c.firstDigest);

        auto logIn = [&](const QString& password) {
            login.ComboBox1->setEditText(nick);
            login.Edit1->setText(password);
            login.Button1Click();
            return currentUser().nick == nick;
        };
        ASSERT_TRUE(logIn(c.first));
        change.Edit1->setText(c.first);
        change.Edit2->setText(c.second);
        change.Edit3->setText(c.second);
        dialogs_.messages.clear();
        change.Button1Click();
        EXPECT_EQ(dialogs_.messages, QStringList({"Пароль изменен"}));

        EXPECT_FALSE(logIn(c.first));
        EXPECT_TRUE(logIn(c.second));
        EXPECT_EQ(readFile(profileFile(nick)).size(), kUserProfileSize);
    }
}

} // namespace
