// Every control of the twelve windows keeps its designer name, as objectName
// and as accessibleDescription (the accessibility bus shows no object name),
// so that screen readers and end-to-end drivers find it; and it reads what it
// shows. One table of the windows and their controls.

#include "program_test_env.h"
#include "support/accessibility.h"

#include <QAccessible>
#include <QAction>
#include <QMenuBar>
#include <QTimer>
#include <vector>

namespace {

struct Control {
    const char* name;
    // What it reads (ControlTitle: a list or edit the label naming it) where
    // the window shows a fixed text; null for values that change, pictures
    // and grids, which are held to reading what they show only.
    const char* reads = nullptr;
};

struct Window {
    const char* form;
    QWidget& (*make)(ProgramWindows&);
    std::vector<Control> controls;
};

// The four scoring rows of the settings window name their edit and spinner.
const char* const kRightRun = "За сколько подряд правильных  ответов";
const char* const kWrongRun = "За сколько подряд неправильных  ответов";
const char* const kBonus = "Сколько давать очков";
const char* const kPenalty = "Сколько Вычитать очков";
const char* const kFolder = "Папка конфигурации пользователей";
const char* const kChooseUser = "Выберите пользователя";

const Window kWindows[] = {
    {"TForm1",
     [](ProgramWindows& w) -> QWidget& { return w.form1(); },
     {{"Label1", "Задание:"},
      {"StaticText1"},
      {"StaticText2", "="},
      {"StaticText7", "Ваш ответ"},
      {"Edit1", "Ваш ответ"},
      {"StaticText16"},
      {"GroupBox1"},
      {"Button1", "7"},
      {"Button2", "8"},
      {"Button3", "9"},
      {"Button4", "4"},
      {"Button5", "5"},
      {"Button6", "6"},
      {"Button7", "1"},
      {"Button8", "2"},
      {"Button9", "3"},
      {"Button13", "0"},
      {"Button11", "Ввод"},
      {"Button14", "<-"},
      {"Button12", "Сброс"},
      {"StaticText3", "ОЧКИ"},
      {"StaticText4"},
      {"StaticText9", "Очки за ответ"},
      {"StaticText8"},
      {"StaticText10", "Время:"},
      {"StaticText11"},
      {"Button10", "Пауза"},
      {"StaticText14", "НИК"},
      {"StaticText15"},
      {"StaticText12", "ФИО"},
      {"StaticText13"},
      {"StaticText17", "Интервал упражнений "},
      {"StaticText18"},
      {"StaticText5", "Количество ошибок"},
      {"StaticText6"},
      {"Timer1"},
      {"Timer2"},
      {"MainMenu1"},
      {"N1", "Начать"},
      {"N6", "Вход со своим именем"},
      {"N7", "Начать Изучение"},
      {"N8", "Изменить пароль"},
      {"N9", "Новый пользователь"},
      {"N2", "Сервис"},
      {"N10", "Статистика"},
      {"ADM2", "ADM-Сервис"},
      {"N11", "Таблица рекордов"},
      {"N4", "Установки"},
      {"ADM1", "Установки ADM"},
      {"N12", "Установки пользователя"},
      {"N3", "Помощь"},
      {"N5", "О программе"}}},
    // Carries the sound player, which is no control.
    {"TForm2", [](ProgramWindows& w) -> QWidget& { return w.form2(); }, {}},
    {"TForm3",
     [](ProgramWindows& w) -> QWidget& { return w.form3(); },
     {{"Image1"}, {"Label1"}, {"Label2"}}},
    {"TForm4",
     [](ProgramWindows& w) -> QWidget& { return w.form4(); },
     {{"StaticText1", "Ник"},
      {"ComboBox1", "Ник"},
      {"StaticText2", "Пароль"},
      {"Edit1", "Пароль"},
      {"Button1", "Войти"}}},
    {"TForm5",
     [](ProgramWindows& w) -> QWidget& { return w.form5(); },
     {{"StaticText3", kRightRun},
      {"Edit2", kRightRun},
      {"UpDown2", kRightRun},
      {"StaticText4", kBonus},
      {"Edit4", kBonus},
      {"UpDown4", kBonus},
      {"StaticText5", kWrongRun},
      {"Edit3", kWrongRun},
      {"UpDown3", kWrongRun},
      {"StaticText6", kPenalty},
      {"Edit5", kPenalty},
      {"UpDown5", kPenalty},
      {"StaticText7", kFolder},
      {"Edit8", kFolder},
      {"SpeedButton1"},
      {"CheckBox2", "Не проигрывать звуки"},
      {"Button3", "Дать этой программе администраторские права"},
      {"Button2", "Выставить по умолчанию"},
      {"Button1", "Сохранить"}}},
    {"TForm6",
     [](ProgramWindows& w) -> QWidget& { return w.form6(); },
     {{"StaticText1", "Ник"},
      {"Edit1", "Ник"},
      {"StaticText3", "Пароль"},
      {"Edit3", "Пароль"},
      {"StaticText4", "Повтор пароля"},
      {"Edit4", "Повтор пароля"},
      {"StaticText2", "ФИО"},
      {"Edit2", "ФИО"},
      {"Button1", "Создать пользователя"}}},
    {"TForm7",
     [](ProgramWindows& w) -> QWidget& { return w.form7(); },
     {{"StaticText1", "Старый пароль"},
      {"Edit1", "Старый пароль"},
      {"StaticText2", "Новый пароль"},
      {"Edit2", "Новый пароль"},
      {"StaticText3", "Повтор нового пароля"},
      {"Edit3", "Повтор нового пароля"},
      {"Button1", "Изменить"}}},
    {"TForm8",
     [](ProgramWindows& w) -> QWidget& { return w.form8(); },
     // A value reads its value: nothing before it is filled.
     {{"StaticText1", "Общее количество очков"},
      {"StaticText2", ""},
      {"StaticText3", "Общее время"},
      {"StaticText4", ""},
      {"StaticText5", "Скорость (очков в минуту)"},
      {"StaticText6", ""},
      {"StaticText7", "Ник"},
      {"StaticText8", ""},
      {"StaticText9", "ФИО"},
      {"StaticText10", ""}}},
    {"TForm9",
     [](ProgramWindows& w) -> QWidget& { return w.form9(); },
     {{"Button4", "Сводная таблица результатов по пользователям"},
      {"Button3", "Отправить ярлык на рабочий стол"},
      {"Button6", "Сбросить таблицу рекордов"},
      {"GroupBox1", "Отдельный пользователь"},
      {"StaticText1", kChooseUser},
      {"ComboBox1", kChooseUser},
      {"Button1", "Посмотреть статистику"},
      {"Button5", "Удалить пользователя"},
      {"Button2", "Обнулить пароль"}}},
    {"TForm10", [](ProgramWindows& w) -> QWidget& { return w.form10(); }, {{"StringGrid1"}}},
    {"TForm11",
     [](ProgramWindows& w) -> QWidget& { return w.form11(); },
     {{"StringGrid1"},
      {"StaticText1", "Time - время затраченное "},
      {"StaticText2", "на один пример "},
      {"StaticText3", "Кол-во - Количество"},
      {"StaticText4", "набранных очков"},
      {"GroupBox1", "Сортировка"},
      {"RadioButton1", "по времени"},
      {"RadioButton2", "По дате"},
      {"RadioButton3", "По NikName"},
      {"RadioButton4", "По фамилии"},
      {"Button1", "OK"}}},
    {"TForm12",
     [](ProgramWindows& w) -> QWidget& { return w.form12(); },
     {{"StaticText1", "Укажите в каком промежутке чисел будем упражнятся"},
      {"RadioButton1", "0-9"},
      {"RadioButton2", "0-20"},
      {"RadioButton3", "0-99"},
      {"RadioButton4", "0-999"},
      {"Button1", "OK"}}},
};

QString Caption(QString text) { return text.remove(QLatin1Char('&')); }

using DesignerNamesTest = ProgramTest;

TEST_F(DesignerNamesTest, EveryControlOfEveryWindowCarriesItsDesignerNameAndReadsWhatItShows)
{
    StartedProgram program;
    for (const Window& window : kWindows) {
        QWidget& form = window.make(program);
        QStringList listed;
        for (const Control& c : window.controls) {
            SCOPED_TRACE(std::string(window.form) + " " + c.name);
            const QString name = QString::fromLatin1(c.name);
            listed << name;
            // A menu item: its caption is what the menu reads.
            const QList<QAction*> items = form.findChildren<QAction*>(name);
            if (!items.isEmpty()) {
                ASSERT_EQ(items.size(), 1);
                const QString reading = MenuItemReading(items.front());
                EXPECT_EQ(reading.toStdString(), Caption(items.front()->text()).toStdString());
                if (c.reads) {
                    EXPECT_EQ(reading.toStdString(), c.reads);
                }
                continue;
            }
            const QList<QObject*> found = form.findChildren<QObject*>(name);
            ASSERT_EQ(found.size(), 1) << "controls of that name in the window";
            QObject* object = found.front();
            // Nothing a screen reader meets as a control of its own: the
            // timers, and the menu bar, whose items are checked one by one.
            if (qobject_cast<QTimer*>(object) || qobject_cast<QMenuBar*>(object))
                continue;
            auto* control = qobject_cast<QWidget*>(object);
            ASSERT_TRUE(control);
            EXPECT_EQ(control->accessibleDescription().toStdString(), c.name);
            EXPECT_EQ(QAccessible::queryAccessibleInterface(control)
                          ->text(QAccessible::Description)
                          .toStdString(),
                      c.name);
            EXPECT_EQ(ReadingFault(control).toStdString(), "");
            if (c.reads) {
                EXPECT_EQ(ControlTitle(control).toStdString(), c.reads);
            }
        }
        // The table lists every control that carries a designer name.
        for (QWidget* control : form.findChildren<QWidget*>()) {
            if (!control->accessibleDescription().isEmpty()) {
                EXPECT_TRUE(listed.contains(control->objectName()))
                    << window.form << " " << control->objectName().toStdString()
                    << " is missing from the table";
            }
        }
    }
}

} // namespace
