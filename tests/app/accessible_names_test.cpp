// What a screen reader reads from the twelve windows is what they show, at
// every moment: before and after each change that rewrites their labels.

#include "accounts/user_profile.h"
#include "app/program_windows.h"
#include "program_test_env.h"
#include "support/accessibility.h"
#include "support/exercise_wait.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

class AccessibleNamesTest : public ProgramTest {
  protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        UserProfile anna;
        anna.fullName = QStringLiteral("Анна Иванова");
        anna.totalPoints = 40;
        anna.totalTime = 600;
        ASSERT_TRUE(WriteProfile("anna", anna));
    }

    // Every control of every window reads as it shows.
    static void ExpectAllReadAsShown(ProgramWindows& w, const char* moment)
    {
        QWidget* windows[] = {&w.form1(), &w.form2(),  &w.form3(),  &w.form4(),
                              &w.form5(), &w.form6(),  &w.form7(),  &w.form8(),
                              &w.form9(), &w.form10(), &w.form11(), &w.form12()};
        for (QWidget* window : windows) {
            EXPECT_EQ(NamesNotAsShown(window).join('\n').toStdString(), "")
                << moment << ", window " << window->metaObject()->className();
        }
    }

    static void Login(ProgramWindows& w, const QString& nick)
    {
        w.form1().N6->trigger();
        w.form4().ComboBox1->setEditText(nick);
        w.form4().Button1->click();
        ASSERT_EQ(currentUser().nick, nick);
    }
};

TEST_F(AccessibleNamesTest, EveryWindowReadsWhatItShowsThroughADrillAndTheAdministration)
{
    StartedProgram w{std::make_unique<RecordingSoundPlayer>()};
    TForm1& main = w.form1();
    ExpectAllReadAsShown(w, "start");
    // Empty values read empty, not the caption beside them.
    const std::pair<QLabel*, const char*> atStart[] = {
        {main.StaticText1, "?"},  {main.StaticText4, "0"},     {main.StaticText8, "0"},
        {main.StaticText11, "-"}, {main.StaticText18, "0-20"}, {main.StaticText15, ""},
        {main.StaticText13, ""},  {main.StaticText6, ""},      {main.StaticText16, ""}};
    for (const auto& [label, text] : atStart)
        EXPECT_EQ(AccessibleName(label).toStdString(), text) << label->objectName().toStdString();

    Login(w, "anna");
    ExpectAllReadAsShown(w, "pupil login");
    EXPECT_EQ(AccessibleName(main.StaticText15).toStdString(), "anna");
    EXPECT_EQ(AccessibleName(main.StaticText13).toStdString(), "Анна Иванова");

    // Inside the exercise: the first example is answered wrong, the clock
    // ticks, the correction is typed; every later example is answered right.
    int checkedExamples = 0;
    QTimer pupil;
    QObject::connect(&pupil, &QTimer::timeout, [&] {
        ExerciseState& s = exerciseState();
        if (!main.Edit1->isEnabled() || s.answered || main.StaticText1->text() == "?")
            return;
        ExpectAllReadAsShown(w, "example shown");
        EXPECT_EQ(AccessibleName(main.StaticText1).toStdString(), ExampleText(s).toStdString());
        const QString right = QString::number(ExpectedValue(s));
        if (checkedExamples++ == 0) {
            main.Edit1->setText(QString::number(ExpectedValue(s) + 1));
            main.Button11->click();
            ExpectAllReadAsShown(w, "wrong answer");
            EXPECT_EQ(AccessibleName(main.StaticText16).toStdString(), "Введите правильный ответ");
            EXPECT_EQ(AccessibleName(main.StaticText6).toStdString(), "1");
            EXPECT_EQ(AccessibleName(main.StaticText4).toStdString(), "-1");
            EXPECT_EQ(AccessibleName(main.StaticText8).toStdString(), "-1");

            w.exercise().Timer1Timer();
            ExpectAllReadAsShown(w, "clock tick");
            EXPECT_TRUE(AccessibleName(main.StaticText11).startsWith("0:00:"));
        }
        main.Edit1->setText(right);
        if (!s.answered)
            main.Button11->click();
        ExpectAllReadAsShown(w, "answer");
    });
    pupil.start(5);
    dialogs.inputAnswers.push_back("2");
    main.N7->trigger();
    EXPECT_TRUE(ServeWhileExerciseRuns());
    pupil.stop();
    ASSERT_EQ(checkedExamples, 4); // -1, then +1 three times
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("; ").toStdString();

    ASSERT_TRUE(w.form11().isVisible());
    ExpectAllReadAsShown(w, "end of the exercise");
    EXPECT_EQ(AccessibleName(main.StaticText8).toStdString(), "2");
    EXPECT_EQ(AccessibleName(main.StaticText1).toStdString(), "?");

    main.N10->trigger();
    ASSERT_TRUE(w.form8().isVisible());
    ExpectAllReadAsShown(w, "statistics");
    EXPECT_EQ(AccessibleName(w.form8().StaticText2).toStdString(), "42");
    EXPECT_EQ(AccessibleName(w.form8().StaticText8).toStdString(), "anna");
    EXPECT_EQ(AccessibleName(w.form8().StaticText10).toStdString(), "Анна Иванова");

    Login(w, "ADM");
    ExpectAllReadAsShown(w, "administrator login");
    EXPECT_EQ(AccessibleName(main.StaticText13).toStdString(), "Главенников Админ Конфигурович");

    main.ADM2->trigger();
    w.form9().ComboBox1->setEditText("anna");
    ExpectAllReadAsShown(w, "service window filled");
    w.form9().Button4->click();
    ASSERT_TRUE(w.form10().isVisible());
    main.ADM1->trigger();
    ExpectAllReadAsShown(w, "summary and settings filled");
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("; ").toStdString();
}

} // namespace
