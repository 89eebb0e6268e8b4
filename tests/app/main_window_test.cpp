// The main window at start and its login states.

#include "accounts/current_user.h"
#include "app/form1_main.h"
#include "app/form3_about.h"
#include "app/program_test_env.h"
#include "config/app_config.h"
#include "platform/shell.h"
#include "records/number_range.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"
#include "ui/shell_open.h"
#include "util/files.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

namespace {

class MainWindowTest : public ZelvoTest {
  protected:
    ScriptedDialogs dialogs;
};

struct MenuState {
    bool N7, N8, N9, N10, ADM1, ADM2;
};

void ExpectMenus(const TForm1& form, const MenuState& want)
{
    EXPECT_EQ(form.N7->isEnabled(), want.N7);
    EXPECT_EQ(form.N8->isEnabled(), want.N8);
    EXPECT_EQ(form.N9->isEnabled(), want.N9);
    EXPECT_EQ(form.N10->isEnabled(), want.N10);
    EXPECT_EQ(form.ADM1->isEnabled(), want.ADM1);
    EXPECT_EQ(form.ADM2->isEnabled(), want.ADM2);
    for (QAction* always : {form.N6, form.N11, form.N12, form.N3, form.N5})
        EXPECT_TRUE(always->isEnabled()) << always->objectName().toStdString();
}

TEST_F(MainWindowTest, FirstStartShowsTheLoggedOutState)
{
    writeStore(pathUserLine());
    StartedProgram program;
    TForm1& form = program.form1();
    ExpectMenus(form, {false, false, true, false, false, false});
    EXPECT_EQ(form.StaticText18->text(), "0-20");
    EXPECT_EQ(form.StaticText11->text(), "-");
    EXPECT_EQ(form.StaticText1->text(), "?");
    EXPECT_EQ(form.StaticText4->text(), "0");
    EXPECT_EQ(form.StaticText8->text(), "0");
    EXPECT_TRUE(form.StaticText15->text().isEmpty());
    EXPECT_TRUE(form.StaticText13->text().isEmpty());
    EXPECT_TRUE(form.StaticText6->text().isEmpty());
    EXPECT_EQ(form.windowTitle(), "Zelvo   v2.6");
    for (QPushButton* key :
         {form.Button1, form.Button13, form.Button11, form.Button12, form.Button14, form.Button10})
        EXPECT_FALSE(key->isEnabled());
    EXPECT_FALSE(form.Edit1->isEnabled());
    EXPECT_EQ(currentRange().rangeBound, 20);
    EXPECT_EQ(currentRange().rangeText, "20");
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

// F10 opens the first menu that can be used: the menus are reached from the
// keyboard alone, also while an exercise has the first three disabled.
TEST_F(MainWindowTest, F10OpensTheFirstMenuThatCanBeUsed)
{
    writeStore(pathUserLine());
    StartedProgram program;
    TForm1& form = program.form1();
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_F10);
    EXPECT_EQ(form.menuBar()->activeAction(), form.N1->menuAction());
    QTest::keyClick(form.menuBar(), Qt::Key_Escape);
    QTest::keyClick(form.menuBar(), Qt::Key_Escape);
    for (QMenu* header : {form.N1, form.N2, form.N4})
        header->menuAction()->setEnabled(false);
    QTest::keyClick(&form, Qt::Key_F10);
    EXPECT_EQ(form.menuBar()->activeAction(), form.N3);
}

TEST_F(MainWindowTest, LoginStatesFollowEachOther)
{
    writeStore(pathUserLine());
    StartedProgram program;
    TForm1& form = program.form1();

    currentUser().nick = "ADM";
    form.ShowAdminMenus();
    ExpectMenus(form, {false, true, false, false, true, true});
    EXPECT_EQ(form.StaticText15->text(), "ADM");
    EXPECT_EQ(form.StaticText13->text(), "Главенников Админ Конфигурович");

    // A pupil after the administrator: logged-out state first, then the pupil's.
    currentUser().nick = "anna";
    currentUser().profile.fullName = "Анна Петрова";
    form.ShowLoggedOutMenus();
    form.ShowPupilMenus();
    ExpectMenus(form, {true, true, true, true, false, false});
    EXPECT_EQ(form.StaticText15->text(), "anna");
    EXPECT_EQ(form.StaticText13->text(), "Анна Петрова");

    currentUser().nick = "ADM";
    form.ShowAdminMenus();
    ExpectMenus(form, {false, true, false, false, true, true});
}

TEST_F(MainWindowTest, HelpOpensTheHelpFileOfTheProgramFolder)
{
    writeStore(pathUserLine());
    QStringList opened;
    SetShellOpenHook([&](const QString& file, const QString&) {
        opened << file;
        return false;
    });
    StartedProgram program;
    TForm1& form = program.form1();
    form.N3->trigger();
    SetShellOpenHook({});
    EXPECT_EQ(opened, QStringList{ProgramFolder() + "dorvo.chm"});
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(MainWindowTest, DigitKeysStandInAPhoneBlock)
{
    writeStore(pathUserLine());
    StartedProgram program;
    TForm1& form = program.form1();
    QStringList digits;
    for (QPushButton* b : {form.Button1, form.Button2, form.Button3, form.Button4, form.Button5,
                           form.Button6, form.Button7, form.Button8, form.Button9, form.Button13})
        digits << b->text();
    EXPECT_EQ(digits.join(""), "7894561230");
}

TEST_F(MainWindowTest, AboutWindowShowsItsPicture)
{
    TForm3 about;
    about.show();
    ASSERT_FALSE(about.Image1->pixmap().isNull());
    EXPECT_EQ(about.Image1->pixmap().size(), QSize(657, 433));
    EXPECT_FALSE(about.Label1->text().isEmpty());
    EXPECT_FALSE(about.Label2->text().isEmpty());
}

} // namespace
