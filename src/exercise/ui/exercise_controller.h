#pragma once
// The exercise on the main window: the start command, answer entry, the
// correction, the pause, the clock, the hint and the sounds. The rules are the
// Exercise's; this wires the controls to it and shows what it returns.

#include "exercise/ui/exercise_controls.h"

#include <QObject>
#include <QString>
#include <functional>

class Exercise;
class SoundPlayer;
struct AppConfig;
struct CurrentUser;
struct NextStep;
struct ResultRecord;

class ExerciseController : public QObject {
    Q_OBJECT
  public:
    // The program hands over what the exercise acts on: `exercise` (its range
    // names the table of the results), the logged-in `user` and the `config`
    // whose sound switch holds. `showResult` opens the records table on a
    // finished exercise's row; `player` gives the sound player when a sound
    // is first played.
    ExerciseController(const ExerciseControls& controls, Exercise& exercise,
                       const CurrentUser& user, const AppConfig& config,
                       std::function<void(const ResultRecord&)> showResult,
                       std::function<SoundPlayer&()> player, QObject* parent = nullptr);

    // "Начать Изучение": asks for the target, starts the exercise and returns.
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
    // Plays program folder + `name`; returns when the sound has finished.
    void PlaySoundFile(const QString& name);

  private:
    void AppendDigit(int digit);
    void ShowExample(const QString& example);
    void ExampleFinished();
    void CorrectionAccepted();
    bool TakePause();
    void NextOrEnd();
    void FinishExercise(const NextStep& end);
    void ResetMainWindow(qint32 finalScore);
    void SetExerciseControlsEnabled(bool enabled);
    void SetMenuHeadersEnabled(bool enabled);
    void PlayIfPresent(const QString& name);
    // What a screen reader says of the exercise (ExerciseControls::notice).
    void Say(const QString& text);

    ExerciseControls c_;
    Exercise& exercise_;
    const CurrentUser& user_;
    const AppConfig& config_;
    std::function<void(const ResultRecord&)> showResult_;
    std::function<SoundPlayer&()> player_;
    // The verdict on the last answer, spoken with the next example.
    QString spokenVerdict_;
};
