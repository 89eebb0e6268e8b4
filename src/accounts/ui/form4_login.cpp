#include "accounts/ui/form4_login.h"

#include "accounts/current_user.h"
#include "accounts/password_digest.h"
#include "accounts/ui/key_press.h"
#include "keeper/class_folder_access.h"
#include "keeper/pending_results.h"
#include "platform/config_store.h"
#include "platform/dialogs.h"
#include "platform/handler_guard.h"
#include "ui/control_factory.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLabel* RedLabel(QWidget* parent, const QString& name, const QString& text)
{
    QLabel* label = MakeLabel(parent, name, text);
    SetRedText(label);
    return label;
}

} // namespace

TForm4::TForm4(LoginStates& states, const AccountParts& parts, QWidget* parent)
    : QWidget(parent), states_(states), parts_(parts)
{
    CreateControls();
    FormCreate();
}

void TForm4::CreateControls()
{
    setWindowTitle(QStringLiteral("Login"));
    StaticText1 = RedLabel(this, QStringLiteral("StaticText1"), QStringLiteral("Ник"));
    // The list only grows through appendNick; the nick is taken as typed.
    ComboBox1 = MakeEditableList(this, QStringLiteral("ComboBox1"), StaticText1);
    StaticText2 = RedLabel(this, QStringLiteral("StaticText2"), QStringLiteral("Пароль"));
    Edit1 = MakeEdit(this, QStringLiteral("Edit1"), StaticText2);
    MaskPassword(Edit1);
    Button1 = MakeButton(this, QStringLiteral("Button1"), QStringLiteral("Войти"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(StaticText1, 0, 0);
    layout->addWidget(ComboBox1, 0, 1);
    layout->addWidget(StaticText2, 1, 0);
    layout->addWidget(Edit1, 1, 1);
    layout->addWidget(Button1, 2, 1, Qt::AlignRight);
    setTabOrder(ComboBox1, Edit1);
    setTabOrder(Edit1, Button1);
    resize(303, 177);

    WatchKeyPress(ComboBox1, [this](QChar key) { ComboBox1KeyPress(key); });
    WatchKeyPress(ComboBox1->lineEdit(), [this](QChar key) { ComboBox1KeyPress(key); });
    WatchKeyPress(Edit1, [this](QChar key) { Edit1KeyPress(key); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TForm4::FormCreate()
{
    ComboBox1->addItems(parts_.loginNicks);
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(kAdminNick);
}

QStringList TForm4::nickList() const
{
    QStringList nicks;
    for (int i = 0; i < ComboBox1->count(); ++i)
        nicks << ComboBox1->itemText(i);
    return nicks;
}

void TForm4::appendNick(const QString& nick) { ComboBox1->addItem(nick); }

void TForm4::ComboBox1KeyPress(QChar key)
{
    if (key == QChar(kEnterChar))
        Button1Click();
}

void TForm4::Edit1KeyPress(QChar key)
{
    if (key == QChar(kEnterChar))
        Button1Click();
}

void TForm4::Button1Click()
{
    RunHandler([this] {
        parts_.user = CurrentUser();
        const QString nick = ComboBox1->currentText();
        if (!IsAdminNick(nick) && !parts_.classFolder.access->profileExists(nick)) {
            dialogs().message(QStringLiteral("Нет такого имени"));
            return;
        }
        if (IsAdminNick(nick))
            LoginAdmin();
        else
            LoginPupil(nick);
    });
}

void TForm4::LoginAdmin()
{
    switch (parts_.classFolder.access->logInAdmin(Edit1->text())) {
    case AdminLogInOutcome::StoreNotRead:
        // A store that is there but cannot be read may hold a password: the
        // administrator stays out until it is mended; pupils log in as before.
        dialogs().message(QStringLiteral("Не удаётся прочитать хранилище настроек %1. "
                                         "Вход ADM закрыт, пока системный администратор "
                                         "не исправит этот файл.")
                              .arg(MachineStorePath()));
        Edit1->clear();
        return;
    case AdminLogInOutcome::WrongPassword:
        RefusePassword();
        return;
    case AdminLogInOutcome::Done:
        break;
    }
    CurrentUser& user = parts_.user;
    user.profile.digestText = TypedPasswordDigest(Edit1->text());
    user.nick = kAdminNick;
    states_.ShowAdminMenus();
    hide();
    Edit1->clear();
}

void TForm4::LoginPupil(const QString& nick)
{
    CurrentUser& user = parts_.user;
    ProfileView view;
    switch (parts_.classFolder.access->logIn(nick, Edit1->text(), view)) {
    case LogInOutcome::NoProfile: // gone since the check above
        dialogs().message(QStringLiteral("Нет такого имени"));
        return;
    case LogInOutcome::NotRead:
        dialogs().message(QStringLiteral("Error 1"));
        return;
    case LogInOutcome::WrongPassword:
        RefusePassword();
        return;
    case LogInOutcome::Done:
        break;
    }
    CopyView(view, user.profile);
    user.profile.digestText = TypedPasswordDigest(Edit1->text());
    AppendPendingResults(nick);
    states_.ShowLoggedOutMenus();
    user.nick = nick;
    states_.ShowPupilMenus();
    Edit1->clear();
    hide();
}

void TForm4::RefusePassword()
{
    dialogs().message(QStringLiteral("Неверный пароль"));
    Edit1->clear();
}
