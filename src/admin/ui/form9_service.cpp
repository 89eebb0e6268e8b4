#include "admin/ui/form9_service.h"

#include "accounts/admin_actions.h"
#include "accounts/user_profile.h"
#include "config/app_config.h"
#include "keeper/class_folder_access.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/folder_lock.h"
#include "platform/handler_guard.h"
#include "platform/shell.h"
#include "records/number_range.h"
#include "records/result_record.h"
#include "ui/control_factory.h"
#include "ui/control_names.h"
#include "util/files.h"
#include "util/text.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

// The label over the user list, and the message where no user is chosen.
const QString kChooseUserText = QStringLiteral("Выберите пользователя");

} // namespace

TForm9::TForm9(ClassFolderLink& classFolder, const NumberRange& range, UserProfile& scratch,
               QWidget* parent)
    : QWidget(parent), classFolder_(classFolder), range_(range), scratch_(scratch)
{
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Сервис АДМ"));
    move(192, 107);
    resize(ClientSizeForOuterSize(588, 289));
    CreateControls();
}

void TForm9::CreateControls()
{
    Button4 =
        MakeButton(this, "Button4", QStringLiteral("Сводная таблица результатов по пользователям"));
    Button3 = MakeButton(this, "Button3", QStringLiteral("Отправить ярлык на рабочий стол"));
    Button6 = MakeButton(this, "Button6", QStringLiteral("Сбросить таблицу рекордов"));

    GroupBox1 = new QGroupBox(QStringLiteral("Отдельный пользователь"), this);
    SetDesignerName(GroupBox1, QStringLiteral("GroupBox1"));
    StaticText1 = MakeLabel(GroupBox1, QStringLiteral("StaticText1"), kChooseUserText);
    ComboBox1 = MakeEditableList(GroupBox1, QStringLiteral("ComboBox1"), StaticText1);
    Button1 = MakeButton(GroupBox1, "Button1", QStringLiteral("Посмотреть статистику"));
    Button5 = MakeButton(GroupBox1, "Button5", QStringLiteral("Удалить пользователя"));
    Button2 = MakeButton(GroupBox1, "Button2", QStringLiteral("Обнулить пароль"));

    auto* group = new QGridLayout(GroupBox1);
    group->addWidget(StaticText1, 0, 0);
    group->addWidget(ComboBox1, 0, 1, 1, 2);
    group->addWidget(Button1, 1, 0);
    group->addWidget(Button5, 1, 1);
    group->addWidget(Button2, 1, 2);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Button4, 0, 0, 1, 2);
    grid->addWidget(Button3, 1, 0);
    grid->addWidget(Button6, 1, 1);
    grid->addWidget(GroupBox1, 2, 0, 1, 2);

    QWidget* order[] = {Button4, Button3, Button6, ComboBox1, Button1, Button5, Button2};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
}

void TForm9::FillUserList()
{
    const QString typed = ComboBox1->currentText();
    const int chosen = ChosenItem();
    const QString chosenNick = chosen >= 0 ? ComboBox1->itemData(chosen).toString() : QString();
    ComboBox1->clear();
    UserProfile& record = scratch_;
    ClassFolderAccess& folder = *classFolder_.access;
    for (const QString& nick : folder.nicks()) {
        QString fullName;
        ProfileView view;
        if (folder.readProfile(nick, view)) {
            CopyView(view, record);
            fullName = record.fullName;
        } else // no stale name of the profile read before
            dialogs().message(kProfileNotReadMessage + nick);
        // The item carries its nick: its text cannot give it back when a nick
        // or a full name holds " (".
        ComboBox1->addItem(nick + QStringLiteral(" (") + fullName + QStringLiteral(")"), nick);
    }
    // The entry chosen before stays chosen when it is listed again as it was.
    int again = -1;
    for (int i = 0; chosen >= 0 && again < 0 && i < ComboBox1->count(); ++i) {
        if (ComboBox1->itemData(i).toString() == chosenNick && ComboBox1->itemText(i) == typed)
            again = i;
    }
    ComboBox1->setCurrentIndex(again);
    ComboBox1->setEditText(typed);
}

int TForm9::ChosenItem() const
{
    const QString text = ComboBox1->currentText();
    const int current = ComboBox1->currentIndex();
    if (current >= 0 && ComboBox1->itemText(current) == text)
        return current;
    for (int i = 0; i < ComboBox1->count(); ++i) {
        if (ComboBox1->itemText(i) == text)
            return i;
    }
    return -1;
}

QString TForm9::SelectedNick()
{
    const int item = ChosenItem();
    const QString nick = item >= 0 ? ComboBox1->itemData(item).toString()
                                   : TrimText(Field(1, ComboBox1->currentText(), QLatin1Char('(')));
    // The existence check also refuses an empty nick and one with "/", which
    // could name a file outside the user folder.
    if (!classFolder_.access->profileExists(nick)) {
        dialogs().message(kChooseUserText);
        return QString();
    }
    return nick;
}

QString TForm9::ConfirmedNick(const QString& question)
{
    if (SelectedNick().isEmpty() || !dialogs().question(question))
        return QString();
    return SelectedNick();
}

void TForm9::Button1Click()
{
    RunHandler([this] {
        if (SelectedNick().isEmpty())
            return;
        const QString nick = SelectedNick();
        if (nick.isEmpty())
            return;
        if (showStatistics)
            showStatistics(nick);
    });
}

void TForm9::Button5Click()
{
    RunHandler([this] {
        const QString nick = ConfirmedNick(QStringLiteral("Удалить пользователя?"));
        if (nick.isEmpty())
            return;
        classFolder_.access->deleteUser(nick);
        dialogs().message(QStringLiteral("Пользователь удален"));
    });
}

void TForm9::Button2Click()
{
    RunHandler([this] {
        const QString nick = ConfirmedNick(QStringLiteral("Обнулить пароль?"));
        if (nick.isEmpty())
            return;
        ProfileView view;
        const ResetOutcome outcome = classFolder_.access->resetPassword(nick, view);
        if (outcome != ResetOutcome::NotRead)
            CopyView(view, scratch_);
        switch (outcome) {
        case ResetOutcome::NotRead:
            // Writing now would give this user the record of another one.
            dialogs().message(kProfileNotReadMessage + nick);
            return;
        case ResetOutcome::Vanished:
            dialogs().message(kChooseUserText);
            return;
        case ResetOutcome::NotCreated:
            dialogs().message(QStringLiteral("Error 14"));
            break;
        case ResetOutcome::WriteFailed:
            dialogs().message(QStringLiteral("Error 15"));
            break;
        case ResetOutcome::Done:
            break;
        }
        dialogs().message(QStringLiteral("Пароль обнулен"));
    });
}

void TForm9::Button4Click()
{
    RunHandler([this] {
        if (showSummary)
            showSummary();
    });
}

void TForm9::Button6Click()
{
    RunHandler([this] {
        if (!dialogs().question(QStringLiteral("Сбросить таблицу рекордов?"),
                                QuestionIcon::Warning))
            return;
        classFolder_.access->resetTable(range_.rangeText);
        dialogs().message(QStringLiteral("Таблица рекордов сброшена"));
    });
}

void TForm9::Button3Click()
{
    RunHandler([] {
        CreateShortcut(DesktopFolder() + QStringLiteral("Zelvo.desktop"), QString(),
                       QCoreApplication::applicationFilePath());
    });
}
