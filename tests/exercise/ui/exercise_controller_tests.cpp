// The exercise on a stand-in main window: the wiring of the start command,
// answer entry, corrections, pause, sounds and the end of an exercise.

#include "accounts/current_user.h"
#include "accounts/user_profile.h"
#include "config/app_config.h"
#include "exercise/exercise.h"
#include "exercise/ui/exercise_controller.h"
#include "platform/program_quit.h"
#include "platform/sound_player.h"
#include "records/number_range.h"
#include "records/result_record.h"
#include "records/ui/form11_records.h"
#include "support/exercise_wait.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"
#include "ui/spoken_notice.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace {

const QString kReady = QStringLiteral("Приготовились!   Удачи!");
const QString kHint = QStringLiteral("Введите правильный ответ");
const QString kPauseBox = QStringLiteral(
    "ПАУЗА|Нажмите OK для продолжения тренировки или Отмена для  выхода из программы");
const QString kPauseMessage = QStringLiteral("Решите текущий пример и немного отдохнем");

// The main window's controls the exercise drives, without the main window.
struct Harness {
    QWidget window;
    QLineEdit* Edit1 = new QLineEdit(&window);
    QLabel* StaticText1 = new QLabel("?", &window);
    QLabel* StaticText4 = new QLabel("0", &window);
    QLabel* StaticText6 = new QLabel(&window);
    QLabel* StaticText8 = new QLabel("0", &window);
    QLabel* StaticText11 = new QLabel("-", &window);
    QLabel* StaticText13 = new QLabel(&window);
    QLabel* StaticText16 = new QLabel(&window);
    QGroupBox* GroupBox1 = new QGroupBox(&window);
    QPushButton* digits[10] = {};
    QPushButton* Button10 = new QPushButton(QStringLiteral("Пауза"), &window);
    QPushButton* Button11 = new QPushButton(QStringLiteral("Ввод"), GroupBox1);
    QPushButton* Button12 = new QPushButton(QStringLiteral("Сброс"), GroupBox1);
    QPushButton* Button14 = new QPushButton(QStringLiteral("<-"), GroupBox1);
    QTimer* Timer1 = new QTimer(&window);
    QTimer* Timer2 = new QTimer(&window);
    QMenuBar* bar = new QMenuBar(&window);
    QMenu* N1 = bar->addMenu(QStringLiteral("Начать"));
    QMenu* N2 = bar->addMenu(QStringLiteral("Сервис"));
    QMenu* N4 = bar->addMenu(QStringLiteral("Установки"));
    SpokenNotice* notice = new SpokenNotice(&window);

    Harness()
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(Edit1);
        layout->addWidget(GroupBox1);
        auto* keys = new QVBoxLayout(GroupBox1);
        for (int d = 0; d < 10; ++d) {
            digits[d] = new QPushButton(QString::number(d), GroupBox1);
            keys->addWidget(digits[d]);
        }
        keys->addWidget(Button11);
        keys->addWidget(Button12);
        keys->addWidget(Button14);
        setKeypadEnabled(false);
        StaticText16->setFont(QFont(QString(), 8));
        // The clock is ticked by the tests through its handler only.
        Timer1->setInterval(3600 * 1000);
        Timer2->setInterval(200);
        window.show();
    }

    ExerciseControls controls()
    {
        ExerciseControls c;
        c.window = &window;
        c.Edit1 = Edit1;
        c.StaticText1 = StaticText1;
        c.StaticText4 = StaticText4;
        c.StaticText6 = StaticText6;
        c.StaticText8 = StaticText8;
        c.StaticText11 = StaticText11;
        c.StaticText13 = StaticText13;
        c.StaticText16 = StaticText16;
        for (int d = 0; d < 10; ++d)
            c.digitButtons[d] = digits[d];
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
        c.notice = notice;
        return c;
    }

    void setKeypadEnabled(bool enabled)
    {
        for (QPushButton* b : digits)
            b->setEnabled(enabled);
        for (QWidget* w :
             std::initializer_list<QWidget*>{Button10, Button11, Button12, Button14, Edit1})
            w->setEnabled(enabled);
    }

    bool keypadEnabled() const
    {
        for (QPushButton* b : digits)
            if (!b->isEnabled())
                return false;
        return Button10->isEnabled() && Button11->isEnabled() && Button12->isEnabled() &&
               Button14->isEnabled() && Edit1->isEnabled();
    }
    bool keypadDisabled() const
    {
        for (QPushButton* b : digits)
            if (b->isEnabled())
                return false;
        return !Button10->isEnabled() && !Button11->isEnabled() && !Button12->isEnabled() &&
               !Button14->isEnabled() && !Edit1->isEnabled();
    }
    bool headersEnabled() const
    {
        return N1->menuAction()->isEnabled() && N2->menuAction()->isEnabled() &&
               N4->menuAction()->isEnabled();
    }

    // Keys reach the answer field as the keyboard would send them.
    void pressKey(int key, const QString& text = QString())
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(Edit1, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(Edit1, &release);
    }
    void typeKeys(const QString& text)
    {
        for (QChar ch : text)
            pressKey(ch.toUpper().unicode(), QString(ch));
    }
    void pressEnter() { pressKey(Qt::Key_Return, QStringLiteral("\r")); }
    void typeOnKeypad(const QString& text)
    {
        for (QChar ch : text)
            digits[ch.digitValue()]->click();
    }
};

// Plays the pupil through a running exercise. Each example has a plan of
// actions: 'T' lets the clock tick, 'P' asks for a pause, 'R' enters the right
// answer by keyboard and Enter, 'W' a wrong one, 'Q' asks the program to quit;
// a pending correction is then typed on the keypad.
class Pupil {
  public:
    Pupil(Harness& h, ExerciseController& controller, QStringList plans)
        : h_(h), controller_(controller), plans_(std::move(plans))
    {
    }

    // Acts until the plans are done or the exercise is over.
    void play()
    {
        while (example_ < plans_.size() && programExercise().running() && !QuitRequested())
            step();
    }

    QStringList pointsShown;  // the points of each answer, as the notice says them
    QStringList examplesSeen; // StaticText1 at the first action of each example
    bool headersDisabledMeanwhile = true;
    bool keypadEnabledMeanwhile = true;
    QList<bool> clockRunning; // Timer1 at the first action of each example
    QStringList spoken;       // what the notice says at each example and wrong answer

  private:
    void step()
    {
        const ExerciseState& s = exerciseState();
        if (action_ == 0) {
            examplesSeen << h_.StaticText1->text();
            headersDisabledMeanwhile &= !h_.headersEnabled();
            keypadEnabledMeanwhile &= h_.keypadEnabled();
            clockRunning << h_.Timer1->isActive();
            spoken << h_.notice->text();
        }
        // A right answer or a typed correction finishes the example, and
        // the next one is shown at once.
        const QString& plan = plans_[example_];
        bool finished = false;
        if (action_ < plan.size()) {
            const QChar action = plan[action_++];
            act(action);
            finished = action == 'R';
        } else if (s.correctionPending) {
            h_.typeOnKeypad(QString::number(ExpectedValue(s)));
            finished = true;
        } else {
            ADD_FAILURE() << "the plan of example " << example_ + 1 << " leaves it unfinished";
            example_ = plans_.size();
        }
        if (finished) {
            ++example_;
            action_ = 0;
        }
    }

    void act(QChar action)
    {
        const qint32 expected = ExpectedValue(exerciseState());
        switch (action.toLatin1()) {
        case 'T':
            controller_.Timer1Timer();
            break;
        case 'P':
            h_.Button10->click();
            break;
        case 'E': // Esc asks for the pause as "Пауза" does
            QApplication::setActiveWindow(h_.Edit1->window());
            QTest::keyClick(h_.Edit1, Qt::Key_Escape);
            break;
        case 'Q':
            RequestQuit();
            break;
        case 'R':
        case 'W':
            h_.typeKeys(QString::number(action == 'R' ? expected : expected + 1));
            h_.pressEnter();
            // The answer's points as said (the last answer's figure gives way
            // to the final score at once).
            pointsShown << QRegularExpression("Очки за ответ: (\\S+)\\.")
                               .match(h_.notice->text())
                               .captured(1);
            if (action == 'W')
                spoken << h_.notice->text();
            break;
        }
    }

    Harness& h_;
    ExerciseController& controller_;
    QStringList plans_;
    int example_ = 0;
    int action_ = 0;
};

class ExerciseTest : public ZelvoTest {
  protected:
    void SetUp() override
    {
        ZelvoTest::SetUp();
        SeedRandom(20261206);
        QDir(programFolder()).mkpath("sound");
        for (const char* name : {"BONUS", "-BONUS", "ERROR", "THEEND"})
            writeFile(programFolder() + "sound/" + name + ".wav", "RIFF");

        CurrentUser& user = currentUser();
        user.nick = "pupil";
        user.profile = UserProfile();
        user.profile.fullName = QStringLiteral("Петров Пётр");
        user.profile.totalTime = 1000;
        user.profile.totalPoints = 40;
        ASSERT_TRUE(WriteProfile(user.nick, user.profile));
        h = std::make_unique<Harness>();
        h->StaticText13->setText(user.profile.fullName);
        records = std::make_unique<TForm11>(state().range, state().classFolder);
        controller = std::make_unique<ExerciseController>(
            h->controls(), programExercise(), currentUser(), appConfig(),
            [this](const ResultRecord& r) { records->ShowResultInTable(r); },
            [this]() -> SoundPlayer& { return player; });
    }

    void TearDown() override
    {
        controller.reset();
        records.reset();
        h.reset();
        ClearCurrentUser();
        ZelvoTest::TearDown();
    }

    // Starts an exercise with `target` and lets the pupil work through `plans`.
    void runExercise(const QString& target, Pupil& pupil)
    {
        dialogs.inputAnswers.push_back(target);
        controller->N7Click();
        pupil.play();
    }

    // An example of an exercise whose target is far away, for the answer
    // handlers alone. The example label shows "?" until the next example.
    void showExample(qint32 a, qint32 b, bool add)
    {
        ExerciseState& s = exerciseState();
        s.operandA = a;
        s.operandB = b;
        s.isAddition = add;
        s.answered = false;
        s.correctionPending = false;
        s.targetScore = 1000;
        s.running = true;
        h->StaticText1->setText("?");
        h->setKeypadEnabled(true);
    }
    bool nextExampleShown() const { return h->StaticText1->text() != "?"; }

    void answerWrong()
    {
        h->typeKeys(QString::number(ExpectedValue(exerciseState()) + 1));
        h->pressEnter();
        ASSERT_TRUE(exerciseState().correctionPending);
    }

    UserProfile savedProfile()
    {
        UserProfile p;
        EXPECT_TRUE(ReadProfile(currentUser().nick, p));
        return p;
    }

    QString sound(const char* name) { return programFolder() + "sound/" + name + ".wav"; }

    ScriptedDialogs dialogs;
    RecordingSoundPlayer player;
    std::unique_ptr<Harness> h;
    std::unique_ptr<TForm11> records;
    std::unique_ptr<ExerciseController> controller;
};

} // namespace

TEST_F(ExerciseTest, FullRunToTargetSixStoresTheResultAndResetsTheWindow)
{
    // 25 seconds on each example, then the right answer.
    const QString plan = QString(25, 'T') + "R";
    Pupil timed(*h, *controller, {plan, plan, plan, plan, plan});
    runExercise("6", timed);

    EXPECT_EQ(dialogs.inputPrompts,
              QStringList{"Введите число|Введите до скольки очков мы с вами работаем"});
    EXPECT_EQ(dialogs.messages, QStringList{kReady});
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("; ").toStdString();
    EXPECT_EQ(timed.pointsShown, QStringList({"+1", "+1", "+1", "+1", "+2"}));
    // The examples are the generator's, drawn in the range 0-20.
    RandomSeed seed{20261206};
    ExerciseState probe;
    QStringList examples;
    for (int i = 0; i < 5; ++i) {
        MakeTask(probe, 20, seed);
        examples << ExampleText(probe);
    }
    EXPECT_EQ(timed.examplesSeen, examples);
    EXPECT_TRUE(timed.headersDisabledMeanwhile);
    EXPECT_TRUE(timed.keypadEnabledMeanwhile);
    EXPECT_EQ(player.played, QStringList({sound("BONUS"), sound("THEEND")}));

    // The result at the end of the table of the range.
    const std::vector<ResultRecord> table = ReadResultRecords(userFolder() + "20record.config");
    ASSERT_EQ(table.size(), 1u);
    const ResultRecord& r = table[0];
    EXPECT_EQ(r.nick, "pupil");
    EXPECT_EQ(r.fullName, QStringLiteral("Петров Пётр"));
    EXPECT_EQ(r.points, 6);
    EXPECT_EQ(r.timePerExample, 125 * 100 / 6);
    EXPECT_EQ(r.errors, 0);
    EXPECT_EQ(r.finishedAt.size(), 19);
    EXPECT_EQ(QDateTime::fromString(r.finishedAt, "dd-MM-yyyy hh:mm:ss")
                      .secsTo(QDateTime::currentDateTime()) /
                  60,
              0);

    // The totals in memory and in the profile file.
    EXPECT_EQ(currentUser().profile.totalPoints, 46);
    EXPECT_EQ(currentUser().profile.totalTime, 1125);
    const UserProfile saved = savedProfile();
    EXPECT_EQ(saved.totalPoints, 46);
    EXPECT_EQ(saved.totalTime, 1125);

    // The records window shows the new row.
    EXPECT_TRUE(records->isVisible());
    ASSERT_EQ(records->selectedRow(), 1);
    EXPECT_EQ(records->gridCell(1, 1), "pupil");
    EXPECT_EQ(records->gridCell(1, 4), "6");

    // The main window is idle again; clock and error display keep their texts.
    EXPECT_EQ(h->StaticText1->text(), "?");
    EXPECT_EQ(h->StaticText4->text(), "0");
    EXPECT_EQ(h->StaticText8->text(), "6");
    EXPECT_EQ(h->Edit1->text(), "");
    EXPECT_EQ(h->StaticText11->text(), "0:02:05");
    EXPECT_EQ(h->StaticText6->text(), "");
    EXPECT_TRUE(h->headersEnabled());
    EXPECT_TRUE(h->keypadDisabled());
    EXPECT_FALSE(h->Timer1->isActive());
    EXPECT_EQ(exerciseState().score, 0);
    EXPECT_TRUE(exerciseState().exerciseEnded);
}

// A screen reader hears each example as it appears, the verdict on a wrong
// answer with the correction it demands, and the verdict on a right one with
// the next example; the last verdict comes with the end.
TEST_F(ExerciseTest, TheNoticeSpeaksEachExampleAndEachVerdict)
{
    Pupil pupil(*h, *controller, {"W", "R", "R", "R"});
    runExercise("2", pupil);
    const QStringList& e = pupil.examplesSeen;
    ASSERT_EQ(e.size(), 4);
    EXPECT_EQ(
        pupil.spoken,
        QStringList({"Пример: " + e[0],
                     "Неверно. Очки за ответ: -1. Очки: -1. Введите правильный ответ: " + e[0],
                     "Пример: " + e[1], "Верно. Очки за ответ: +1. Очки: 0. Пример: " + e[2],
                     "Верно. Очки за ответ: +1. Очки: 1. Пример: " + e[3]}));
    EXPECT_EQ(h->notice->text(), "Верно. Очки за ответ: +1. Очки: 2. Упражнение окончено.");
}

TEST_F(ExerciseTest, StartCommandChecksTheUserAndTheTarget)
{
    const QString roman = QStringLiteral(
        "Непонятное число наверное вы написали римскими цифрами , я такие числа не понимаю");
    struct Case {
        const char* nick;
        const char* typed;
        QStringList messages;
        qint32 target; // 0: no exercise starts
        int endRequests;
    };
    const Case cases[] = {
        {"ADM", "5", {QStringLiteral("ADM - администратор,Зайдите с другим пользователем")}, 0, 0},
        {"",
         "5",
         {QStringLiteral("Необходимо зайти с каким-нибудь именем (создайте пользователя)")},
         0,
         0},
        {"pupil", " 12", {kReady}, 12, 0},
        {"pupil", "$10", {kReady}, 16, 0},
        {"pupil", "12 ", {roman}, 0, 0},
        {"pupil", "12a", {roman}, 0, 0},
        {"pupil", "XII", {roman}, 0, 0},
        {"pupil", "", {roman}, 0, 0},
        {"pupil", "-5", {QStringLiteral("Вы что полный двоечник?")}, 0, 0},
        {"pupil", "$FFFFFFFF", {roman}, 0, 0},
        {"pupil", "$80000000", {roman}, 0, 0},
        {"pupil", "-$80000000", {QStringLiteral("Вы что полный двоечник?")}, 0, 0},
        {"pupil", "$7FFFFFFF", {kReady}, 2147483647, 0},
        {"pupil", "0", {QStringLiteral("Ну тогда досвидания!")}, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.nick) + " / " + c.typed);
        currentUser().nick = c.nick;
        exerciseState() = ExerciseState();
        ResetQuitRequest();
        dialogs.messages.clear();
        dialogs.inputPrompts.clear();
        dialogs.endRequests = 0;
        dialogs.inputAnswers = {c.typed};
        controller->N7Click();

        EXPECT_EQ(dialogs.messages, c.messages);
        EXPECT_EQ(dialogs.endRequests, c.endRequests);
        EXPECT_EQ(dialogs.inputPrompts.size(), QString(c.nick) == "pupil" ? 1 : 0);
        EXPECT_EQ(exerciseState().targetScore, c.target);
        EXPECT_EQ(h->keypadEnabled(), c.target > 0);
        EXPECT_EQ(programExercise().running(), c.target > 0);
        EXPECT_EQ(h->headersEnabled(), c.target == 0);
        h->setKeypadEnabled(false);
        h->Timer1->stop();
        for (QMenu* header : {h->N1, h->N2, h->N4})
            header->menuAction()->setEnabled(true);
    }
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(ExerciseTest, QuitWhileWaitingEndsTheExerciseWithoutSaving)
{
    Pupil pupil(*h, *controller, {"TR", "TR", "TQ"});
    runExercise("6", pupil);

    EXPECT_EQ(pupil.pointsShown, QStringList({"+1", "+1"}));
    EXPECT_FALSE(QFile::exists(userFolder() + "20record.config"));
    EXPECT_EQ(savedProfile().totalPoints, 40);
    EXPECT_EQ(savedProfile().totalTime, 1000);
    EXPECT_FALSE(records->isVisible());
    EXPECT_TRUE(player.played.isEmpty());
    EXPECT_EQ(dialogs.endRequests, 0);
}

// The start command returns with the first example waiting for its answer;
// nothing is written until the exercise ends.
TEST_F(ExerciseTest, StartCommandReturnsWithTheFirstExampleWaiting)
{
    dialogs.inputAnswers.push_back("3");
    controller->N7Click();

    EXPECT_TRUE(programExercise().running());
    EXPECT_EQ(h->StaticText1->text(), ExampleText(exerciseState()));
    EXPECT_EQ(h->notice->text(), "Пример: " + h->StaticText1->text());
    EXPECT_TRUE(h->Timer1->isActive());
    EXPECT_FALSE(h->headersEnabled());
    EXPECT_TRUE(h->keypadEnabled());
    EXPECT_TRUE(h->GroupBox1->isEnabled());
    EXPECT_FALSE(QFile::exists(userFolder() + "20record.config"));
    EXPECT_EQ(savedProfile().totalPoints, 40);
}

TEST_F(ExerciseTest, TimersAndPostedKeysDriveTheExercise)
{
    // The pupil acts only from the clock and hint timers, by posting key
    // events to the answer field: every step needs the message loop to wake
    // for a timer and then serve what was posted. On every third clock tick
    // an answer is typed (first a wrong one, then right ones); the correction
    // is typed on the second pulse of the hint.
    h->Timer1->setInterval(5);
    int ticks = 0;
    int answers = 0;
    int hintPulses = 0;
    QList<int> hintSizes;
    auto post = [this](const QString& keys) {
        for (QChar ch : keys) {
            const int key = ch == QLatin1Char('\r') ? int(Qt::Key_Return) : int(ch.unicode());
            QCoreApplication::postEvent(
                h->Edit1, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, QString(ch)));
        }
    };
    QObject::connect(h->Timer1, &QTimer::timeout, [&] {
        const ExerciseState& s = exerciseState();
        if (++ticks % 3 != 0 || s.correctionPending || s.answered)
            return;
        const qint32 expected = ExpectedValue(s);
        post(QString::number(answers++ == 0 ? expected + 1 : expected) + QLatin1Char('\r'));
    });
    QObject::connect(h->Timer2, &QTimer::timeout, [&] {
        hintSizes << h->StaticText16->font().pointSize();
        if (++hintPulses == 2)
            post(QString::number(ExpectedValue(exerciseState())));
    });
    dialogs.inputAnswers.push_back("1");
    controller->N7Click();
    EXPECT_TRUE(ServeWhileExerciseRuns());

    // Wrong (-1), then two right answers (+1, +1) reach the target 1.
    EXPECT_EQ(answers, 3);
    EXPECT_GE(ticks, 9);
    EXPECT_GE(hintPulses, 2);
    EXPECT_TRUE(hintSizes.contains(8) && hintSizes.contains(10));
    EXPECT_EQ(h->StaticText6->text(), "1");
    EXPECT_EQ(h->StaticText8->text(), "1");
    EXPECT_NE(h->StaticText11->text(), "-");
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("; ").toStdString();
    const std::vector<ResultRecord> table = ReadResultRecords(userFolder() + "20record.config");
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].errors, 1);
    EXPECT_EQ(table[0].points, 1);
}

TEST_F(ExerciseTest, EnterChecksTheTrimmedAnswer)
{
    enum Outcome { Right, Wrong, Ignored };
    const std::pair<const char*, Outcome> cases[] = {
        {"7", Right},  {"007", Right},   {"7  ", Right}, {"  7", Right},
        {"$7", Right}, {"7.0", Wrong},   {"abc", Wrong}, {"8", Wrong},
        {"-7", Wrong}, {"   ", Ignored}, {"", Ignored},
    };
    for (const auto& [typed, outcome] : cases) {
        SCOPED_TRACE(typed);
        exerciseState() = ExerciseState();
        showExample(3, 4, true);
        h->Timer2->stop();
        h->StaticText8->setText("0");
        h->StaticText4->setText("0");
        h->StaticText16->clear();
        player.played.clear();

        h->typeKeys(typed);
        h->pressEnter();

        const ExerciseState& s = exerciseState();
        EXPECT_EQ(h->Edit1->text(), "");
        EXPECT_EQ(nextExampleShown(), outcome == Right);
        EXPECT_EQ(s.correctionPending, outcome == Wrong);
        EXPECT_EQ(s.errorCount, outcome == Wrong ? 1 : 0);
        EXPECT_EQ(h->StaticText8->text(), outcome == Right ? "+1" : outcome == Wrong ? "-1" : "0");
        EXPECT_EQ(h->StaticText4->text(), outcome == Right ? "1" : outcome == Wrong ? "-1" : "0");
        EXPECT_EQ(h->StaticText16->text(), outcome == Wrong ? kHint : "");
        EXPECT_EQ(h->Timer2->isActive(), outcome == Wrong);
        EXPECT_EQ(player.played, outcome == Wrong ? QStringList{sound("ERROR")} : QStringList());
    }
}

TEST_F(ExerciseTest, WrongAnswersShowPenaltyAndErrorCount)
{
    showExample(5, 2, false);
    answerWrong();
    EXPECT_EQ(h->StaticText6->text(), "1");
    h->typeOnKeypad("3");
    showExample(5, 2, false);
    answerWrong();
    EXPECT_EQ(h->StaticText8->text(), "-2");
    EXPECT_EQ(h->StaticText4->text(), "-3");
    EXPECT_EQ(h->StaticText6->text(), "2");
    EXPECT_EQ(player.played, QStringList({sound("ERROR"), sound("-BONUS")}));
}

TEST_F(ExerciseTest, CorrectionIsAcceptedAtTheKeystrokeThatCompletesTheRightValue)
{
    // Each step: "k:" keyboard, "p:" keypad, "paste:" text inserted at once,
    // "<-" the key, "bs" Backspace, "reset" "Сброс", "enter".
    struct Case {
        const char* name;
        QStringList steps;
        int acceptedAt; // 1-based step; 0: never
    };
    const Case cases[] = {
        {"keypad", {"p:1", "p:2"}, 2},
        {"keyboard", {"k:1", "k:2"}, 2},
        {"blanks and leading zeros", {"k: ", "k:0", "k:1", "k:2"}, 4},
        {"hexadecimal", {"k:$", "k:C"}, 2},
        {"<- down to the right value", {"paste:125", "<-"}, 2},
        {"backspace down to the right value", {"paste:1234", "bs", "bs"}, 3},
        {"reset then the right value", {"k:9", "reset", "p:1", "p:2"}, 4},
        {"a wrong value", {"k:1", "k:3"}, 0},
        {"a fraction", {"paste:12.0"}, 0},
        {"Enter is ignored", {"k:9", "enter"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        exerciseState() = ExerciseState();
        showExample(5, 7, true);
        answerWrong();
        for (int i = 0; i < c.steps.size(); ++i) {
            const QString& step = c.steps[i];
            if (step.startsWith("k:"))
                h->typeKeys(step.mid(2));
            else if (step.startsWith("p:"))
                h->typeOnKeypad(step.mid(2));
            else if (step.startsWith("paste:"))
                h->Edit1->insert(step.mid(6));
            else if (step == "<-")
                h->Button14->click();
            else if (step == "bs")
                h->pressKey(Qt::Key_Backspace);
            else if (step == "reset")
                h->Button12->click();
            else if (step == "enter")
                h->pressEnter();
            EXPECT_EQ(nextExampleShown(), i + 1 >= c.acceptedAt && c.acceptedAt > 0)
                << "step " << i + 1;
        }
        const ExerciseState& s = exerciseState();
        const bool accepted = c.acceptedAt > 0;
        EXPECT_EQ(s.correctionPending, !accepted);
        EXPECT_EQ(h->Timer2->isActive(), !accepted);
        EXPECT_EQ(h->StaticText16->text(), accepted ? "" : kHint);
        if (accepted) {
            EXPECT_EQ(h->Edit1->text(), "");
        }
        // The correction leaves score, runs and error count as the wrong answer set them.
        EXPECT_EQ(s.score, -1);
        EXPECT_EQ(s.errorCount, 1);
        EXPECT_EQ(s.wrongRun, 1);
        EXPECT_EQ(s.rightRun, 0);
        h->Timer2->stop();
    }
}

TEST_F(ExerciseTest, HintPulsesWhileACorrectionIsPending)
{
    showExample(2, 2, true);
    answerWrong();
    QList<int> sizes;
    for (int i = 0; i < 3; ++i) {
        controller->Timer2Timer();
        sizes << h->StaticText16->font().pointSize();
    }
    EXPECT_EQ(sizes, QList<int>({10, 8, 10}));
    EXPECT_EQ(h->StaticText16->text(), kHint);

    exerciseState().correctionPending = false;
    controller->Timer2Timer();
    EXPECT_EQ(h->StaticText16->text(), "");
    EXPECT_FALSE(h->Timer2->isActive());
}

TEST_F(ExerciseTest, ClockTicksThroughItsHandler)
{
    exerciseState().elapsedSeconds = 3598;
    controller->Timer1Timer();
    EXPECT_EQ(h->StaticText11->text(), "0:59:59");
    controller->Timer1Timer();
    EXPECT_EQ(h->StaticText11->text(), "1:00:00");
    EXPECT_EQ(exerciseState().elapsedSeconds, 3600);
}

// A right answer shows the next example at once: what is typed then is
// checked against it, never against the example just finished.
TEST_F(ExerciseTest, AnAnswerAfterARightOneIsCheckedAgainstTheNextExample)
{
    showExample(3, 4, true);
    h->typeKeys("7");
    h->pressEnter();
    ASSERT_TRUE(nextExampleShown());
    EXPECT_EQ(h->StaticText1->text(), ExampleText(exerciseState()));
    h->typeKeys(QString::number(ExpectedValue(exerciseState())));
    h->pressEnter();
    const ExerciseState& s = exerciseState();
    EXPECT_EQ(s.score, 2);
    EXPECT_EQ(s.rightRun, 2);
    EXPECT_EQ(s.errorCount, 0);
}

TEST_F(ExerciseTest, PauseIsTakenWhenTheExampleIsFinishedAndOkGoesOn)
{
    // A pause asked for during a pending correction, then one with Esc before a
    // right answer.
    Pupil pupil(*h, *controller, {"WP", "ER", "R"});
    QList<bool> clockDuringPause;
    QList<bool> pendingDuringPause;
    dialogs.onPause = [&] {
        clockDuringPause << h->Timer1->isActive();
        pendingDuringPause << exerciseState().correctionPending;
    };
    runExercise("1", pupil);

    EXPECT_EQ(dialogs.shown.count(kPauseBox), 2);
    EXPECT_EQ(dialogs.messages, QStringList({kReady, kPauseMessage, kPauseMessage}));
    EXPECT_EQ(clockDuringPause, QList<bool>({false, false}));
    EXPECT_EQ(pendingDuringPause, QList<bool>({false, false}));
    EXPECT_EQ(pupil.clockRunning, QList<bool>({true, true, true}));
    EXPECT_EQ(pupil.pointsShown, QStringList({"-1", "+1", "+1"}));
    EXPECT_EQ(dialogs.endRequests, 0);
    EXPECT_EQ(ReadResultRecords(userFolder() + "20record.config").size(), 1u);
}

TEST_F(ExerciseTest, PauseCancelSavesTheTotalsAndEndsTheProgram)
{
    Pupil pupil(*h, *controller, {"TTTPW"});
    dialogs.pauseAnswers = {false};
    runExercise("6", pupil);

    EXPECT_EQ(dialogs.shown.count(kPauseBox), 1);
    EXPECT_EQ(dialogs.endRequests, 1);
    const UserProfile saved = savedProfile();
    EXPECT_EQ(saved.totalPoints, 39);
    EXPECT_EQ(saved.totalTime, 1003);
    EXPECT_FALSE(QFile::exists(userFolder() + "20record.config"));
    EXPECT_FALSE(records->isVisible());
    EXPECT_EQ(player.played, QStringList{sound("ERROR")});
}

TEST_F(ExerciseTest, SoundsPlayOnlyWhenOnAndPresentAndAFailureStillScores)
{
    struct Case {
        const char* name;
        bool right; // with streak lengths 1 every answer has its sound
        bool soundOff;
        bool filePresent;
        const char* failWith;
        const char* soundName;
        bool played;
    };
    const Case cases[] = {
        {"bonus", true, false, true, "", "BONUS", true},
        {"penalty", false, false, true, "", "-BONUS", true},
        {"sounds off", false, true, true, "", "-BONUS", false},
        {"file missing", true, false, false, "", "BONUS", false},
        {"bonus sound fails", true, false, true, "device busy", "BONUS", true},
        {"penalty sound fails", false, false, true, "device busy", "-BONUS", true},
    };
    appConfig().Scoring = {1, 1, 3, 4};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        exerciseState() = ExerciseState();
        appConfig().soundOff = c.soundOff;
        const QString file = sound(c.soundName);
        if (!c.filePresent)
            QFile::remove(file);
        player.played.clear();
        player.failWith = c.failWith;
        dialogs.errors.clear();
        showExample(4, 4, false);

        h->typeKeys(c.right ? "0" : "1");
        h->pressEnter();

        EXPECT_EQ(player.played, c.played ? QStringList{file} : QStringList());
        EXPECT_EQ(dialogs.errors, *c.failWith ? QStringList{c.failWith} : QStringList());
        EXPECT_EQ(h->StaticText8->text(), c.right ? "+3" : "-4");
        EXPECT_EQ(h->StaticText4->text(), c.right ? "3" : "-4");
        EXPECT_EQ(nextExampleShown(), c.right);
        EXPECT_EQ(exerciseState().correctionPending, !c.right);
        writeFile(file, "RIFF");
        h->Timer2->stop();
    }
}

TEST_F(ExerciseTest, FailureAtTheEndStillSavesTheTotalsAndReturnsToIdle)
{
    struct Case {
        const char* name;
        bool tableBlocked;    // the table's path is a folder: the append fails
        const char* failWith; // the end sound fails
        bool recordsShown;
        QStringList played;
    };
    const Case cases[] = {
        {"table cannot be written", true, "", false, {}},
        {"end sound fails", false, "no device", true, {"THEEND"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString table = userFolder() + "20record.config";
        QDir(table).removeRecursively();
        QFile::remove(table);
        if (c.tableBlocked)
            QDir().mkpath(table);
        exerciseState() = ExerciseState();
        currentUser().profile.totalPoints = 40;
        currentUser().profile.totalTime = 1000;
        ASSERT_TRUE(WriteProfile(currentUser().nick, currentUser().profile));
        records->hide();
        player.played.clear();
        player.failWith = c.failWith;
        dialogs.errors.clear();
        Pupil pupil(*h, *controller, {"TTR"});
        runExercise("1", pupil);

        EXPECT_EQ(dialogs.errors.size(), 1) << dialogs.errors.join("; ").toStdString();
        const UserProfile saved = savedProfile();
        EXPECT_EQ(saved.totalPoints, 41);
        EXPECT_EQ(saved.totalTime, 1002);
        EXPECT_EQ(records->isVisible(), c.recordsShown);
        QStringList played;
        for (const QString& name : c.played)
            played << sound(name.toLatin1().constData());
        EXPECT_EQ(player.played, played);
        EXPECT_TRUE(h->headersEnabled());
        EXPECT_TRUE(h->keypadDisabled());
        EXPECT_EQ(h->StaticText8->text(), "1");
        EXPECT_EQ(h->StaticText1->text(), "?");
    }
}

// A save of the totals that fails at the end is shown by the exercise window.
TEST_F(ExerciseTest, AFailedTotalsSaveAtTheEndIsShown)
{
    const QString profile = ProfilePath(currentUser().nick);
    QFile::remove(profile);
    QDir().mkpath(profile); // the profile cannot be created
    dialogs.messages.clear();
    Pupil pupil(*h, *controller, {"TTR"});
    runExercise("1", pupil);
    EXPECT_EQ(dialogs.messages.count(QStringLiteral("Ошибка записи 2   :-(")), 1)
        << dialogs.messages.join("; ").toStdString();
    EXPECT_TRUE(h->headersEnabled());
}
