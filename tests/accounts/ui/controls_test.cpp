// The three windows: captions, sizes, password masks and tab orders.

#include "accounts/accounts_test_env.h"
#include "accounts/ui/form4_login.h"
#include "accounts/ui/form6_new_user.h"
#include "accounts/ui/form7_password.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>

namespace {

using AccountWindowsTest = AccountsTest;

// Designer names of the controls that Tab visits, starting at `first`.
QStringList TabOrder(QWidget* window, QWidget* first, int steps)
{
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    first->setFocus();
    QStringList names;
    for (int i = 0; i < steps; ++i) {
        QWidget* focus = QApplication::focusWidget();
        names << (focus ? focus->objectName() : QString());
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    return names;
}

TEST_F(AccountWindowsTest, WindowsControlsAndTabOrders)
{
    ListLoginNicks(ListProfiles());
    TForm4 login(states_, accountParts());
    TForm6 newUser(accountParts());
    newUser.nickCreated = [&login](const QString& nick) { login.appendNick(nick); };
    TForm7 change(accountParts());

    const struct {
        QWidget* window;
        const char* caption;
        QSize size;
        QStringList tabs;
    } windows[] = {
        {&login, "Login", {303, 177}, {"ComboBox1", "Edit1", "Button1", "ComboBox1"}},
        {&newUser,
         "Новый пользователь",
         {535, 248},
         {"Edit1", "Edit2", "Edit3", "Edit4", "Button1", "Edit1"}},
        {&change, "Изменение пароля", {342, 192}, {"Edit1", "Edit2", "Edit3", "Button1", "Edit1"}},
    };
    for (const auto& w : windows) {
        SCOPED_TRACE(w.caption);
        EXPECT_EQ(w.window->windowTitle(), w.caption);
        EXPECT_EQ(w.window->size(), w.size);
        EXPECT_FALSE(w.window->isVisible());
        QWidget* first = w.window->findChild<QWidget*>(w.tabs.first());
        ASSERT_TRUE(first);
        EXPECT_EQ(TabOrder(w.window, first, int(w.tabs.size())), w.tabs);
    }

    // Passwords are masked with "*"; the nick and the full name are not.
    for (QLineEdit* edit :
         {login.Edit1, newUser.Edit3, newUser.Edit4, change.Edit1, change.Edit2, change.Edit3}) {
        EXPECT_EQ(edit->echoMode(), QLineEdit::Password) << edit->objectName().toStdString();
        EXPECT_EQ(edit->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, edit),
                  '*')
            << edit->objectName().toStdString();
    }
    for (QLineEdit* edit : {newUser.Edit1, newUser.Edit2})
        EXPECT_EQ(edit->echoMode(), QLineEdit::Normal);
    EXPECT_TRUE(login.ComboBox1->isEditable());
    EXPECT_EQ(login.StaticText1->palette().color(QPalette::WindowText), QColor(Qt::red));
}

} // namespace
