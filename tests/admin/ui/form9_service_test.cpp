// The service window: the user list, choosing a user, and its six buttons
// with their confirmations, messages and effects on the user folder.

#include "accounts/current_user.h"
#include "accounts/password_digest.h"
#include "accounts/ui/form4_login.h"
#include "accounts/user_profile.h"
#include "admin/ui/form9_service.h"
#include "config/app_config.h"
#include "platform/errors.h"
#include "records/number_range.h"
#include "records/ui/form10_summary.h"
#include "records/ui/form8_statistics.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

const QString kChoose = QStringLiteral("Выберите пользователя");

class RecordingStates : public LoginStates {
  public:
    void ShowLoggedOutMenus() override { calls << "out"; }
    void ShowAdminMenus() override { calls << "admin"; }
    void ShowPupilMenus() override { calls << "pupil"; }
    QStringList calls;
};

class ServiceWindowTest : public ZelvoTest {
  protected:
    void SetUp() override
    {
        ZelvoTest::SetUp();
        statistics = std::make_unique<TForm8>(state().classFolder);
        summary = std::make_unique<TForm10>(state().classFolder, state().adminRecord.record);
        form = std::make_unique<TForm9>(state().classFolder, state().range,
                                        state().adminRecord.record);
        form->showStatistics = [this](const QString& nick) {
            statistics->ShowUserStatistics(nick);
        };
        form->showSummary = [this] {
            summary->LoadSummaryTable();
            summary->show();
        };
    }

    void addUser(const QString& nick, const QString& fullName, const QString& password, qint32 time,
                 qint32 points)
    {
        UserProfile profile;
        profile.digestText = PasswordDigestText(password);
        profile.fullName = fullName;
        profile.totalTime = time;
        profile.totalPoints = points;
        ASSERT_TRUE(WriteProfile(nick, profile));
    }

    // A profile file that exists but cannot be opened for writing, even by root.
    bool addUnopenableProfile(const QString& nick)
    {
        const char* target = "/sys/kernel/notes";
        const int fd = ::open(target, O_RDWR);
        if (fd >= 0) {
            ::close(fd);
            return false;
        }
        return QFile::link(QString::fromLatin1(target), ProfilePath(nick));
    }

    void choose(const QString& text) { form->ComboBox1->setEditText(text); }

    QStringList entries() const
    {
        QStringList items;
        for (int i = 0; i < form->ComboBox1->count(); ++i)
            items << form->ComboBox1->itemText(i);
        items.sort();
        return items;
    }

    void click(QPushButton* button)
    {
        dialogs.messages.clear();
        dialogs.questions.clear();
        dialogs.questionIcons.clear();
        QTest::mouseClick(button, Qt::LeftButton);
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<TForm8> statistics;
    std::unique_ptr<TForm10> summary;
    std::unique_ptr<TForm9> form;
};

TEST_F(ServiceWindowTest, FillsTheListAndKeepsTheTypedText)
{
    addUser("u7", "Group B", "pw", 10, 3);
    addUser("anna", QStringLiteral("Анна Петрова"), "", 0, 0);
    choose("typed");

    form->FillUserList();
    form->FillUserList(); // a refill replaces the entries

    EXPECT_EQ(entries(), (QStringList{QStringLiteral("anna (Анна Петрова)"), "u7 (Group B)"}));
    EXPECT_EQ(form->ComboBox1->currentText(), "typed");
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(ServiceWindowTest, ListsOnlyProfilesOpenedByTheirExactName)
{
    addUser("u7", "Group B", "pw", 10, 3);
    QFile::copy(ProfilePath("u7"), userFolder() + "Bob.ZAMRIK");
    form->FillUserList();
    EXPECT_EQ(entries(), QStringList{"u7 (Group B)"});
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(ServiceWindowTest, AnUnreadableProfileIsReportedAndListedWithoutAName)
{
    addUser("u7", "Group B", "pw", 10, 3);
    // A profile file that is a running program: nobody, root included, may
    // open it for writing (a link is no profile and is not listed).
    ASSERT_TRUE(QFile::copy("/bin/sleep", ProfilePath("zz")));
    QFile::setPermissions(ProfilePath("zz"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcess running;
    running.start(ProfilePath("zz"), {"60"});
    if (!running.waitForStarted())
        GTEST_SKIP() << "no program can run from the test folder";
    form->FillUserList();
    running.kill();
    running.waitForFinished();
    EXPECT_EQ(dialogs.messages, QStringList{"Error 12 :zz"});
    EXPECT_EQ(entries(), (QStringList{"u7 (Group B)", "zz ()"}));
}

TEST_F(ServiceWindowTest, AShortProfileEndsTheFilling)
{
    writeFile(ProfilePath("short"), QByteArray(100, 'x'));
    EXPECT_THROW(form->FillUserList(), IoError);
}

TEST_F(ServiceWindowTest, SelectedNickTakesTheTextBeforeTheParenthesis)
{
    addUser("u7", "Group B", "pw", 0, 0);
    writeFile(ProfilePath("a(b"), QByteArray(468, '\0'));
    writeFile(tempPath("outside.zamrik"), QByteArray(468, '\0'));
    struct Case {
        QString text;
        QString nick; // empty: "Выберите пользователя"
    };
    const Case cases[] = {
        {"u7 (Group B)", "u7"}, {"  u7\t ", "u7"}, {"u7", "u7"},       {"", ""},   {"   ", ""},
        {"nobody", ""},         {"a(b (x)", ""},   {"../outside", ""}, {"U7", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        dialogs.messages.clear();
        choose(c.text);
        EXPECT_EQ(form->SelectedNick(), c.nick);
        EXPECT_EQ(dialogs.messages, c.nick.isEmpty() ? QStringList{kChoose} : QStringList());
    }
}

// A nick or full name that holds " (" makes one user's entry read like
// another's. Each entry acts on the nick it was listed with, also when two
// entries read alike and after the list is refilled; a typed text that is no
// entry's is taken up to its "(".
TEST_F(ServiceWindowTest, EachEntryActsOnItsOwnNick)
{
    addUser("anna", "old) (x", "", 0, 0); // entry "anna (old) (x)"
    addUser("anna (old)", "x", "", 0, 0); // entry "anna (old) (x)" as well
    addUser("bob", QStringLiteral("Боб"), "", 0, 0);
    addUser("bob (old)", QStringLiteral("Боб"), "", 0, 0);
    struct Case {
        const char* picked; // the nick whose entry is picked from the list, or null
        QString typed;      // else the text typed into the field
        bool refilled;      // the window is opened again before the click
        QString nick;       // whose statistics are shown
    };
    const Case cases[] = {
        {"anna (old)", "", false, "anna (old)"},
        {"anna", "", false, "anna"},
        {"anna (old)", "", true, "anna (old)"},
        {"anna", "", true, "anna"},
        {"bob (old)", "", false, "bob (old)"},
        {"bob (old)", "", true, "bob (old)"},
        {nullptr, QStringLiteral("bob (old) (Боб)"), false, "bob (old)"},
        {nullptr, QStringLiteral("bob (Боб)"), false, "bob"},
        {nullptr, "bob (old)", false, "bob"},
        {nullptr, " bob ", false, "bob"},
    };
    for (const Case& c : cases) {
        const QString how = c.picked ? QStringLiteral("picked ") + c.picked : "typed " + c.typed;
        SCOPED_TRACE((how + (c.refilled ? ", refilled" : "")).toStdString());
        form->ComboBox1->clearEditText();
        form->FillUserList();
        if (c.picked) {
            const int item = form->ComboBox1->findData(QString::fromUtf8(c.picked));
            ASSERT_GE(item, 0);
            form->ComboBox1->setCurrentIndex(item);
        } else {
            choose(c.typed);
        }
        if (c.refilled)
            form->FillUserList();
        statistics->StaticText8->clear();
        click(form->Button1);
        EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join(" | ").toStdString();
        EXPECT_EQ(statistics->StaticText8->text(), c.nick);
    }
}

// Deleting a user and resetting a password through the entry of "anna (old)"
// leave "anna" as she was.
TEST_F(ServiceWindowTest, ButtonsOnAnEntryLeaveTheNickItStartsWithAlone)
{
    for (QPushButton* button : {form->Button5, form->Button2}) {
        SCOPED_TRACE(button->text().toStdString());
        addUser("anna", QStringLiteral("Анна"), "secret", 0, 0);
        addUser("anna (old)", QStringLiteral("Анна"), "old secret", 0, 0);
        const QByteArray anna = readFile(ProfilePath("anna"));
        form->FillUserList();
        const int item = form->ComboBox1->findText(QStringLiteral("anna (old) (Анна)"));
        ASSERT_GE(item, 0);
        form->ComboBox1->setCurrentIndex(item);
        click(button);
        EXPECT_EQ(readFile(ProfilePath("anna")), anna);
        UserProfile old;
        if (button == form->Button5) {
            EXPECT_FALSE(QFileInfo::exists(ProfilePath("anna (old)")));
        } else {
            ASSERT_TRUE(ReadProfile("anna (old)", old));
            EXPECT_EQ(old.digestText, QString());
        }
    }
}

// Typed text is taken as typed: nothing completes it to a listed entry or
// changes its letter case, neither while typing nor at Enter.
TEST_F(ServiceWindowTest, TypedTextStaysAsTyped)
{
    addUser("Bob", "Боб", "", 0, 0);
    addUser("bobby", "Роберт", "", 0, 0);
    form->FillUserList();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    for (const char* typed : {"b", "B", "bob", "BOBBY", "Bob ("}) {
        SCOPED_TRACE(typed);
        form->ComboBox1->setFocus();
        form->ComboBox1->clearEditText();
        QTest::keyClicks(form->ComboBox1->lineEdit(), typed);
        EXPECT_EQ(form->ComboBox1->currentText().toStdString(), typed);
        QTest::keyClick(form->ComboBox1->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(form->ComboBox1->currentText().toStdString(), typed);
    }
}

TEST_F(ServiceWindowTest, UserButtonsAskForAUserWhenNoneIsChosen)
{
    form->FillUserList();
    EXPECT_EQ(form->ComboBox1->count(), 0);
    for (QPushButton* button : {form->Button1, form->Button5, form->Button2}) {
        click(button);
        EXPECT_EQ(dialogs.messages, QStringList{kChoose}) << button->objectName().toStdString();
        EXPECT_TRUE(dialogs.questions.isEmpty());
    }
    EXPECT_FALSE(statistics->isVisible());
}

TEST_F(ServiceWindowTest, StatisticsButtonShowsTheChosenUser)
{
    addUser("u7", "Group B", "pw", 120, 30);
    form->FillUserList();
    form->ComboBox1->setCurrentIndex(0);
    click(form->Button1);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(statistics->isVisible());
}

TEST_F(ServiceWindowTest, SummaryButtonFillsAndShowsTheTable)
{
    addUser("u7", "Group B", "pw", 120, 30);
    addUser("anna", "A", "pw", 60, 10);
    click(form->Button4);
    EXPECT_EQ(summary->gridRowCount(), 3);
    EXPECT_TRUE(summary->isVisible());
}

TEST_F(ServiceWindowTest, DeleteRemovesOnlyTheProfileAndLeavesAStaleEntry)
{
    const QString table = userFolder() + "20record.config";
    writeFile(table, QByteArray(780, '\0'));
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        addUser("u7", "Group B", "pw", 0, 0);
        form->FillUserList();
        form->ComboBox1->setCurrentIndex(0);
        dialogs.questionAnswers = {ok};
        click(form->Button5);
        EXPECT_EQ(dialogs.questions, QStringList{QStringLiteral("Удалить пользователя?")});
        EXPECT_EQ(dialogs.questionIcons, std::vector<QuestionIcon>{QuestionIcon::Question});
        EXPECT_EQ(dialogs.messages,
                  ok ? QStringList{QStringLiteral("Пользователь удален")} : QStringList());
        EXPECT_EQ(QFileInfo::exists(ProfilePath("u7")), !ok);
        EXPECT_TRUE(QFileInfo::exists(table));
    }
    // The list is not refilled: the entry stays, and choosing it again fails.
    EXPECT_EQ(entries(), QStringList{"u7 (Group B)"});
    for (QPushButton* button : {form->Button1, form->Button5, form->Button2}) {
        click(button);
        EXPECT_EQ(dialogs.messages, QStringList{kChoose});
    }
}

TEST_F(ServiceWindowTest, PasswordResetEmptiesOnlyTheDigest)
{
    // A digest in use, and one already emptied by an earlier program that
    // left its old characters behind the length byte.
    for (bool alreadyEmpty : {false, true}) {
        SCOPED_TRACE(alreadyEmpty ? "already empty" : "in use");
        addUser("u7", "Group B", "secret", 4321, 77);
        QByteArray before = readFile(ProfilePath("u7"));
        before.replace(150, 50, QByteArray(50, 'x')); // past the digest's length
        before[458] = 'r';                            // a reserved byte
        if (alreadyEmpty)
            before[0] = '\0';
        writeFile(ProfilePath("u7"), before);
        form->FillUserList();
        form->ComboBox1->setCurrentIndex(0);

        dialogs.questionAnswers = {false};
        click(form->Button2);
        EXPECT_EQ(dialogs.questions, QStringList{QStringLiteral("Обнулить пароль?")});
        EXPECT_TRUE(dialogs.messages.isEmpty());
        EXPECT_EQ(readFile(ProfilePath("u7")), before);

        click(form->Button2);
        EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("Пароль обнулен")});
        const QByteArray after = readFile(ProfilePath("u7"));
        ASSERT_EQ(after.size(), 468);
        EXPECT_EQ(after.left(201), QByteArray(201, '\0'));
        EXPECT_EQ(after.mid(201), before.mid(201));

        form->FillUserList();
        EXPECT_EQ(entries(), QStringList{"u7 (Group B)"});

        RecordingStates states;
        TForm4 login(states, accountParts());
        login.ComboBox1->setEditText("u7");
        login.Edit1->clear();
        login.Button1Click();
        EXPECT_EQ(currentUser().nick, "u7");
        EXPECT_EQ(currentUser().profile.digestText, QString());
        EXPECT_EQ(currentUser().profile.fullName, "Group B");
        EXPECT_EQ(currentUser().profile.totalTime, 4321);
        EXPECT_EQ(currentUser().profile.totalPoints, 77);
        ASSERT_FALSE(states.calls.isEmpty());
        EXPECT_EQ(states.calls.last(), "pupil");
    }
}

TEST_F(ServiceWindowTest, PasswordResetWritesNothingWhenTheReadFails)
{
    if (!addUnopenableProfile("zz"))
        GTEST_SKIP() << "no file here refuses root a read-write open";
    addUser("u7", "Group B", "pw", 1, 2);
    AdminRecord().fullName = "Group B"; // the record of another user
    choose("zz");
    click(form->Button2);
    EXPECT_EQ(dialogs.messages, QStringList{"Error 12 :zz"});
    EXPECT_TRUE(QFileInfo(ProfilePath("zz")).isSymLink());
}

TEST_F(ServiceWindowTest, TableResetDeletesOnlyTheCurrentRangesTable)
{
    struct Case {
        NumberRange range;
        bool ok;
        QString deleted; // empty: none
    };
    const Case cases[] = {
        {NumberRange(), true, "20"},
        {{99, "99"}, true, "99"},
        {{99, "99"}, false, ""},
    };
    const QStringList ranges = {"9", "20", "99", "999"};
    for (const Case& c : cases) {
        SCOPED_TRACE((c.range.rangeText + (c.ok ? " OK" : " Cancel")).toStdString());
        for (const QString& r : ranges)
            writeFile(userFolder() + r + "record.config", QByteArray(780, '\0'));
        currentRange() = c.range;
        dialogs.questionAnswers = {c.ok};
        click(form->Button6);
        EXPECT_EQ(dialogs.questions, QStringList{QStringLiteral("Сбросить таблицу рекордов?")});
        EXPECT_EQ(dialogs.questionIcons, std::vector<QuestionIcon>{QuestionIcon::Warning});
        EXPECT_EQ(dialogs.messages,
                  c.ok ? QStringList{QStringLiteral("Таблица рекордов сброшена")} : QStringList());
        for (const QString& r : ranges)
            EXPECT_EQ(QFileInfo::exists(userFolder() + r + "record.config"), r != c.deleted)
                << r.toStdString();
    }
}

// The window acts on the range it is handed, not on the one the program
// state holds.
TEST_F(ServiceWindowTest, TableResetTakesTheRangeTheWindowIsHanded)
{
    const NumberRange handed{999, "999"};
    TForm9 service(state().classFolder, handed, state().adminRecord.record);
    for (const char* r : {"20", "999"})
        writeFile(userFolder() + r + "record.config", QByteArray(780, '\0'));
    dialogs.questionAnswers = {true};
    click(service.Button6);
    EXPECT_TRUE(QFileInfo::exists(userFolder() + "20record.config"));
    EXPECT_FALSE(QFileInfo::exists(userFolder() + "999record.config"));
}

TEST_F(ServiceWindowTest, ShortcutButtonWritesAValidDesktopEntry)
{
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", tempPath("home").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", tempPath("home/.config").toLocal8Bit());
    QDir().mkpath(tempPath("home/Desktop"));

    click(form->Button3);

    qputenv("HOME", oldHome);
    if (oldConfig.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);

    const QString entry = tempPath("home/Desktop/Zelvo.desktop");
    ASSERT_TRUE(QFileInfo::exists(entry));
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_TRUE(QFileInfo(entry).isExecutable());
    EXPECT_TRUE(readFile(entry).contains(
        ("Exec=" + QCoreApplication::applicationFilePath() + "\n").toUtf8()));

    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed";
    QProcess check;
    check.start(validator, {entry});
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();
}

TEST_F(ServiceWindowTest, CaptionAndAUserListThatTakesTyping)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Сервис АДМ"));
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(form->ComboBox1->isEditable());
}

} // namespace
