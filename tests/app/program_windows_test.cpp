// The windows made when first needed: at start only the main window exists;
// each menu command makes its window, once, and the login window lists the
// nicks as the start-up found them plus the users created since, whether it
// was made before or after they were created.

#include "accounts/user_profile.h"
#include "program_test_env.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

using ProgramWindowsTest = ProgramTest;

TEST_F(ProgramWindowsTest, OnlyTheMainWindowIsMadeAtStartAndEachMenuMakesItsWindowOnce)
{
    StartedProgram w;
    for (int n = 2; n <= 12; ++n)
        EXPECT_FALSE(w.isMade(n)) << "window " << n;

    const struct {
        QAction* item;
        int window;
    } commands[] = {{w.form1().N5, 3},
                    {w.form1().N6, 4},
                    {w.form1().N9, 6},
                    {w.form1().N12, 12},
                    {w.form1().N11, 11}};
    for (const auto& c : commands) {
        c.item->trigger();
        EXPECT_TRUE(w.isMade(c.window)) << c.item->text().toStdString();
    }
    TForm4* login = &w.form4();
    w.form1().N6->trigger();
    EXPECT_EQ(&w.form4(), login);
    EXPECT_TRUE(login->isVisible());
    EXPECT_FALSE(w.isMade(2)); // no sound played yet
}

TEST_F(ProgramWindowsTest, LoginListIsWhatStartUpFoundThenTheUsersCreatedSince)
{
    ASSERT_TRUE(WriteProfile("anna", UserProfile()));
    for (bool loginMadeFirst : {false, true}) {
        SCOPED_TRACE(loginMadeFirst ? "login window made first" : "new-user window first");
        StartedProgram w;
        // A profile another copy writes after this start is not offered.
        ASSERT_TRUE(WriteProfile(loginMadeFirst ? "late1" : "late2", UserProfile()));
        if (loginMadeFirst)
            w.form1().N6->trigger();
        const QString nick = loginMadeFirst ? "boris" : "vera";
        TForm6& newUser = w.form6();
        newUser.Edit1->setText(nick);
        newUser.Edit2->setText("Фамилия Имя");
        newUser.Button1->click();
        ASSERT_TRUE(ProfileExists(nick));
        const QStringList list = w.form4().nickList();
        EXPECT_EQ(list.first(), "ADM");
        EXPECT_EQ(list.last(), nick);
        EXPECT_TRUE(list.contains("anna"));
        EXPECT_FALSE(list.contains(loginMadeFirst ? "late1" : "late2"));
        EXPECT_EQ(w.form4().ComboBox1->currentText(), "ADM");
    }
}

} // namespace
