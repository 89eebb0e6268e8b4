// The exercise's plain logic: generator, scoring table, clock and result texts.

#include "exercise/exercise_state.h"
#include "exercise/scoring.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

TEST(RandomTest, FixedSeedGivesFixedDraws)
{
    RandomSeed seed{0};
    std::vector<qint32> draws;
    for (int i = 0; i < 5; ++i)
        draws.push_back(Random(seed, 1000));
    EXPECT_EQ(draws, (std::vector<qint32>{0, 31, 861, 202, 272}));
}

TEST(MakeTaskTest, FixedSeedGivesFixedExamples)
{
    RandomSeed seed{12345};
    ExerciseState state;
    QStringList examples;
    for (int i = 0; i < 8; ++i) {
        MakeTask(state, 20, seed);
        examples << ExampleText(state);
    }
    EXPECT_EQ(examples, QStringList({"7+1", "11-6", "8+0", "18-6", "4-3", "1-1", "15+17", "5-0"}));
}

TEST(MakeTaskTest, OperandsStayBelowTheBoundAndDifferencesAreNotNegative)
{
    for (qint32 bound : {9, 20, 99, 999}) {
        RandomSeed seed{777};
        ExerciseState state;
        std::set<qint32> operands;
        int additions = 0;
        const int draws = 20000;
        for (int i = 0; i < draws; ++i) {
            MakeTask(state, bound, seed);
            ASSERT_GE(state.operandA, 0);
            ASSERT_LT(state.operandA, bound);
            ASSERT_GE(state.operandB, 0);
            ASSERT_LT(state.operandB, bound);
            ASSERT_GE(ExpectedValue(state), 0) << ExampleText(state).toStdString();
            operands.insert(state.operandA);
            additions += state.isAddition ? 1 : 0;
        }
        EXPECT_EQ(*operands.rbegin(), bound - 1) << bound;
        EXPECT_GT(additions, draws * 2 / 5) << bound;
        EXPECT_LT(additions, draws * 3 / 5) << bound;
    }
}

TEST(ExpectedValueTest, SumOrDifference)
{
    ExerciseState state;
    state.operandA = 15;
    state.operandB = 3;
    state.isAddition = false;
    EXPECT_EQ(ExpectedValue(state), 12);
    EXPECT_EQ(ExampleText(state), "15-3");
    state.isAddition = true;
    EXPECT_EQ(ExpectedValue(state), 18);
    EXPECT_EQ(ExampleText(state), "15+3");
}

// One answer per step: R right, W wrong; what the step shows and plays.
struct ScoringCase {
    const char* name;
    ScoringSettings scoring;
    const char* answers;
    QStringList pointsTexts;
    QStringList sounds; // "" for no sound
    qint32 finalScore;
    qint32 finalErrors;
};

TEST(ScoreAnswerTest, Table)
{
    const ScoringSettings defaults; // 5, 2, 2, 2
    const std::vector<ScoringCase> cases = {
        {"five right earn a bonus",
         defaults,
         "RRRRRR",
         {"+1", "+1", "+1", "+1", "+2", "+1"},
         {"", "", "", "", "sound/BONUS.wav", ""},
         7,
         0},
        {"second wrong in a row is a penalty",
         defaults,
         "WWW",
         {"-1", "-2", "-1"},
         {"sound/ERROR.wav", "sound/-BONUS.wav", "sound/ERROR.wav"},
         -4,
         3},
        {"a right answer ends a wrong run",
         defaults,
         "RWRW",
         {"+1", "-1", "+1", "-1"},
         {"", "sound/ERROR.wav", "", "sound/ERROR.wav"},
         0,
         2},
        {"a wrong answer ends a right run",
         defaults,
         "RRRRWRRRRR",
         {"+1", "+1", "+1", "+1", "-1", "+1", "+1", "+1", "+1", "+2"},
         {"", "", "", "", "sound/ERROR.wav", "", "", "", "", "sound/BONUS.wav"},
         9,
         1},
        {"streak lengths 1",
         {1, 1, 3, 4},
         "RWR",
         {"+3", "-4", "+3"},
         {"sound/BONUS.wav", "sound/-BONUS.wav", "sound/BONUS.wav"},
         2,
         1},
        {"streak lengths 0",
         {0, 0, 3, 4},
         "WRW",
         {"-4", "+3", "-4"},
         {"sound/-BONUS.wav", "sound/BONUS.wav", "sound/-BONUS.wav"},
         -5,
         2},
        // Stored settings are used unchecked: extreme ones wrap at 32 bits.
        {"extreme settings wrap",
         {1, 1, 2147483647, -2147483647 - 1},
         "RRW",
         {"+2147483647", "+2147483647", "--2147483648"},
         {"sound/BONUS.wav", "sound/BONUS.wav", "sound/-BONUS.wav"},
         2147483646,
         1},
    };
    for (const ScoringCase& c : cases) {
        SCOPED_TRACE(c.name);
        ExerciseState state;
        QStringList texts;
        QStringList sounds;
        for (const char* a = c.answers; *a; ++a) {
            const AnswerOutcome outcome = ScoreAnswer(state, c.scoring, *a == 'R');
            texts << outcome.pointsText;
            sounds << outcome.sound;
        }
        EXPECT_EQ(texts, c.pointsTexts);
        EXPECT_EQ(sounds, c.sounds);
        EXPECT_EQ(state.score, c.finalScore);
        EXPECT_EQ(state.errorCount, c.finalErrors);
    }
}

TEST(IsRightAnswerTest, NumberSyntax)
{
    struct Case {
        const char* text;
        bool right;
    } const cases[] = {
        {"7", true},   {"007", true}, {"+7", true}, {"$7", true}, {"7.0", false},
        {"7a", false}, {"-7", false}, {"", false},  {"8", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsRightAnswer(c.text, 7), c.right) << c.text;
}

TEST(TimePerExampleTest, HundredthsPerPointTruncated)
{
    EXPECT_EQ(TimePerExample(125, 12), 1041);
    EXPECT_EQ(TimePerExample(7, 1), 700);
    EXPECT_EQ(TimePerExample(0, 6), 0);
    // The product is a 32-bit one: it wraps for very long exercises.
    EXPECT_EQ(TimePerExample(21474837, 1), -2147483596);
}

TEST(FinishedAtTextTest, DayMonthYearAndTimeWithLeadingZeros)
{
    EXPECT_EQ(FinishedAtText(QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7))), "06-12-2026 09:05:07");
    EXPECT_EQ(FinishedAtText(QDateTime(QDate(2025, 1, 31), QTime(23, 59, 0))),
              "31-01-2025 23:59:00");
}
