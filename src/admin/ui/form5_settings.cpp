#include "admin/ui/form5_settings.h"

#include "config/app_config.h"
#include "keeper/class_folder_access.h"
#include "platform/config_store.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/handler_guard.h"
#include "platform/shell.h"
#include "ui/control_factory.h"
#include "ui/control_names.h"
#include "ui/shell_open.h"
#include "util/files.h"
#include "util/number.h"
#include "util/text.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>

#include <limits>
#include <optional>

namespace {

const char* const kCompanionName = "ELEVHELP.exe";

// An edit of a number, with the values it takes as its tip.
QLineEdit* MakeNumberEdit(QWidget* parent, const QString& name, QLabel* label, const QString& hint)
{
    QLineEdit* edit = MakeEdit(parent, name, label);
    edit->setToolTip(hint);
    edit->setFixedWidth(60);
    return edit;
}

// A spinner of its own: 1 to 100, step 1, start 1; it does not follow its edit.
// The label's buddy is the edit, so the spinner is named after it here.
QSpinBox* MakeSpinner(QWidget* parent, const char* name, QLabel* label)
{
    auto* spinner = new QSpinBox(parent);
    SetDesignerName(spinner, QString::fromLatin1(name));
    spinner->setAccessibleName(label->text());
    spinner->setRange(1, 100);
    spinner->setSingleStep(1);
    spinner->setValue(1);
    spinner->setFixedWidth(20);
    return spinner;
}

// Moves a spinner without running its click handler.
void SetSpinnerPosition(QSpinBox* spinner, int position)
{
    const QSignalBlocker blocker(spinner);
    spinner->setValue(position);
}

// The check of an edit while typing: an unparsable text is let be; a value
// below `lowest` is warned about; otherwise the spinner follows the value.
void CheckEdit(QLineEdit* edit, QSpinBox* spinner, qint32 lowest, const QString& warning)
{
    std::optional<qint32> value = ParseNumber(edit->text());
    if (!value)
        return;
    if (*value < lowest)
        dialogs().message(warning);
    else
        SetSpinnerPosition(spinner, *value);
}

// A field as saving accepts it: a number from `lowest` to `highest`.
std::optional<qint32> FieldValue(const QLineEdit* edit, qint32 lowest, qint32 highest)
{
    std::optional<qint32> value = ParseNumber(edit->text());
    if (!value || *value < lowest || *value > highest)
        return std::nullopt;
    return value;
}

} // namespace

TForm5::TForm5(AppConfig& config, ClassFolderLink& classFolder, QWidget* parent)
    : QWidget(parent), config_(config), classFolder_(classFolder)
{
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Установки ADM"));
    move(133, 131);
    resize(ClientSizeForOuterSize(568, 477));
    CreateControls();
}

void TForm5::CreateControls()
{
    StaticText3 =
        MakeLabel(this, "StaticText3", QStringLiteral("За сколько подряд правильных  ответов"));
    StaticText3->setFrameStyle(QFrame::Box | QFrame::Plain);
    Edit2 = MakeNumberEdit(this, "Edit2", StaticText3, QStringLiteral(">0"));
    UpDown2 = MakeSpinner(this, "UpDown2", StaticText3);
    StaticText4 = MakeLabel(this, "StaticText4", QStringLiteral("Сколько давать очков"));
    Edit4 = MakeNumberEdit(this, "Edit4", StaticText4, QStringLiteral("1-50"));
    UpDown4 = MakeSpinner(this, "UpDown4", StaticText4);

    StaticText5 =
        MakeLabel(this, "StaticText5", QStringLiteral("За сколько подряд неправильных  ответов"));
    Edit3 = MakeNumberEdit(this, "Edit3", StaticText5, QStringLiteral(">0"));
    UpDown3 = MakeSpinner(this, "UpDown3", StaticText5);
    StaticText6 = MakeLabel(this, "StaticText6", QStringLiteral("Сколько Вычитать очков"));
    Edit5 = MakeNumberEdit(this, "Edit5", StaticText6, QStringLiteral("1-50"));
    UpDown5 = MakeSpinner(this, "UpDown5", StaticText6);

    StaticText7 =
        MakeLabel(this, "StaticText7", QStringLiteral("Папка конфигурации пользователей"));
    Edit8 = MakeEdit(this, "Edit8", StaticText7);
    SpeedButton1 = new QToolButton(this);
    SetDesignerName(SpeedButton1, QStringLiteral("SpeedButton1"));
    // A picture alone says nothing to a screen reader: the button is named for
    // what it does. It shows no tip: the window's tips are the number edits' own.
    SpeedButton1->setAccessibleName(QStringLiteral("Выбрать папку"));

    CheckBox2 = new QCheckBox(QStringLiteral("Не проигрывать звуки"), this);
    SetDesignerName(CheckBox2, QStringLiteral("CheckBox2"));
    Button3 =
        MakeButton(this, "Button3", QStringLiteral("Дать этой программе администраторские права"));
    Button2 = MakeButton(this, "Button2", QStringLiteral("Выставить по умолчанию"));
    Button1 = MakeButton(this, "Button1", QStringLiteral("Сохранить"));

    for (QLabel* label : {StaticText3, StaticText4, StaticText5, StaticText6, StaticText7})
        label->setWordWrap(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(StaticText3, 0, 0);
    grid->addWidget(Edit2, 0, 1);
    grid->addWidget(UpDown2, 0, 2);
    grid->addWidget(StaticText4, 0, 3);
    grid->addWidget(Edit4, 0, 4);
    grid->addWidget(UpDown4, 0, 5);
    grid->addWidget(StaticText5, 1, 0);
    grid->addWidget(Edit3, 1, 1);
    grid->addWidget(UpDown3, 1, 2);
    grid->addWidget(StaticText6, 1, 3);
    grid->addWidget(Edit5, 1, 4);
    grid->addWidget(UpDown5, 1, 5);
    grid->addWidget(StaticText7, 2, 0);
    grid->addWidget(Edit8, 2, 1, 1, 4);
    grid->addWidget(SpeedButton1, 2, 5);
    grid->addWidget(CheckBox2, 3, 0, 1, 6);
    grid->addWidget(Button3, 4, 0, 1, 6);
    grid->setRowStretch(5, 1);
    grid->addWidget(Button2, 6, 0);
    grid->addWidget(Button1, 6, 3, 1, 3);

    QWidget* order[] = {Edit2,   UpDown2, Edit4,        UpDown4,   Edit3,   UpDown3, Edit5,
                        UpDown5, Edit8,   SpeedButton1, CheckBox2, Button3, Button2, Button1};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    for (const ScoringField& field : ScoringFields()) {
        connect(field.edit, &QLineEdit::textChanged, this,
                [this, field] { ScoringEditChange(field); });
        connect(field.spinner, qOverload<int>(&QSpinBox::valueChanged), this,
                [this, field] { ScoringSpinnerClick(field); });
    }
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
}

void TForm5::FillSettingsWindow()
{
    const AppConfig& config = config_;
    const ScoringSettings scoring = config.Scoring;
    Edit8->setText(config.PathUser);
    Edit2->setText(QString::number(scoring.rightStreakLength));
    Edit3->setText(QString::number(scoring.wrongStreakLength));
    Edit4->setText(QString::number(scoring.bonusPoints));
    Edit5->setText(QString::number(scoring.penaltyPoints));
    SetSpinnerPosition(UpDown2, scoring.rightStreakLength);
    SetSpinnerPosition(UpDown3, scoring.wrongStreakLength);
    SetSpinnerPosition(UpDown4, scoring.bonusPoints);
    SetSpinnerPosition(UpDown5, scoring.penaltyPoints);
    CheckBox2->setChecked(config.NoSound);
}

// The four scoring fields: each edit with its spinner, the least value it
// takes and the warning below that.
std::vector<TForm5::ScoringField> TForm5::ScoringFields() const
{
    const QString notNegative = QStringLiteral("Число не может быть отрицательным");
    return {
        {Edit2, UpDown2, 0, notNegative},
        {Edit3, UpDown3, 0, notNegative},
        {Edit4, UpDown4, 1, QStringLiteral("Число не может быть меньше 1")},
        // "меньще" is the message's own spelling.
        {Edit5, UpDown5, 1, QStringLiteral("Число не может быть меньще 1")},
    };
}

void TForm5::ScoringEditChange(const ScoringField& field)
{
    RunHandler([&field] { CheckEdit(field.edit, field.spinner, field.least, field.warning); });
}

void TForm5::ScoringSpinnerClick(const ScoringField& field)
{
    RunHandler([&field] { field.edit->setText(QString::number(field.spinner->value())); });
}

void TForm5::Button1Click()
{
    RunHandler([this] { SaveConfig(); });
}

void TForm5::Button2Click()
{
    RunHandler([this] {
        SetDefaultSettings(config_);
        FillSettingsWindow();
    });
}

void TForm5::Button3Click()
{
    RunHandler([] {
        const QString path = ProgramFolder() + QString::fromLatin1(kCompanionName);
        if (!FileExists(path)) {
            dialogs().message(QStringLiteral("Нет файла: ") + path);
            return;
        }
        ShellOpen(path, QString(), ProgramFolder(), 0);
        dialogs().message(QStringLiteral("Запустите снова программу"));
        dialogs().endProgram();
    });
}

void TForm5::SpeedButton1Click()
{
    RunHandler([this] {
        QString folder;
        if (BrowseFolder(this, folder))
            Edit8->setText(folder);
        else
            Edit8->clear();
    });
}

void TForm5::SaveConfig()
{
    // The keeper saves the store for ADM: no rights of the account's own are needed.
    if (!classFolder_.access->throughKeeper() && !HasAdminRights()) {
        dialogs().message(QStringLiteral("Нужно зайти с правами администратора на компьютере"));
        dialogs().endProgram();
        return;
    }

    const std::optional<qint32> values[] = {
        FieldValue(Edit2, 0, std::numeric_limits<qint32>::max()),
        FieldValue(Edit3, 0, std::numeric_limits<qint32>::max()),
        FieldValue(Edit4, 1, 50),
        FieldValue(Edit5, 1, 50),
    };
    for (const std::optional<qint32>& value : values) {
        if (!value) {
            dialogs().message(QStringLiteral("Неправильно заполненые параметры (см документацию)"));
            return;
        }
    }

    const QString folderText = Edit8->text();
    CreateFolderPath(folderText);
    if (!FolderExists(folderText)) {
        dialogs().message(QStringLiteral("Нет такой папки : ") + folderText);
        return;
    }

    ScoringSettings scoring;
    scoring.rightStreakLength = *values[0];
    scoring.wrongStreakLength = *values[1];
    scoring.bonusPoints = *values[2];
    scoring.penaltyPoints = *values[3];
    classFolder_.access->saveSettings(scoring, folderText, CheckBox2->isChecked());

    dialogs().message(QStringLiteral("Конфигурация сохранена,перезапустите программу"));
    dialogs().endProgram();
}

// The folder icon comes from the icon theme, a costly search: made at the first show.
void TForm5::showEvent(QShowEvent* event)
{
    if (SpeedButton1->icon().isNull())
        SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    QWidget::showEvent(event);
}
