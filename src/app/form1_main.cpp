#include "app/form1_main.h"

#include "accounts/ui/form4_login.h"
#include "accounts/ui/form6_new_user.h"
#include "accounts/ui/form7_password.h"
#include "admin/ui/form5_settings.h"
#include "admin/ui/form9_service.h"
#include "app/form3_about.h"
#include "app/program_windows.h"
#include "exercise/ui/exercise_controller.h"
#include "platform/handler_guard.h"
#include "platform/program_quit.h"
#include "records/number_range.h"
#include "records/ui/form11_records.h"
#include "records/ui/form12_range.h"
#include "records/ui/form8_statistics.h"
#include "ui/control_factory.h"
#include "ui/control_names.h"
#include "ui/shell_open.h"
#include "ui/spoken_notice.h"
#include "util/files.h"
#include "zelvo_version.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

namespace {

const QString kAdminFullName = QStringLiteral("Главенников Админ Конфигурович");

QFont PixelFont(const QFont& base, int pixels, bool bold)
{
    QFont font = base;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A red value text in the given pixel size, bold or not.
QLabel* MakeBigValue(QWidget* parent, const QString& name, const QRect& place, int pixels,
                     bool bold = false)
{
    QLabel* value = MakeValue(parent, name, place);
    value->setFont(PixelFont(value->font(), pixels, bold));
    return value;
}

// The buttons start disabled and never take the focus from the answer.
QPushButton* MakeIdleButton(QWidget* parent, const QString& name, const QString& text,
                            const QRect& place)
{
    QPushButton* button = MakeButton(parent, name, text, place);
    button->setEnabled(false);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QAction* MakeAction(QObject* parent, const QString& name, const QString& caption)
{
    auto* action = new QAction(caption, parent);
    action->setObjectName(name);
    return action;
}

} // namespace

TForm1::TForm1(ProgramWindows& windows, QWidget* parent) : QMainWindow(parent), windows_(windows)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zelvo   v" ZELVO_VERSION));
    createControls();
    createMenu();
    notice_ = new SpokenNotice(centralWidget() ? centralWidget() : this);
    setFixedSize(ClientSizeForOuterSize(470, 495));
    FormCreate();
}

void TForm1::createControls()
{
    auto* area = new QWidget(this);
    setCentralWidget(area);

    Label1 =
        MakeLabel(area, QStringLiteral("Label1"), QStringLiteral("Задание:"), {16, 8, 120, 16});
    StaticText1 = MakeBigValue(area, QStringLiteral("StaticText1"), {16, 26, 150, 42}, 29, true);
    StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StaticText1->setText(QStringLiteral("?"));
    StaticText2 =
        MakeLabel(area, QStringLiteral("StaticText2"), QStringLiteral("="), {176, 26, 24, 42});
    StaticText2->setFont(PixelFont(StaticText2->font(), 29, true));
    StaticText7 = MakeLabel(area, QStringLiteral("StaticText7"), QStringLiteral("Ваш ответ"),
                            {208, 8, 100, 16});
    Edit1 = new QLineEdit(area);
    Edit1->setGeometry(208, 26, 49, 42);
    Edit1->setFont(PixelFont(Edit1->font(), 29, false));
    Edit1->setEnabled(false);
    SetDesignerName(Edit1, QStringLiteral("Edit1"));
    StaticText7->setBuddy(Edit1);
    StaticText16 = MakeValue(area, QStringLiteral("StaticText16"), {16, 72, 300, 20});

    GroupBox1 = new QGroupBox(area);
    GroupBox1->setGeometry(16, 96, 140, 180);
    SetDesignerName(GroupBox1, QStringLiteral("GroupBox1"));
    // The frame shows no title; assistive technology names it by what it holds.
    GroupBox1->setAccessibleName(QStringLiteral("Клавиатура"));
    const int col[] = {10, 51, 92};
    const int row[] = {18, 49, 80, 111, 142};
    QPushButton** digits[] = {&Button1, &Button2, &Button3, &Button4, &Button5,
                              &Button6, &Button7, &Button8, &Button9};
    const char* digitTexts = "789456123";
    for (int i = 0; i < 9; ++i) {
        *digits[i] = MakeIdleButton(GroupBox1, QStringLiteral("Button%1").arg(i + 1),
                                    QString(QChar::fromLatin1(digitTexts[i])),
                                    {col[i % 3], row[i / 3], 33, 25});
    }
    Button13 = MakeIdleButton(GroupBox1, QStringLiteral("Button13"), QStringLiteral("0"),
                              {col[0], row[3], 33, 25});
    Button11 = MakeIdleButton(GroupBox1, QStringLiteral("Button11"), QStringLiteral("Ввод"),
                              {col[1], row[3], 81, 25});
    Button14 = MakeIdleButton(GroupBox1, QStringLiteral("Button14"), QStringLiteral("<-"),
                              {col[0], row[4], 33, 25});
    Button12 = MakeIdleButton(GroupBox1, QStringLiteral("Button12"), QStringLiteral("Сброс"),
                              {col[1], row[4], 81, 25});

    StaticText3 =
        MakeLabel(area, QStringLiteral("StaticText3"), QStringLiteral("ОЧКИ"), {190, 96, 100, 16});
    StaticText4 = MakeBigValue(area, QStringLiteral("StaticText4"), {190, 112, 120, 36}, 29);
    StaticText9 = MakeLabel(area, QStringLiteral("StaticText9"), QStringLiteral("Очки за ответ"),
                            {190, 152, 120, 16});
    StaticText8 = MakeBigValue(area, QStringLiteral("StaticText8"), {190, 166, 260, 78}, 67, true);
    StaticText10 = MakeLabel(area, QStringLiteral("StaticText10"), QStringLiteral("Время:"),
                             {190, 254, 50, 20});
    StaticText11 =
        MakeBigValue(area, QStringLiteral("StaticText11"), {244, 252, 110, 24}, 16, true);
    Button10 = MakeIdleButton(area, QStringLiteral("Button10"), QStringLiteral("Пауза"),
                              {366, 252, 75, 25});

    StaticText14 =
        MakeLabel(area, QStringLiteral("StaticText14"), QStringLiteral("НИК"), {16, 296, 40, 16});
    StaticText15 = MakeValue(area, QStringLiteral("StaticText15"), {64, 296, 380, 16});
    StaticText12 =
        MakeLabel(area, QStringLiteral("StaticText12"), QStringLiteral("ФИО"), {16, 320, 40, 16});
    StaticText13 = MakeValue(area, QStringLiteral("StaticText13"), {64, 320, 380, 16});
    StaticText17 = MakeLabel(area, QStringLiteral("StaticText17"),
                             QStringLiteral("Интервал упражнений "), {16, 344, 150, 16});
    StaticText18 = MakeValue(area, QStringLiteral("StaticText18"), {170, 344, 100, 16});
    StaticText5 = MakeLabel(area, QStringLiteral("StaticText5"),
                            QStringLiteral("Количество ошибок"), {16, 368, 150, 16});
    StaticText6 = MakeValue(area, QStringLiteral("StaticText6"), {170, 368, 100, 16});

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(200);
}

void TForm1::createMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    bar->setNativeMenuBar(false);

    N1 = bar->addMenu(QStringLiteral("Начать"));
    N1->setObjectName(QStringLiteral("N1"));
    N1->menuAction()->setObjectName(QStringLiteral("N1"));
    N6 = MakeAction(this, QStringLiteral("N6"), QStringLiteral("Вход со своим именем"));
    N7 = MakeAction(this, QStringLiteral("N7"), QStringLiteral("Начать Изучение"));
    N8 = MakeAction(this, QStringLiteral("N8"), QStringLiteral("Изменить пароль"));
    N9 = MakeAction(this, QStringLiteral("N9"), QStringLiteral("Новый пользователь"));
    N1->addActions({N6, N7, N8, N9});

    N2 = bar->addMenu(QStringLiteral("Сервис"));
    N2->setObjectName(QStringLiteral("N2"));
    N2->menuAction()->setObjectName(QStringLiteral("N2"));
    N10 = MakeAction(this, QStringLiteral("N10"), QStringLiteral("Статистика"));
    ADM2 = MakeAction(this, QStringLiteral("ADM2"), QStringLiteral("ADM-Сервис"));
    N11 = MakeAction(this, QStringLiteral("N11"), QStringLiteral("Таблица рекордов"));
    N2->addActions({N10, ADM2, N11});

    N4 = bar->addMenu(QStringLiteral("Установки"));
    N4->setObjectName(QStringLiteral("N4"));
    N4->menuAction()->setObjectName(QStringLiteral("N4"));
    ADM1 = MakeAction(this, QStringLiteral("ADM1"), QStringLiteral("Установки ADM"));
    N12 = MakeAction(this, QStringLiteral("N12"), QStringLiteral("Установки пользователя"));
    N4->addActions({ADM1, N12});

    // "Помощь" and "О программе" are commands of the bar itself, at its end.
    N3 = MakeAction(this, QStringLiteral("N3"), QStringLiteral("Помощь"));
    N5 = MakeAction(this, QStringLiteral("N5"), QStringLiteral("О программе"));
    bar->addAction(N3);
    bar->addAction(N5);

    // F10 opens the first menu that can be used, so that the menus are reached
    // from the keyboard alone.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, [bar] {
        for (QAction* header : bar->actions()) {
            if (header->isEnabled() && header->isVisible()) {
                bar->setActiveAction(header);
                return;
            }
        }
    });

    const std::pair<QAction*, void (TForm1::*)()> handlers[] = {
        {N3, &TForm1::N3Click},     {N5, &TForm1::N5Click},     {N6, &TForm1::N6Click},
        {N7, &TForm1::N7Click},     {N8, &TForm1::N8Click},     {N9, &TForm1::N9Click},
        {N10, &TForm1::N10Click},   {N11, &TForm1::N11Click},   {N12, &TForm1::N12Click},
        {ADM1, &TForm1::ADM1Click}, {ADM2, &TForm1::ADM2Click},
    };
    for (const auto& [action, handler] : handlers)
        connect(action, &QAction::triggered, this, handler);
}

// The window's part of the start-up; the program's state is brought up by StartUp.
void TForm1::FormCreate()
{
    StaticText18->setText(RangeCaption(NumberRange()));
    StaticText6->clear();
    ResetMainDisplays();
    ShowLoggedOutMenus();
    N9->setEnabled(true);
    N10->setEnabled(false);
}

ExerciseControls TForm1::exerciseControls()
{
    ExerciseControls c;
    c.window = this;
    c.Edit1 = Edit1;
    c.StaticText1 = StaticText1;
    c.StaticText4 = StaticText4;
    c.StaticText6 = StaticText6;
    c.StaticText8 = StaticText8;
    c.StaticText11 = StaticText11;
    c.StaticText13 = StaticText13;
    c.StaticText16 = StaticText16;
    QPushButton* byDigit[10] = {Button13, Button7, Button8, Button9, Button4,
                                Button5,  Button6, Button1, Button2, Button3};
    std::copy(std::begin(byDigit), std::end(byDigit), std::begin(c.digitButtons));
    c.Button10 = Button10;
    c.Button11 = Button11;
    c.Button12 = Button12;
    c.Button14 = Button14;
    c.GroupBox1 = GroupBox1;
    c.Timer1 = Timer1;
    c.Timer2 = Timer2;
    c.N1 = N1->menuAction();
    c.N2 = N2->menuAction();
    c.N4 = N4->menuAction();
    c.notice = notice_;
    return c;
}

void TForm1::ResetMainDisplays()
{
    StaticText8->setText(QStringLiteral("0"));
    StaticText13->clear();
    StaticText1->setText(QStringLiteral("?"));
    StaticText4->setText(QStringLiteral("0"));
    StaticText11->setText(QStringLiteral("-"));
    StaticText15->clear();
    Edit1->clear();
}

void TForm1::ShowLoggedOutMenus()
{
    N7->setEnabled(false);
    N8->setEnabled(false);
    N9->setEnabled(true);
    ADM1->setEnabled(false);
    ADM2->setEnabled(false);
}

void TForm1::ShowAdminMenus()
{
    N7->setEnabled(false);
    N8->setEnabled(true);
    N9->setEnabled(false);
    N10->setEnabled(false);
    ADM1->setEnabled(true);
    ADM2->setEnabled(true);
    StaticText15->setText(currentUser().nick);
    StaticText13->setText(kAdminFullName);
}

void TForm1::ShowPupilMenus()
{
    N7->setEnabled(true);
    N8->setEnabled(true);
    N9->setEnabled(true);
    N10->setEnabled(true);
    StaticText15->setText(currentUser().nick);
    StaticText13->setText(currentUser().profile.fullName);
}

void TForm1::SetRangeLabel(const QString& text) { StaticText18->setText(text); }

void TForm1::showWindow(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
}

void TForm1::N3Click()
{
    RunHandler(
        [] { ShellOpen(ProgramFolder() + QStringLiteral("dorvo.chm"), QString(), QString(), 0); });
}

void TForm1::N5Click() { showWindow(windows_.form3()); }
void TForm1::N6Click() { showWindow(windows_.form4()); }
void TForm1::N8Click() { showWindow(windows_.form7()); }
void TForm1::N9Click() { showWindow(windows_.form6()); }
void TForm1::N12Click() { showWindow(windows_.form12()); }
void TForm1::N7Click() { windows_.exercise().N7Click(); }

void TForm1::N10Click()
{
    RunHandler([this] { windows_.form8().ShowUserStatistics(currentUser().nick); });
}

void TForm1::N11Click()
{
    RunHandler([this] {
        windows_.form11().LoadRecordsTable();
        showWindow(windows_.form11());
    });
}

void TForm1::ADM1Click()
{
    RunHandler([this] {
        windows_.form5().FillSettingsWindow();
        showWindow(windows_.form5());
    });
}

void TForm1::ADM2Click()
{
    RunHandler([this] {
        windows_.form9().FillUserList();
        showWindow(windows_.form9());
    });
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // Closing the main window ends the program, also from inside an exercise.
    RequestQuit();
    event->accept();
}
