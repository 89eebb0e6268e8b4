#include "accounts/form7_password.h"

#include "accounts/current_user.h"
#include "accounts/key_press.h"
#include "accounts/password_digest.h"
#include "platform/dialogs.h"
#include "platform/handler_guard.h"
#include "util/control_names.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TForm7::TForm7(QWidget* parent) : QWidget(parent) { CreateControls(); }

void TForm7::CreateControls()
{
    setWindowTitle(QStringLiteral("Изменение пароля"));
    struct Row {
        QLabel*& label;
        QLineEdit*& edit;
        const char* labelName;
        const char* editName;
        QString text;
    };
    const Row rows[] = {
        {StaticText1, Edit1, "StaticText1", "Edit1", QStringLiteral("Старый пароль")},
        {StaticText2, Edit2, "StaticText2", "Edit2", QStringLiteral("Новый пароль")},
        {StaticText3, Edit3, "StaticText3", "Edit3", QStringLiteral("Повтор нового пароля")},
    };
    auto* layout = new QGridLayout(this);
    int line = 0;
    for (const Row& row : rows) {
        row.label = new QLabel(row.text, this);
        row.edit = new QLineEdit(this);
        row.edit->setEchoMode(QLineEdit::Password);
        row.label->setBuddy(row.edit);
        SetDesignerName(row.label, QString::fromLatin1(row.labelName), row.text);
        SetDesignerName(row.edit, QString::fromLatin1(row.editName), row.text);
        layout->addWidget(row.label, line, 0);
        layout->addWidget(row.edit, line, 1);
        ++line;
    }
    Button1 = new QPushButton(QStringLiteral("Изменить"), this);
    SetDesignerName(Button1, QStringLiteral("Button1"), Button1->text());
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
        CurrentUser& user = currentUser();
        // After a failed login nobody is logged in, though the menu item stays
        // enabled: there is no profile to change.
        if (user.nick.isEmpty()) {
            dialogs().message(
                QStringLiteral("Необходимо зайти с каким-нибудь именем (создайте пользователя)"));
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
        user.profile.digestText = PasswordDigestText(Edit2->text());
        if (user.nick != QStringLiteral("ADM")) {
            if (SaveCurrentProfile())
                ChangeDone();
            return;
        }
        if (!WriteAdminDigest(user.profile.digestText)) {
            dialogs().message(QStringLiteral(
                "Чтобы изменить пароль ADM нужны права администратора на компьютере"));
            hide();
            return;
        }
        ChangeDone();
    });
}

void TForm7::ChangeDone()
{
    dialogs().message(QStringLiteral("Пароль изменен"));
    hide();
}
