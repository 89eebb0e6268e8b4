#include "exercise/ui/exercise_controller.h"

#include "accounts/current_user.h"
#include "config/app_config.h"
#include "exercise/exercise.h"
#include "exercise/scoring.h"
#include "keeper/class_folder_access.h"
#include "keeper/pending_results.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/handler_guard.h"
#include "platform/message_wait.h"
#include "platform/sound_player.h"
#include "records/number_range.h"
#include "records/result_record.h"
#include "ui/control_factory.h"
#include "ui/spoken_notice.h"
#include "util/files.h"
#include "util/number.h"
#include "util/text.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include <optional>

namespace {

// Saves the user's totals; a failed save is shown once the folder's lock is
// given back, so that no other copy waits on a message box.
void SaveTotalsAndReport()
{
    const QString failed = SaveFailedMessage(SaveCurrentTotals());
    if (!failed.isEmpty())
        dialogs().message(failed);
}

// Enter in the answer field, as the key handler receives it.
const QChar kEnterKey(13);

} // namespace

ExerciseController::ExerciseController(const ExerciseControls& controls, Exercise& exercise,
                                       const CurrentUser& user, const AppConfig& config,
                                       std::function<void(const ResultRecord&)> showResult,
                                       std::function<SoundPlayer&()> player, QObject* parent)
    : QObject(parent), c_(controls), exercise_(exercise), user_(user), config_(config),
      showResult_(std::move(showResult)), player_(std::move(player))
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
    // The keypad's buttons never take the focus, so that typing always goes to
    // the answer; Esc asks for the pause from the keyboard, as the mouse does
    // with "Пауза" (nothing happens while the button is disabled).
    auto* pause = new QShortcut(QKeySequence(Qt::Key_Escape), c_.Button10->window());
    connect(pause, &QShortcut::activated, c_.Button10, &QPushButton::click);
    connect(c_.Edit1, &QLineEdit::textChanged, this, &ExerciseController::Edit1Change);
    connect(c_.Edit1, &QLineEdit::returnPressed, this, [this] { Edit1KeyPress(kEnterKey); });
    connect(c_.Timer1, &QTimer::timeout, this, &ExerciseController::Timer1Timer);
    connect(c_.Timer2, &QTimer::timeout, this, &ExerciseController::Timer2Timer);
}

// Starts the exercise and returns: the answers, the clock and the pause come
// as the pupil's actions, each through its handler.
void ExerciseController::N7Click()
{
    RunHandler([this] {
        const QString nick = user_.nick;
        if (IsAdminNick(nick)) {
            dialogs().message(QStringLiteral("ADM - администратор,Зайдите с другим пользователем"));
            return;
        }
        if (nick.isEmpty()) {
            dialogs().message(kLoginNeededMessage);
            return;
        }
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
        const NextStep first = exercise_.start(*target, nick, c_.StaticText13->text());
        c_.Timer1->start();
        SetMenuHeadersEnabled(false);
        c_.GroupBox1->setEnabled(true);
        ShowExample(first.example);
    });
}

// A new example: the answer field gets the focus, and a screen reader hears
// the verdict on the last answer with it.
void ExerciseController::ShowExample(const QString& example)
{
    FocusAnswer();
    c_.StaticText1->setText(example);
    Say(spokenVerdict_ + QStringLiteral("Пример: ") + example);
    spokenVerdict_.clear();
}

// The example is finished: the pause when asked for, then the next example or
// the end of the exercise.
void ExerciseController::ExampleFinished()
{
    if (exercise_.takePause() && !TakePause())
        return;
    NextOrEnd();
}

void ExerciseController::NextOrEnd()
{
    const NextStep step = exercise_.next();
    if (!step.ended) {
        ShowExample(step.example);
        return;
    }
    FinishExercise(step);
    ResetMainWindow(step.finalScore);
}

// The end of an exercise: the result goes to the records table, the totals to
// the profile, the records window opens on the new row and the end sound plays.
// A screen reader hears the last verdict and the end before the records window.
// An error that travels is reported; the totals are saved all the same, and
// the records window and the end sound are left out.
void ExerciseController::FinishExercise(const NextStep& end)
{
    c_.Timer1->stop();
    Say(spokenVerdict_ + QStringLiteral("Упражнение окончено."));
    spokenVerdict_.clear();

    const ResultRecord& record = end.result;
    bool ok = RunHandler([&] { AppendOrKeepResult(exercise_.range().rangeText, record); });
    AddToCurrentTotals(end.elapsedSeconds, end.finalScore);
    ok = RunHandler([] { SaveTotalsAndReport(); }) && ok;
    if (ok)
        ok = RunHandler([&] { showResult_(record); });
    if (ok)
        PlayIfPresent(QString::fromLatin1(kEndSound));
}

// Back to idle; the large points figure shows the exercise's final score.
void ExerciseController::ResetMainWindow(qint32 finalScore)
{
    c_.StaticText8->setText(QStringLiteral("0"));
    c_.StaticText1->setText(QStringLiteral("?"));
    c_.StaticText4->setText(QStringLiteral("0"));
    c_.Edit1->clear();
    c_.StaticText8->setText(QString::number(finalScore));
    SetMenuHeadersEnabled(true);
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
    if (name.isEmpty() || config_.soundOff || !FileExists(ProgramFolder() + name))
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
    if (key == kEnterKey)
        Button11Click();
}

void ExerciseController::Button11Click()
{
    RunHandler([this] {
        if (!exercise_.acceptsAnswer())
            return;
        const QString text = TrimText(c_.Edit1->text());
        SetTextIfChanged(c_.Edit1, text);
        if (text.isEmpty())
            return;
        const AnswerStep step = exercise_.answer(text);
        PlayIfPresent(step.sound);
        c_.StaticText8->setText(step.pointsText);
        c_.Edit1->clear();
        c_.StaticText4->setText(QString::number(step.score));
        const QString points = QStringLiteral("Очки за ответ: %1. Очки: %2. ")
                                   .arg(step.pointsText, QString::number(step.score));
        if (step.correctionDemanded) {
            c_.StaticText16->setText(QStringLiteral("Введите правильный ответ"));
            c_.StaticText6->setText(QString::number(step.errorCount));
            FocusAnswer();
            Say(QStringLiteral("Неверно. ") + points +
                QStringLiteral("Введите правильный ответ: ") + exercise_.example());
            c_.Timer2->start();
            return;
        }
        FocusAnswer();
        spokenVerdict_ = QStringLiteral("Верно. ") + points;
        // The new figures are drawn before the next example comes.
        ProcessPendingMessages();
        ExampleFinished();
    });
}

void ExerciseController::Edit1Change()
{
    RunHandler([this] {
        if (!exercise_.correctionPending())
            return;
        // A change made here runs this handler again, nested, on the trimmed
        // text; text already trimmed is left alone, caret and all.
        SetTextIfChanged(c_.Edit1, TrimText(c_.Edit1->text()));
        if (!exercise_.correctionTyped(c_.Edit1->text()))
            return; // not the right value, or the nested run has accepted it
        CorrectionAccepted();
    });
}

// The right value has been typed after a wrong answer: the example is finished.
void ExerciseController::CorrectionAccepted()
{
    c_.Edit1->clear();
    c_.Timer2->stop();
    c_.StaticText16->clear();
    if (exercise_.takePause()) {
        if (TakePause())
            NextOrEnd();
        return;
    }
    ProcessPendingMessages();
    NextOrEnd();
}

// The clock stands still while the pause question is open. OK goes on (true);
// Cancel saves the totals and ends the program, and no result is written for
// the unfinished exercise.
bool ExerciseController::TakePause()
{
    c_.Timer1->stop();
    if (dialogs().pauseBox(c_.window, QStringLiteral("ПАУЗА"),
                           QStringLiteral("Нажмите OK для продолжения тренировки или Отмена для  "
                                          "выхода из программы"))) {
        c_.Timer1->start();
        return true;
    }
    exercise_.stop();
    c_.Timer2->stop();
    AddToCurrentTotals(exercise_.elapsedSeconds(), exercise_.score());
    RunHandler([] { SaveTotalsAndReport(); });
    dialogs().endProgram();
    return false;
}

void ExerciseController::Button10Click()
{
    RunHandler([this] {
        dialogs().message(QStringLiteral("Решите текущий пример и немного отдохнем"));
        exercise_.pause();
    });
}

void ExerciseController::Timer1Timer()
{
    RunHandler([this] { c_.StaticText11->setText(exercise_.tick()); });
}

// Pulses the hint between 8 and 10 points while a correction is pending.
void ExerciseController::Timer2Timer()
{
    RunHandler([this] {
        if (!exercise_.correctionPending()) {
            c_.StaticText16->clear();
            c_.Timer2->stop();
        }
        QFont font = c_.StaticText16->font();
        font.setPointSize(font.pointSize() == 8 ? 10 : 8);
        c_.StaticText16->setFont(font);
        ProcessPendingMessages();
    });
}
