#include "accounts/form6_new_user.h"

#include "accounts/current_user.h"
#include "accounts/form4_login.h"
#include "accounts/password_digest.h"
#include "config/app_config.h"
#include "platform/dialogs.h"
#include "platform/handler_guard.h"
#include "util/control_factory.h"
#include "util/cp1251.h"
#include "util/files.h"
#include "util/text.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kNickTaken = QStringLiteral("Такое имя уже есть");

bool IsNickTaken(const QString& nick, const QStringList& existingNicks)
{
    const QString upperNick = UpperText(nick);
    for (const QString& item : existingNicks) {
        if (UpperText(item) == upperNick)
            return true;
    }
    return false;
}

// "/" would lead outside the user folder; text without Windows-1251 bytes
// would be stored altered.
bool HasBadNickChars(const QString& nick)
{
    for (const char* c : {".", ":", "\\", "|", "/"}) {
        if (nick.contains(QLatin1String(c)))
            return true;
    }
    return !IsCp1251Text(nick);
}

} // namespace

QString NewUserRefusal(const QString& nick, const QString& fullName, const QString& password,
                       const QString& repeat, const QStringList& existingNicks)
{
    if (IsNickTaken(nick, existingNicks))
        return kNickTaken;
    if (HasBadNickChars(nick))
        return QStringLiteral("Недопустимые символы в нике (.:\\|)");
    if (fullName.contains(QLatin1Char('|')) || !IsCp1251Text(fullName))
        return QStringLiteral("Недопустимые символы в ФИО (|)");
    if (nick.isEmpty())
        return QStringLiteral("Вы должны написать ник");
    if (fullName.isEmpty())
        return QStringLiteral("Вы должны написать ФИО");
    if (password != repeat)
        return QStringLiteral("Пароль и его повтор не совпадают");
    // A profile that appeared after the list was filled is never replaced.
    if (ProfileExists(nick))
        return kNickTaken;
    return QString();
}

TForm6::TForm6(TForm4& login, QWidget* parent) : QWidget(parent), login_(login)
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
            NewUserRefusal(nick, fullName, Edit3->text(), Edit4->text(), login_.nickList());
        if (!refusal.isEmpty()) {
            dialogs().message(refusal);
            return;
        }
        Edit1->setText(nick);
        ClearCurrentUser();
        UserProfile& profile = currentUser().profile;
        profile.digestText = PasswordDigestText(Edit3->text());
        profile.fullName = fullName.left(255);
        CreateFolderPath(appConfig().PathUser);
        if (!WriteProfile(nick, profile)) {
            dialogs().message(QStringLiteral("Измените ник , не могу создать файл конфигурации - ")
                              + appConfig().PathUser + nick);
            return;
        }
        dialogs().message(QStringLiteral("Пользователь создан"));
        login_.appendNick(nick);
        for (QLineEdit* edit : {Edit1, Edit2, Edit3, Edit4})
            edit->clear();
        hide();
    });
}
