#pragma once
// The one exercise state of the program, the random generator and the drawing
// of examples.

#include <QString>

struct ExerciseState {
    qint32 elapsedSeconds = 0;
    qint32 targetScore = 0;
    qint32 score = 0; // may go below zero
    qint32 errorCount = 0;
    qint32 rightRun = 0; // right answers in a row
    qint32 wrongRun = 0; // wrong answers in a row
    qint32 operandA = 0;
    qint32 operandB = 0;
    bool isAddition = false; // operandA + operandB, else operandA - operandB
    bool answered = false;   // the current example is finished
    bool correctionPending = false;
    bool pauseRequested = false;
    bool exerciseEnded = false;
    bool running = false; // an exercise is under way (started, neither ended nor left)
};

// The state of the program's exercise (exercise/exercise.h); one for the whole run.
ExerciseState& exerciseState();

// The random generator's state (a part of the ProgramState).
struct RandomSeed {
    quint32 value = 0;
};

// The 32-bit linear congruential generator: seed := seed * 134775813 + 1.
// Seeds the program's generator (the start-up's step).
void SeedRandom(quint32 seed);
// A whole number from 0 to n - 1: the upper 32 bits of the new seed times n.
qint32 Random(RandomSeed& seed, qint32 n);

// Draws the next example in this order: first operand, sign, second operand,
// then the second operand again while a difference would be negative.
void MakeTask(ExerciseState& state, qint32 rangeBound, RandomSeed& seed);

// The value a right answer has; never negative.
qint32 ExpectedValue(const ExerciseState& state);

// The example as shown, for instance "7+12" or "15-3".
QString ExampleText(const ExerciseState& state);
