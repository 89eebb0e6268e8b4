#include "exercise/ui/exercise_controller.h"

#include "accounts/current_user.h"
#include "config/app_config.h"
#include "exercise/exercise_state.h"
#include "exercise/scoring.h"
#include "keeper/class_folder_access.h"
#include "keeper/pending_results.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/handler_guard.h"
#include "platform/message_wait.h"
#include "platform/program_quit.h"
#include "platform/sound_player.h"
#include "records/number_range.h"
#include "records/result_record.h"
#include "ui/control_factory.h"
#include "ui/spoken_notice.h"
#include "util/files.h"
#include "util/number.h"
#include "util/text.h"

#include <QAction>
#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <optional>

namespace {

// The waiting loop looks at the answered flag at least this often.
const int kWakeInterval = 100;

const int kFieldCapacity = 255;

} // namespace

ExerciseController::ExerciseController(const ExerciseControls& controls,
                                       std::function<void(const ResultRecord&)> showResult,
                                       std::function<SoundPlayer&()> player, QObject* parent)
    : QObject(parent), c_(controls), showResult_(std::move(showResult)), player_(std::move(player))
{
    using Handler = void (ExerciseController::*)();
    const Handler digitHandlers[10] = {
        &ExerciseController::Button13Click, &ExerciseController::Button7Click,
        &ExerciseController::Button8Click,  &ExerciseController::Button9Click,
        &ExerciseController::Button4Click,  &ExerciseController::Button5Click,
        &ExerciseController::Button6Click,  &ExerciseController::Button1Click,
        &ExerciseController::Button2Click,  &ExerciseController::Button3Click};
    for (int digit = 0; digit < 10; ++digit)
        connect(c_.digitButtons[digit], &QPushButton::clicked, this, digitHandlers[digit]);
    connect(c_.Button14, &QPushButton::clicked, this, &ExerciseController::Button14Click);
    connect(c_.Button12, &QPushButton::clicked, this, &ExerciseController::Button12Click);
    connect(c_.Button11, &QPushButton::clicked, this, &ExerciseController::Button11Click);
    connect(c_.Button10, &QPushButton::clicked, this, &ExerciseController::Button10Click);
    connect(c_.Edit1, &QLineEdit::textChanged, this, &ExerciseController::Edit1Change);
    connect(c_.Edit1, &QLineEdit::returnPressed, this, [this] { Edit1KeyPress(QChar(13)); });
    connect(c_.Timer1, &QTimer::timeout, this, &ExerciseController::Timer1Timer);
    connect(c_.Timer2, &QTimer::timeout, this, &ExerciseController::Timer2Timer);
}

void ExerciseController::N7Click()
{
    RunHandler([this] {
        const QString nick = currentUser().nick;
        if (IsAdminNick(nick)) {
            dialogs().message(QStringLiteral("ADM - администратор,Зайдите с другим пользователем"));
            return;
        }
        if (nick.isEmpty()) {
            dialogs().message(kLoginNeededMessage);
            return;
        }
        ExerciseState& s = exerciseState();
        s.elapsedSeconds = 0;
        const QString answer = dialogs().inputBox(
            QStringLiteral("Введите число"),
            QStringLiteral("Введите до скольки очков мы с вами работаем"), QString());
        const std::optional<qint32> target = ParseNumber(answer);
        if (!target) {
            dialogs().message(QStringLiteral("Непонятное число наверное вы написали римскими "
                                             "цифрами , я такие числа не понимаю"));
            return;
        }
        if (*target < 0) {
            dialogs().message(QStringLiteral("Вы что полный двоечник?"));
            return;
        }
        if (*target == 0) {
            dialogs().message(QStringLiteral("Ну тогда досвидания!"));
            dialogs().endProgram();
            return;
        }
        SetExerciseControlsEnabled(true);
        dialogs().message(QStringLiteral("Приготовились!   Удачи!"));
        s.errorCount = 0;
        s.targetScore = *target;
        s.rightRun = 0;
        s.wrongRun = 0;
        // A pause or correction left over from an exercise that ended abnormally
        // must not carry into this one.
        s.correctionPending = false;
        s.pauseRequested = false;
        c_.Timer1->start();
        s.answered = false;
        RunExercise();
    });
}

void ExerciseController::RunExercise()
{
    ExerciseState& s = exerciseState();
    s.score = 0;
    s.exerciseEnded = false;
    SetMenuHeadersEnabled(false);
    c_.GroupBox1->setEnabled(true);
    while (!s.exerciseEnded) {
        MakeTask();
        c_.StaticText1->setText(ExampleText(s));
        Say(spokenVerdict_ + QStringLiteral("Пример: ") + ExampleText(s));
        spokenVerdict_.clear();
        if (!WaitForAnswer()) {
            // The program is ending: leave at once and save nothing.
            c_.Timer1->stop();
            c_.Timer2->stop();
            return;
        }
        if (s.score >= s.targetScore) {
            FinishExercise();
            s.exerciseEnded = true;
        }
    }
    ResetMainWindow();
}

// Serves the window messages until the example is finished; false when the
// program is asked to end meanwhile.
bool ExerciseController::WaitForAnswer()
{
    ExerciseState& s = exerciseState();
    s.answered = false;
    ProcessPendingMessages();
    ServeMessagesUntil([&] { return s.answered || QuitRequested() || programEnding_; },
                       kWakeInterval);
    return !QuitRequested() && !programEnding_;
}

// The end of an exercise: the result goes to the records table, the totals to
// the profile, the records window opens on the new row and the end sound plays.
// A screen reader hears the last verdict and the end before the records window.
// An error that travels is reported; the totals are saved all the same, and
// the records window and the end sound are left out.
void ExerciseController::FinishExercise()
{
    ExerciseState& s = exerciseState();
    c_.Timer1->stop();
    Say(spokenVerdict_ + QStringLiteral("Упражнение окончено."));
    spokenVerdict_.clear();

    ResultRecord record;
    record.nick = currentUser().nick.left(kFieldCapacity);
    record.fullName = c_.StaticText13->text().left(kFieldCapacity);
    record.timePerExample = TimePerExample(s.elapsedSeconds, s.score);
    record.points = s.score;
    record.errors = s.errorCount;
    record.finishedAt = FinishedAtText(QDateTime::currentDateTime());

    bool ok = RunHandler([&] { AppendOrKeepResult(currentRange().rangeText, record); });
    AddToCurrentTotals(s.elapsedSeconds, s.score);
    ok = RunHandler([] { SaveCurrentTotals(); }) && ok;
    if (ok)
        ok = RunHandler([&] { showResult_(record); });
    if (ok)
        PlayIfPresent(QString::fromLatin1(kEndSound));
}

// Back to idle; the large points figure shows the exercise's final score.
void ExerciseController::ResetMainWindow()
{
    ExerciseState& s = exerciseState();
    c_.StaticText8->setText(QStringLiteral("0"));
    c_.StaticText1->setText(QStringLiteral("?"));
    c_.StaticText4->setText(QStringLiteral("0"));
    c_.Edit1->clear();
    c_.StaticText8->setText(QString::number(s.score));
    SetMenuHeadersEnabled(true);
    s.score = 0;
    SetExerciseControlsEnabled(false);
}

void ExerciseController::SetExerciseControlsEnabled(bool enabled)
{
    for (QPushButton* button : c_.digitButtons)
        button->setEnabled(enabled);
    for (QPushButton* button : {c_.Button14, c_.Button11, c_.Button12, c_.Button10})
        button->setEnabled(enabled);
    c_.Edit1->setEnabled(enabled);
}

void ExerciseController::SetMenuHeadersEnabled(bool enabled)
{
    for (QAction* header : {c_.N1, c_.N2, c_.N4})
        header->setEnabled(enabled);
}

void ExerciseController::MakeTask()
{
    ::MakeTask(exerciseState(), currentRange().rangeBound);
    FocusAnswer();
}

void ExerciseController::FocusAnswer() { c_.Edit1->setFocus(); }

void ExerciseController::Say(const QString& text)
{
    if (c_.notice)
        c_.notice->say(text);
}

void ExerciseController::PlaySoundFile(const QString& name)
{
    player_().play(ProgramFolder() + name);
}

// Plays a sound when sounds are on and its file exists. A sound that cannot be
// played is reported and the caller goes on, so an answer is always scored.
void ExerciseController::PlayIfPresent(const QString& name)
{
    if (name.isEmpty() || appConfig().soundOff || !FileExists(ProgramFolder() + name))
        return;
    try {
        PlaySoundFile(name);
    } catch (const MediaError& e) {
        dialogs().errorReport(e.text());
    }
}

void ExerciseController::AppendDigit(int digit)
{
    RunHandler([this, digit] { c_.Edit1->setText(c_.Edit1->text() + QString::number(digit)); });
}

void ExerciseController::Button14Click()
{
    RunHandler([this] {
        const QString text = c_.Edit1->text();
        if (!text.isEmpty())
            c_.Edit1->setText(text.left(text.size() - 1));
    });
}

void ExerciseController::Button12Click()
{
    RunHandler([this] { c_.Edit1->clear(); });
}

void ExerciseController::Edit1KeyPress(QChar key)
{
    if (key == QChar(13))
        Button11Click();
}

void ExerciseController::Button11Click()
{
    RunHandler([this] {
        ExerciseState& s = exerciseState();
        // A finished example waits for the loop to show the next one; nothing
        // typed meanwhile is checked against it.
        if (s.correctionPending || s.answered)
            return;
        const QString text = TrimText(c_.Edit1->text());
        SetTextIfChanged(c_.Edit1, text);
        if (text.isEmpty())
            return;
        const bool right = IsRightAnswer(text, ExpectedValue(s));
        const AnswerOutcome outcome = ScoreAnswer(s, appConfig().Scoring, right);
        PlayIfPresent(outcome.sound);
        c_.StaticText8->setText(outcome.pointsText);
        c_.Edit1->clear();
        c_.StaticText4->setText(QString::number(s.score));
        const QString points = QStringLiteral("Очки за ответ: %1. Очки: %2. ")
                                   .arg(outcome.pointsText, QString::number(s.score));
        if (!right) {
            c_.StaticText16->setText(QStringLiteral("Введите правильный ответ"));
            c_.StaticText6->setText(QString::number(s.errorCount));
            s.correctionPending = true;
            FocusAnswer();
            Say(QStringLiteral("Неверно. ") + points +
                QStringLiteral("Введите правильный ответ: ") + ExampleText(s));
            c_.Timer2->start();
            return;
        }
        FocusAnswer();
        spokenVerdict_ = QStringLiteral("Верно. ") + points;
        ProcessPendingMessages();
        ExampleFinished();
    });
}

void ExerciseController::Edit1Change()
{
    RunHandler([this] {
        ExerciseState& s = exerciseState();
        if (!s.correctionPending)
            return;
        // A change made here runs this handler again, nested, on the trimmed
        // text; text already trimmed is left alone, caret and all.
        SetTextIfChanged(c_.Edit1, TrimText(c_.Edit1->text()));
        if (!s.correctionPending)
            return; // the nested run has accepted the correction
        if (!IsRightAnswer(c_.Edit1->text(), ExpectedValue(s)))
            return;
        CorrectionAccepted();
    });
}

// The right value has been typed after a wrong answer: the example is finished.
void ExerciseController::CorrectionAccepted()
{
    ExerciseState& s = exerciseState();
    c_.Edit1->clear();
    s.correctionPending = false;
    c_.Timer2->stop();
    c_.StaticText16->clear();
    if (s.pauseRequested) {
        TakePause();
        return;
    }
    s.answered = true;
    ProcessPendingMessages();
}

void ExerciseController::ExampleFinished()
{
    ExerciseState& s = exerciseState();
    if (s.pauseRequested)
        TakePause();
    else
        s.answered = true;
}

// The clock stands still while the pause question is open. Cancel saves the
// totals and ends the program; no result is written for the unfinished exercise.
void ExerciseController::TakePause()
{
    ExerciseState& s = exerciseState();
    s.pauseRequested = false;
    c_.Timer1->stop();
    if (dialogs().pauseBox(c_.window, QStringLiteral("ПАУЗА"),
                           QStringLiteral("Нажмите OK для продолжения тренировки или Отмена для  "
                                          "выхода из программы"))) {
        c_.Timer1->start();
        s.answered = true;
        return;
    }
    AddToCurrentTotals(s.elapsedSeconds, s.score);
    RunHandler([] { SaveCurrentTotals(); });
    programEnding_ = true;
    dialogs().endProgram();
}

void ExerciseController::Button10Click()
{
    RunHandler([] {
        dialogs().message(QStringLiteral("Решите текущий пример и немного отдохнем"));
        exerciseState().pauseRequested = true;
    });
}

void ExerciseController::Timer1Timer()
{
    RunHandler([this] {
        ExerciseState& s = exerciseState();
        s.elapsedSeconds = AddWrapping(s.elapsedSeconds, 1);
        c_.StaticText11->setText(DurationText(s.elapsedSeconds));
    });
}

// Pulses the hint between 8 and 10 points while a correction is pending.
void ExerciseController::Timer2Timer()
{
    RunHandler([this] {
        if (!exerciseState().correctionPending) {
            c_.StaticText16->clear();
            c_.Timer2->stop();
        }
        QFont font = c_.StaticText16->font();
        font.setPointSize(font.pointSize() == 8 ? 10 : 8);
        c_.StaticText16->setFont(font);
        ProcessPendingMessages();
    });
}
