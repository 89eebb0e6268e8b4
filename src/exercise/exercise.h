#pragma once
// One exercise, from the target to the result: the examples, the scoring of
// each answer, the correction a wrong answer demands, the pause the pupil
// asks for and the clock. The window calls it for what the pupil does and
// shows what each call returns; nothing here waits or shows anything.

#include "config/app_config.h"
#include "exercise/exercise_state.h"
#include "records/number_range.h"
#include "records/result_record.h"

#include <QString>

// What an answer did.
struct AnswerStep {
    bool right = false;
    QString pointsText; // "+1", "-1", "+<bonus>", "-<penalty>"
    QString sound;      // the sound due for the answer, or empty
    qint32 score = 0;
    qint32 errorCount = 0;
    // A wrong answer: the example stays until its right value is typed.
    bool correctionDemanded = false;
};

// What comes after a finished example: the next example, or the end.
struct NextStep {
    QString example; // the new example ("7+12"), when the exercise goes on
    bool ended = false;
    // When ended: the result for the records table and what goes to the totals.
    ResultRecord result;
    qint32 finalScore = 0;
    qint32 elapsedSeconds = 0;
};

class Exercise {
  public:
    // The settings, the range and the generator are read at each call: the
    // caller's own, which may change between exercises.
    Exercise(const ScoringSettings& scoring, const NumberRange& range, RandomSeed& random);

    // Starts an exercise up to `target` (at least 1) for the pupil `nick`
    // whose full name is shown as `fullName`; returns its first example.
    NextStep start(qint32 target, const QString& nick, const QString& fullName);

    // Whether an answer is checked now: not while a correction is pending,
    // nor once the example is finished.
    bool acceptsAnswer() const;
    // Scores a typed answer (trimmed, not empty). A right one finishes the example.
    AnswerStep answer(const QString& text);

    bool correctionPending() const { return state_.correctionPending; }
    // The answer field's text while a correction is pending: true when it is
    // the right value, which finishes the example.
    bool correctionTyped(const QString& text);

    // The pupil asks for a pause: it is due once the example is finished.
    void pause() { state_.pauseRequested = true; }
    // After a finished example: true (once) when the pause is to be taken now.
    bool takePause();

    // After a finished example (and its pause): the next example, or the end
    // with its result once the score has reached the target.
    NextStep next();

    // One second more on the clock; returns the clock's text ("0:01:05").
    QString tick();

    // Leaves the exercise unfinished; nothing is scored any more.
    void stop() { state_.running = false; }

    bool running() const { return state_.running; }
    qint32 score() const { return state_.score; }
    qint32 elapsedSeconds() const { return state_.elapsedSeconds; }
    // The range whose table takes the result.
    const NumberRange& range() const { return range_; }
    // The example as shown ("7+12").
    QString example() const { return ExampleText(state_); }

    // The state itself, for tests and the program's state accessor.
    ExerciseState& state() { return state_; }

  private:
    QString drawExample();

    const ScoringSettings& scoring_;
    const NumberRange& range_;
    RandomSeed& random_;
    ExerciseState state_;
    QString nick_;
    QString fullName_;
};

// The program's exercise (a part of its ProgramState).
Exercise& programExercise();
