#pragma once
// The exercise on the main window: the start command, the loop that waits for
// each example, answer entry, scoring, the clock, the hint and the sounds.

#include "exercise/ui/exercise_controls.h"

#include <QObject>
#include <QString>
#include <functional>

class SoundPlayer;
struct ResultRecord;

class ExerciseController : public QObject {
    Q_OBJECT
  public:
    // `showResult` opens the records table on a finished exercise's row;
    // `player` gives the sound player when a sound is first played.
    ExerciseController(const ExerciseControls& controls,
                       std::function<void(const ResultRecord&)> showResult,
                       std::function<SoundPlayer&()> player, QObject* parent = nullptr);

    // "Начать Изучение": runs a whole exercise before it returns.
    void N7Click();

    // Keypad: digit keys, "<-", "Сброс", "Ввод".
    void Button1Click() { AppendDigit(7); }
    void Button2Click() { AppendDigit(8); }
    void Button3Click() { AppendDigit(9); }
    void Button4Click() { AppendDigit(4); }
    void Button5Click() { AppendDigit(5); }
    void Button6Click() { AppendDigit(6); }
    void Button7Click() { AppendDigit(1); }
    void Button8Click() { AppendDigit(2); }
    void Button9Click() { AppendDigit(3); }
    void Button13Click() { AppendDigit(0); }
    void Button14Click();
    void Button12Click();
    void Button11Click();
    // "Пауза"
    void Button10Click();

    // Enter (code 13) in the answer field checks the answer.
    void Edit1KeyPress(QChar key);
    void Edit1Change();

    void Timer1Timer();
    void Timer2Timer();

    void FocusAnswer();
    void MakeTask();
    // Plays program folder + `name`; returns when the sound has finished.
    void PlaySoundFile(const QString& name);

  private:
    void AppendDigit(int digit);
    void RunExercise();
    bool WaitForAnswer();
    void FinishExercise();
    void ResetMainWindow();
    void SetExerciseControlsEnabled(bool enabled);
    void SetMenuHeadersEnabled(bool enabled);
    void PlayIfPresent(const QString& name);
    void CorrectionAccepted();
    void TakePause();
    void ExampleFinished();

    ExerciseControls c_;
    std::function<void(const ResultRecord&)> showResult_;
    std::function<SoundPlayer&()> player_;
    // Set when the pause question ended the program: the loop stops at once.
    // What a screen reader says of the exercise (ExerciseControls::notice).
    void Say(const QString& text);

    bool programEnding_ = false;
    // The verdict on the last answer, spoken with the next example.
    QString spokenVerdict_;
};
