// The exercise on a stand-in main window: start command, the loop, answer
// entry, corrections, pause, sounds and the end of an exercise.

#include "accounts/current_user.h"
#include "accounts/user_profile.h"
#include "admin/app_config.h"
#include "exercise/exercise_controller.h"
#include "exercise/exercise_state.h"
#include "platform/program_quit.h"
#include "platform/sound_player.h"
#include "records/form11_records.h"
#include "records/number_range.h"
#include "records/result_record.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"

#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>
#include <memory>

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
        return c;
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

// Plays the pupil from inside the exercise loop. Each example has a plan of
// actions: 'T' lets the clock tick, 'P' asks for a pause, 'R' enters the right
// answer by keyboard and Enter, 'W' a wrong one; a pending correction is then
// typed on the keypad.
class Pupil : public QObject {
public:
    Pupil(Harness& h, ExerciseController& controller, QStringList plans)
        : h_(h), controller_(controller), plans_(std::move(plans))
    {
        timer_.setInterval(0);
        connect(&timer_, &QTimer::timeout, this, &Pupil::step);
    }

    void start() { timer_.start(); }

    QStringList pointsShown;  // StaticText8 after each answer
    QStringList examplesSeen; // StaticText1 at the first action of each example
    bool headersDisabledMeanwhile = true;
    bool keypadEnabledMeanwhile = true;

private:
    void step()
    {
        const ExerciseState& s = exerciseState();
        if (s.answered || example_ >= plans_.size())
            return;
        if (action_ == 0) {
            examplesSeen << h_.StaticText1->text();
            headersDisabledMeanwhile &= !h_.headersEnabled();
            keypadEnabledMeanwhile &= h_.keypadEnabled();
        }
        const QString& plan = plans_[example_];
        if (action_ < plan.size()) {
            act(plan[action_++]);
        } else if (s.correctionPending) {
            h_.typeOnKeypad(QString::number(ExpectedValue(s)));
        }
        if (exerciseState().answered) {
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
        case 'R':
        case 'W':
            h_.typeKeys(QString::number(action == 'R' ? expected : expected + 1));
            h_.pressEnter();
            pointsShown << h_.StaticText8->text();
            break;
        }
    }

    Harness& h_;
    ExerciseController& controller_;
    QStringList plans_;
    int example_ = 0;
    int action_ = 0;
    QTimer timer_;
};

class ExerciseTest : public ZelvoTest {
protected:
    void SetUp() override
    {
        ZelvoTest::SetUp();
        exerciseState() = ExerciseState();
        currentRange() = NumberRange();
        ExerciseController::SetPollInterval(1);
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
        records = std::make_unique<TForm11>();
        controller = std::make_unique<ExerciseController>(h->controls(), *records, player);
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
        dialogs.onMessage = [&pupil](const QString& text) {
            if (text == kReady)
                pupil.start();
        };
        controller->N7Click();
    }

    // An example shown outside the loop, for the answer handlers alone.
    void showExample(qint32 a, qint32 b, bool add)
    {
        ExerciseState& s = exerciseState();
        s.operandA = a;
        s.operandB = b;
        s.isAddition = add;
        s.answered = false;
        s.correctionPending = false;
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
    EXPECT_EQ(timed.examplesSeen.size(), 5);
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
                  .secsTo(QDateTime::currentDateTime()) / 60,
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
