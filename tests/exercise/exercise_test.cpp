// The exercise driven through its calls, without a window: examples,
// scoring, corrections, the pause, the clock and the result at the end.

#include "exercise/exercise.h"
#include "exercise/scoring.h"

#include <QDateTime>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

// An exercise with its own settings, range and generator.
struct Drill {
    ScoringSettings scoring;
    NumberRange range;
    RandomSeed seed{20261206};
    Exercise exercise{scoring, range, seed};

    QString right() const { return QString::number(ExpectedValue(state())); }
    QString wrong() const { return QString::number(ExpectedValue(state()) + 1); }
    const ExerciseState& state() const { return const_cast<Exercise&>(exercise).state(); }

    // Answers as the plan says ('R' right, 'W' wrong and then the correction),
    // going on to the next example after each; returns the points texts.
    QStringList play(const QString& plan, QStringList* sounds = nullptr)
    {
        QStringList points;
        for (QChar action : plan) {
            const AnswerStep step = exercise.answer(action == 'R' ? right() : wrong());
            points << step.pointsText;
            if (sounds && !step.sound.isEmpty())
                *sounds << step.sound;
            if (step.correctionDemanded)
                exercise.correctionTyped(right());
            exercise.next();
        }
        return points;
    }
};

} // namespace

TEST(ExerciseObjectTest, StartDrawsTheGeneratorsExamplesAndResetsTheCounts)
{
    Drill d;
    ExerciseState& s = d.exercise.state();
    s.errorCount = 4;
    s.rightRun = 3;
    s.wrongRun = 1;
    s.score = 9;
    s.elapsedSeconds = 77;
    s.correctionPending = true;
    s.pauseRequested = true;
    s.exerciseEnded = true;

    const NextStep first = d.exercise.start(6, "pupil", "Петров Пётр");

    RandomSeed probeSeed{20261206};
    ExerciseState probe;
    QStringList expected;
    for (int i = 0; i < 3; ++i) {
        MakeTask(probe, 20, probeSeed);
        expected << ExampleText(probe);
    }
    d.play("RR");
    EXPECT_FALSE(first.ended);
    EXPECT_EQ(first.example, expected[0]);
    EXPECT_EQ(d.exercise.example(), expected[2]);
    EXPECT_EQ(s.targetScore, 6);
    EXPECT_EQ(s.errorCount, 0);
    EXPECT_EQ(s.wrongRun, 0);
    EXPECT_EQ(s.elapsedSeconds, 0);
    EXPECT_EQ(s.score, 2);
    EXPECT_FALSE(s.correctionPending);
    EXPECT_FALSE(s.pauseRequested);
    EXPECT_FALSE(s.exerciseEnded);
    EXPECT_TRUE(d.exercise.running());
    EXPECT_TRUE(d.exercise.acceptsAnswer());
}

TEST(ExerciseObjectTest, AnswersAreScoredWithStreakBonusesAndPenalties)
{
    struct Case {
        const char* name;
        ScoringSettings scoring;
        const char* plan;
        QStringList points;
        QStringList sounds;
        qint32 score;
        qint32 errors;
    };
    const QString bonus = kBonusSound, penalty = kPenaltySound, error = kErrorSound;
    const Case cases[] = {
        {"five right", {5, 2, 2, 2}, "RRRRRR", {"+1", "+1", "+1", "+1", "+2", "+1"}, {bonus}, 7, 0},
        {"wrong twice in a row",
         {5, 2, 2, 2},
         "WWW",
         {"-1", "-2", "-1"},
         {error, penalty, error},
         -4,
         3},
        {"a right answer ends a wrong run",
         {5, 2, 2, 2},
         "RWRW",
         {"+1", "-1", "+1", "-1"},
         {error, error},
         0,
         2},
        {"streaks of one", {1, 1, 3, 4}, "RWR", {"+3", "-4", "+3"}, {bonus, penalty, bonus}, 2, 1},
        {"streaks of zero", {0, 0, 3, 4}, "WR", {"-4", "+3"}, {penalty, bonus}, -1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Drill d;
        d.scoring = c.scoring;
        d.exercise.start(1000, "pupil", "");
        QStringList sounds;
        EXPECT_EQ(d.play(c.plan, &sounds), c.points);
        EXPECT_EQ(sounds, c.sounds);
        EXPECT_EQ(d.exercise.score(), c.score);
        EXPECT_EQ(d.state().errorCount, c.errors);
    }
}

TEST(ExerciseObjectTest, TypedAnswersAreReadWithTheNumberSyntax)
{
    const std::pair<const char*, bool> cases[] = {
        {"7", true}, {"007", true}, {"$7", true}, {"7.0", false}, {"abc", false}, {"-7", false},
    };
    for (const auto& [typed, right] : cases) {
        SCOPED_TRACE(typed);
        Drill d;
        d.exercise.start(1000, "pupil", "");
        ExerciseState& s = d.exercise.state();
        s.operandA = 3;
        s.operandB = 4;
        s.isAddition = true;
        const AnswerStep step = d.exercise.answer(typed);
        EXPECT_EQ(step.right, right);
        EXPECT_EQ(step.correctionDemanded, !right);
        EXPECT_EQ(step.score, right ? 1 : -1);
        EXPECT_EQ(step.errorCount, right ? 0 : 1);
    }
}

// A finished example takes no answer until the next one is drawn; a wrong
// answer takes none until its right value is typed, which changes no count.
TEST(ExerciseObjectTest, AnswersAreTakenOnlyWhileTheExampleWaitsForOne)
{
    Drill d;
    d.exercise.start(1000, "pupil", "");
    d.exercise.answer(d.right());
    EXPECT_FALSE(d.exercise.acceptsAnswer());
    d.exercise.next();
    EXPECT_TRUE(d.exercise.acceptsAnswer());

    const AnswerStep wrong = d.exercise.answer(d.wrong());
    EXPECT_TRUE(wrong.correctionDemanded);
    EXPECT_FALSE(d.exercise.acceptsAnswer());
    EXPECT_TRUE(d.exercise.correctionPending());
    EXPECT_FALSE(d.exercise.correctionTyped(d.wrong()));
    EXPECT_FALSE(d.exercise.correctionTyped(""));
    EXPECT_TRUE(d.exercise.correctionPending());
    EXPECT_TRUE(d.exercise.correctionTyped("0" + d.right()));
    EXPECT_FALSE(d.exercise.correctionPending());
    EXPECT_FALSE(d.exercise.acceptsAnswer());
    EXPECT_FALSE(d.exercise.correctionTyped(d.right())); // once only
    const ExerciseState& s = d.state();
    EXPECT_EQ(s.score, 0);
    EXPECT_EQ(s.errorCount, 1);
    EXPECT_EQ(s.wrongRun, 1);
    EXPECT_EQ(s.rightRun, 0);
}

TEST(ExerciseObjectTest, APauseAskedForIsDueOnceTheExampleIsFinished)
{
    Drill d;
    d.exercise.start(1000, "pupil", "");
    EXPECT_FALSE(d.exercise.takePause());
    d.exercise.pause();
    d.exercise.answer(d.wrong());
    d.exercise.pause();
    d.exercise.correctionTyped(d.right());
    EXPECT_TRUE(d.exercise.takePause());
    EXPECT_FALSE(d.exercise.takePause());
    EXPECT_FALSE(d.exercise.next().ended);
}

TEST(ExerciseObjectTest, TheTargetEndsTheExerciseWithItsResult)
{
    Drill d;
    const QString longName(300, QChar(0x0416));
    d.exercise.start(6, "pupil", longName);
    // A score below zero on the way: the end comes only at the target.
    d.play("WW");
    ASSERT_EQ(d.exercise.score(), -3);
    for (int i = 0; i < 125; ++i)
        d.exercise.tick();
    NextStep step;
    int answers = 0;
    while (!step.ended && answers < 100) {
        d.exercise.answer(d.right());
        step = d.exercise.next();
        ++answers;
    }
    ASSERT_TRUE(step.ended);
    EXPECT_EQ(answers, 8); // -3 +1 +1 +1 +1 +2 +1 +1 +1 = 6
    EXPECT_EQ(step.finalScore, 6);
    EXPECT_EQ(step.elapsedSeconds, 125);
    EXPECT_TRUE(step.example.isEmpty());
    const ResultRecord& r = step.result;
    EXPECT_EQ(r.nick, "pupil");
    EXPECT_EQ(r.fullName, longName.left(255));
    EXPECT_EQ(r.points, 6);
    EXPECT_EQ(r.timePerExample, 125 * 100 / 6);
    EXPECT_EQ(r.errors, 2);
    EXPECT_EQ(QDateTime::fromString(r.finishedAt, "dd-MM-yyyy hh:mm:ss")
                      .secsTo(QDateTime::currentDateTime()) /
                  60,
              0);
    EXPECT_EQ(d.exercise.score(), 0);
    EXPECT_TRUE(d.state().exerciseEnded);
    EXPECT_FALSE(d.exercise.running());
}

TEST(ExerciseObjectTest, TargetOneEndsWithTheFirstRightAnswer)
{
    Drill d;
    d.exercise.start(1, "pupil", "");
    d.exercise.tick();
    d.exercise.tick();
    d.exercise.answer(d.right());
    const NextStep step = d.exercise.next();
    EXPECT_TRUE(step.ended);
    EXPECT_EQ(step.result.timePerExample, 200);
}

TEST(ExerciseObjectTest, TheClockCountsSecondsAsHoursMinutesAndSeconds)
{
    Drill d;
    d.exercise.start(5, "pupil", "");
    d.exercise.state().elapsedSeconds = 3598;
    EXPECT_EQ(d.exercise.tick(), "0:59:59");
    EXPECT_EQ(d.exercise.tick(), "1:00:00");
    d.exercise.state().elapsedSeconds = 36000 - 1;
    EXPECT_EQ(d.exercise.tick(), "10:00:00");
    EXPECT_EQ(d.exercise.elapsedSeconds(), 36000);
}

TEST(ExerciseObjectTest, StopLeavesTheExerciseUnfinished)
{
    Drill d;
    d.exercise.start(5, "pupil", "");
    d.exercise.answer(d.right());
    d.exercise.stop();
    EXPECT_FALSE(d.exercise.running());
    EXPECT_FALSE(d.state().exerciseEnded);
    EXPECT_EQ(d.exercise.score(), 1);
}

// The range is the caller's, read at every draw.
TEST(ExerciseObjectTest, ExamplesStayInTheRangeGivenNow)
{
    for (qint32 bound : {9, 20, 99, 999}) {
        SCOPED_TRACE(bound);
        Drill d;
        d.range.rangeBound = bound;
        d.exercise.start(100000, "pupil", "");
        bool topSum = false;
        for (int i = 0; i < 10000; ++i) {
            const ExerciseState& s = d.state();
            ASSERT_GE(s.operandA, 0);
            ASSERT_LT(s.operandA, bound);
            ASSERT_GE(s.operandB, 0);
            ASSERT_LT(s.operandB, bound);
            ASSERT_GE(ExpectedValue(s), 0);
            topSum |= s.isAddition && s.operandA == bound - 1 && s.operandB == bound - 1;
            d.exercise.answer(d.right());
            d.exercise.next();
        }
        if (bound <= 20) {
            EXPECT_TRUE(topSum);
        }
    }
}
