#include "exercise/exercise_state.h"

namespace {
quint32 randomSeed = 0;
}

ExerciseState& exerciseState()
{
    static ExerciseState state;
    return state;
}

void SeedRandom(quint32 seed) { randomSeed = seed; }

qint32 Random(qint32 n)
{
    randomSeed = randomSeed * 134775813u + 1u;
    return static_cast<qint32>((quint64(randomSeed) * quint32(n)) >> 32);
}

void MakeTask(ExerciseState& state, qint32 rangeBound)
{
    state.operandA = Random(rangeBound);
    state.isAddition = Random(2) == 0;
    state.operandB = Random(rangeBound);
    if (!state.isAddition) {
        while (state.operandB > state.operandA)
            state.operandB = Random(rangeBound);
    }
}

qint32 ExpectedValue(const ExerciseState& state)
{
    return state.isAddition ? state.operandA + state.operandB : state.operandA - state.operandB;
}

QString ExampleText(const ExerciseState& state)
{
    return QString::number(state.operandA) + (state.isAddition ? "+" : "-") +
           QString::number(state.operandB);
}
