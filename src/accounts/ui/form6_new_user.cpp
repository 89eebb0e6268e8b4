#include "accounts/ui/form6_new_user.h"

#include "accounts/current_user.h"
#include "accounts/new_user.h"
#include "accounts/password_digest.h"
#include "config/app_config.h"
#include "keeper/class_folder_access.h"
#include "platform/dialogs.h"
#include "platform/handler_guard.h"
#include "ui/control_factory.h"
#include "util/files.h"
#include "util/text.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TForm6::TForm6(const AccountParts& parts, QWidget* parent) : QWidget(parent), parts_(parts)
{
    CreateControls();
}

void TForm6::CreateControls()
{
    setWindowTitle(QStringLiteral("Новый пользователь"));
    // Top to bottom: nick, password, repeat, full name.
    auto* layout = new QGridLayout(this);
    const int line = AddLabelledEdits(
        this, layout,
        {{StaticText1, Edit1, "StaticText1", "Edit1", QStringLiteral("Ник"), false},
         {StaticText3, Edit3, "StaticText3", "Edit3", QStringLiteral("Пароль"), true},
         {StaticText4, Edit4, "StaticText4", "Edit4", QStringLiteral("Повтор пароля"), true},
         {StaticText2, Edit2, "StaticText2", "Edit2", QStringLiteral("ФИО"), false}});
    Button1 = MakeButton(this, QStringLiteral("Button1"), QStringLiteral("Создать пользователя"));
    layout->addWidget(Button1, line, 1, Qt::AlignRight);
    layout->setColumnStretch(1, 1);

    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, Edit4);
    setTabOrder(Edit4, Button1);
    resize(535, 248);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TForm6::Button1Click()
{
    RunHandler([this] {
        const QString nick = TrimText(Edit1->text());
        const QString fullName = Edit2->text();
        const QString refusal =
            NewUserRefusal(nick, fullName, Edit3->text(), Edit4->text(), parts_.loginNicks);
        if (!refusal.isEmpty()) {
            dialogs().message(refusal);
            return;
        }
        SetTextIfChanged(Edit1, nick);
        parts_.user = CurrentUser();
        UserProfile& profile = parts_.user.profile;
        profile.digestText = PasswordDigestText(Edit3->text());
        profile.fullName = fullName.left(255);
        switch (parts_.classFolder.access->createUser(nick, Edit3->text(), profile.fullName)) {
        case NewUserOutcome::Exists: // made meanwhile by another copy: it stays as it is
            dialogs().message(kNickTaken);
            return;
        case NewUserOutcome::NotCreated:
            dialogs().message(
                QStringLiteral("Измените ник , не могу создать файл конфигурации - ") +
                parts_.config.PathUser + nick);
            return;
        case NewUserOutcome::Done:
            break;
        }
        dialogs().message(QStringLiteral("Пользователь создан"));
        parts_.loginNicks.append(nick);
        if (nickCreated)
            nickCreated(nick);
        for (QLineEdit* edit : {Edit1, Edit2, Edit3, Edit4})
            edit->clear();
        hide();
    });
}
