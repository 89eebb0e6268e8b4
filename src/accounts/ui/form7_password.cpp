#include "accounts/ui/form7_password.h"

#include "accounts/current_user.h"
#include "accounts/password_digest.h"
#include "accounts/ui/key_press.h"
#include "keeper/class_folder_access.h"
#include "platform/dialogs.h"
#include "platform/handler_guard.h"
#include "ui/control_factory.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TForm7::TForm7(const AccountParts& parts, QWidget* parent) : QWidget(parent), parts_(parts)
{
    CreateControls();
}

void TForm7::CreateControls()
{
    setWindowTitle(QStringLiteral("Изменение пароля"));
    auto* layout = new QGridLayout(this);
    const int line = AddLabelledEdits(
        this, layout,
        {{StaticText1, Edit1, "StaticText1", "Edit1", QStringLiteral("Старый пароль"), true},
         {StaticText2, Edit2, "StaticText2", "Edit2", QStringLiteral("Новый пароль"), true},
         {StaticText3, Edit3, "StaticText3", "Edit3", QStringLiteral("Повтор нового пароля"),
          true}});
    Button1 = MakeButton(this, QStringLiteral("Button1"), QStringLiteral("Изменить"));
    layout->addWidget(Button1, line, 1, Qt::AlignRight);

    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, Button1);
    resize(342, 192);

    WatchKeyPress(Edit3, [this](QChar key) { Edit3KeyPress(key); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TForm7::Edit3KeyPress(QChar key)
{
    if (key == QChar(kEnterChar))
        Button1Click();
}

void TForm7::Button1Click()
{
    RunHandler([this] {
        CurrentUser& user = parts_.user;
        // After a failed login nobody is logged in, though the menu item stays
        // enabled: there is no profile to change.
        if (user.nick.isEmpty()) {
            dialogs().message(kLoginNeededMessage);
            return;
        }
        if (!CheckPassword(Edit1->text(), user.profile.digestText)) {
            dialogs().message(QStringLiteral("Неверный старый пароль"));
            Edit1->clear();
            return;
        }
        if (Edit2->text() != Edit3->text()) {
            dialogs().message(QStringLiteral("Новый пароль и его повтор не совпадают"));
            Edit2->clear();
            Edit3->clear();
            return;
        }
        switch (parts_.classFolder.access->changePassword(Edit1->text(), Edit2->text())) {
        case PasswordOutcome::WrongPassword: // changed meanwhile: an administrator's reset
            dialogs().message(QStringLiteral("Неверный старый пароль"));
            Edit1->clear();
            return;
        case PasswordOutcome::NotCreated:
            dialogs().message(QStringLiteral("Ошибка записи 2   :-("));
            return;
        case PasswordOutcome::WriteFailed:
            dialogs().message(QStringLiteral("Ошибка записи 1   :-("));
            return;
        case PasswordOutcome::NoStoreAccess:
            dialogs().message(QStringLiteral(
                "Чтобы изменить пароль ADM нужны права администратора на компьютере"));
            hide();
            return;
        case PasswordOutcome::Done:
            break;
        }
        user.profile.digestText = TypedPasswordDigest(Edit2->text());
        ChangeDone();
    });
}

void TForm7::ChangeDone()
{
    dialogs().message(QStringLiteral("Пароль изменен"));
    hide();
}
