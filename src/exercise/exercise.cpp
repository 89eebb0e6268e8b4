#include "exercise/exercise.h"

#include "exercise/scoring.h"
#include "platform/process_state.h"
#include "util/number.h"
#include "util/text.h"

#include <QDateTime>

namespace {

// A text field of the records table holds this many characters.
const int kFieldCapacity = 255;

} // namespace

Exercise::Exercise(const ScoringSettings& scoring, const NumberRange& range, RandomSeed& random)
    : scoring_(scoring), range_(range), random_(random)
{
}

NextStep Exercise::start(qint32 target, const QString& nick, const QString& fullName)
{
    ExerciseState& s = state_;
    s.elapsedSeconds = 0;
    s.errorCount = 0;
    s.targetScore = target;
    s.rightRun = 0;
    s.wrongRun = 0;
    // A pause or correction left over from an exercise that ended abnormally
    // must not carry into this one.
    s.correctionPending = false;
    s.pauseRequested = false;
    s.score = 0;
    s.exerciseEnded = false;
    s.running = true;
    nick_ = nick.left(kFieldCapacity);
    fullName_ = fullName.left(kFieldCapacity);
    NextStep step;
    step.example = drawExample();
    return step;
}

bool Exercise::acceptsAnswer() const { return !state_.correctionPending && !state_.answered; }

AnswerStep Exercise::answer(const QString& text)
{
    AnswerStep step;
    step.right = IsRightAnswer(text, ExpectedValue(state_));
    const AnswerOutcome outcome = ScoreAnswer(state_, scoring_, step.right);
    step.pointsText = outcome.pointsText;
    step.sound = outcome.sound;
    step.score = state_.score;
    step.errorCount = state_.errorCount;
    step.correctionDemanded = !step.right;
    // A right answer finishes the example: nothing typed before the next one
    // is checked against it.
    state_.correctionPending = !step.right;
    state_.answered = step.right;
    return step;
}

bool Exercise::correctionTyped(const QString& text)
{
    if (!state_.correctionPending || !IsRightAnswer(text, ExpectedValue(state_)))
        return false;
    // The score, the runs and the error count stay as the wrong answer set them.
    state_.correctionPending = false;
    state_.answered = true;
    return true;
}

bool Exercise::takePause()
{
    if (!state_.pauseRequested)
        return false;
    state_.pauseRequested = false;
    return true;
}

NextStep Exercise::next()
{
    ExerciseState& s = state_;
    NextStep step;
    if (s.score < s.targetScore) {
        step.example = drawExample();
        return step;
    }
    s.exerciseEnded = true;
    s.running = false;
    step.ended = true;
    step.finalScore = s.score;
    step.elapsedSeconds = s.elapsedSeconds;
    ResultRecord& r = step.result;
    r.nick = nick_;
    r.fullName = fullName_;
    r.timePerExample = TimePerExample(s.elapsedSeconds, s.score);
    r.points = s.score;
    r.errors = s.errorCount;
    r.finishedAt = FinishedAtText(QDateTime::currentDateTime());
    s.score = 0;
    return step;
}

QString Exercise::tick()
{
    state_.elapsedSeconds = AddWrapping(state_.elapsedSeconds, 1);
    return DurationText(state_.elapsedSeconds);
}

QString Exercise::drawExample()
{
    MakeTask(state_, range_.rangeBound, random_);
    state_.answered = false;
    return ExampleText(state_);
}

Exercise& programExercise() { return StatePart<Exercise>(); }

ExerciseState& exerciseState() { return programExercise().state(); }
