// The whole drill through the program's real windows: a new pupil is created,
// logs in, picks the range 0-9 and works up to a target of 6.

#include "accounts/user_profile.h"
#include "app/program_windows.h"
#include "config/app_config.h"
#include "keeper/keeper_client.h"
#include "program_test_env.h"
#include "records/result_record.h"
#include "support/exercise_wait.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class WholeDrillTest : public ProgramTest {
  protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        QDir(programFolder()).mkpath("sound");
        for (const char* name : {"BONUS.wav", "-BONUS.wav", "ERROR.wav", "THEEND.wav"})
            writeFile(programFolder() + "sound/" + name, "RIFF");
    }

    // Gives "anna" a profile with an empty password and logs her in.
    static void LoginAnna(ProgramWindows& w)
    {
        UserProfile profile;
        profile.fullName = "Анна";
        ASSERT_TRUE(WriteProfile("anna", profile));
        w.form4().ComboBox1->setEditText("anna");
        w.form4().Button1->click();
        ASSERT_EQ(currentUser().nick, "anna");
    }

    // A new pupil is created, logs in, picks 0-9 and works up to 6.
    void RunDrill(bool throughKeeper = false);

    // Types the right answer of the example on the keypad and presses "Ввод".
    static void AnswerOnKeypad(TForm1& form)
    {
        const QString answer = QString::number(ExpectedValue(exerciseState()));
        QPushButton* byDigit[] = {form.Button13, form.Button7, form.Button8, form.Button9,
                                  form.Button4,  form.Button5, form.Button6, form.Button1,
                                  form.Button2,  form.Button3};
        for (QChar digit : answer)
            byDigit[digit.digitValue()]->click();
        form.Button11->click();
    }
};

TEST_F(WholeDrillTest, PupilWorksUpToTheTargetAndFindsTheResultInTheTable) { RunDrill(); }

// The same drill in a class folder: every step goes through the keeper.
class KeeperDrillTest : public WholeDrillTest {
  protected:
    void SetUp() override
    {
        WholeDrillTest::SetUp();
        const QByteArray folder = QFile::encodeName(userFolder());
        if (chown(folder.constData(), 0, getegid()) != 0 || chmod(folder.constData(), 0770) != 0)
            GTEST_SKIP() << "the test's folder cannot be given to root";
        qputenv("ZELVO_KEEPER", ZELVO_KEEPER_PATH);
    }
    void TearDown() override
    {
        qunsetenv("ZELVO_KEEPER");
        WholeDrillTest::TearDown();
    }
};

TEST_F(KeeperDrillTest, PupilWorksUpToTheTargetThroughTheKeeper) { RunDrill(true); }

void WholeDrillTest::RunDrill(bool throughKeeper)
{
    auto* player = new RecordingSoundPlayer;
    StartedProgram w{std::unique_ptr<SoundPlayer>(player)};
    appConfig().soundOff = false;
    ASSERT_EQ(dynamic_cast<KeeperClient*>(&classFolder()) != nullptr, throughKeeper);

    w.form1().N9->trigger();
    w.form6().Edit1->setText("  ivan ");
    w.form6().Edit2->setText("Иван Петров");
    w.form6().Edit3->setText("пароль");
    w.form6().Edit4->setText("пароль");
    w.form6().Button1->click();
    ASSERT_EQ(dialogs.messages, QStringList{"Пользователь создан"});
    EXPECT_EQ(w.form4().nickList().last(), "ivan");

    w.form1().N6->trigger();
    w.form4().ComboBox1->setEditText("ivan");
    w.form4().Edit1->setText("ПАРОЛЬ");
    w.form4().Button1->click();
    ASSERT_EQ(currentUser().nick, "ivan");
    EXPECT_TRUE(w.form1().N7->isEnabled());
    EXPECT_EQ(w.form1().StaticText13->text(), "Иван Петров");

    w.form1().N12->trigger();
    w.form12().RadioButton1->setChecked(true);
    w.form12().Button1->click();
    EXPECT_EQ(w.form1().StaticText18->text(), "0-9");

    // The pupil answers from inside the exercise's own message loop.
    QTimer pupil;
    QObject::connect(&pupil, &QTimer::timeout, [&] {
        if (w.form1().Edit1->isEnabled() && !exerciseState().answered &&
            w.form1().StaticText1->text() != "?")
            AnswerOnKeypad(w.form1());
    });
    pupil.start(2);
    dialogs.inputAnswers.push_back("6");
    dialogs.messages.clear();
    w.form1().N7->trigger();
    EXPECT_TRUE(ServeWhileExerciseRuns());
    pupil.stop();

    EXPECT_EQ(dialogs.messages, QStringList{"Приготовились!   Удачи!"});
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(dialogs.inputPrompts,
              QStringList{"Введите число|Введите до скольки очков мы с вами работаем"});
    EXPECT_EQ(player->played, (QStringList{programFolder() + "sound/BONUS.wav",
                                           programFolder() + "sound/THEEND.wav"}));

    // The result went to the table of 0-9 only, and the totals to the profile.
    EXPECT_EQ(readFile(userFolder() + "9record.config").size(), 780);
    EXPECT_FALSE(FileExists(userFolder() + "20record.config"));
    UserProfile saved;
    ASSERT_TRUE(ReadProfile("ivan", saved));
    EXPECT_EQ(saved.totalPoints, 6);
    EXPECT_EQ(saved.fullName, "Иван Петров");

    // The records window is open on the new row.
    EXPECT_TRUE(w.form11().isVisible());
    EXPECT_EQ(w.form11().windowTitle(), "Таблица рекордов в интервале (0-9)");
    ASSERT_EQ(w.form11().selectedRow(), 1);
    EXPECT_EQ(w.form11().gridCell(1, 1), "ivan");
    EXPECT_EQ(w.form11().gridCell(1, 4), "6");

    // The main window is idle again and shows the final score.
    EXPECT_EQ(w.form1().StaticText8->text(), "6");
    EXPECT_EQ(w.form1().StaticText1->text(), "?");
    EXPECT_EQ(w.form1().StaticText4->text(), "0");
    EXPECT_TRUE(w.form1().N1->menuAction()->isEnabled());
    EXPECT_FALSE(w.form1().Button11->isEnabled());
    EXPECT_FALSE(w.form1().Edit1->isEnabled());
}

TEST_F(WholeDrillTest, ClosingTheMainWindowEndsAWaitingExerciseWithoutSaving)
{
    StartedProgram w{std::make_unique<RecordingSoundPlayer>()};
    LoginAnna(w);

    dialogs.inputAnswers.push_back("5");
    QTimer::singleShot(20, &w.form1(), [&] { w.form1().close(); });
    w.form1().N7->trigger();
    EXPECT_TRUE(ServeWhileExerciseRuns());

    EXPECT_FALSE(FileExists(userFolder() + "20record.config"));
    UserProfile saved;
    ASSERT_TRUE(ReadProfile("anna", saved));
    EXPECT_EQ(saved.totalPoints, 0);
    EXPECT_EQ(saved.totalTime, 0);
}

TEST_F(WholeDrillTest, StatisticsOfAProfileCutShortIsReportedAsAnError)
{
    StartedProgram w{std::make_unique<RecordingSoundPlayer>()};
    LoginAnna(w);
    ASSERT_TRUE(w.form1().N10->isEnabled());

    writeFile(ProfilePath("anna"), QByteArray(100, '\0'));
    w.form1().N10->trigger();
    EXPECT_EQ(dialogs.errors, QStringList{"Read beyond end of file"});
    EXPECT_FALSE(w.form8().isVisible());
}

TEST_F(WholeDrillTest, OnlyHelpAndAboutAreUsableWhileAnExerciseRuns)
{
    StartedProgram w{std::make_unique<RecordingSoundPlayer>()};
    LoginAnna(w);

    bool checked = false;
    QTimer::singleShot(10, &w.form1(), [&] {
        EXPECT_FALSE(w.form1().N1->menuAction()->isEnabled());
        EXPECT_FALSE(w.form1().N2->menuAction()->isEnabled());
        EXPECT_FALSE(w.form1().N4->menuAction()->isEnabled());
        EXPECT_TRUE(w.form1().N3->isEnabled());
        EXPECT_TRUE(w.form1().N5->isEnabled());
        checked = true;
        w.form1().close();
    });
    dialogs.inputAnswers.push_back("3");
    w.form1().N7->trigger();
    EXPECT_TRUE(ServeWhileExerciseRuns());
    EXPECT_TRUE(checked);
}

} // namespace
