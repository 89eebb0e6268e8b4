#include "exercise/exercise_state.h"

#include "platform/process_state.h"

ExerciseState& exerciseState() { return StatePart<ExerciseState>(); }

void SeedRandom(quint32 seed) { StatePart<RandomSeed>().value = seed; }

qint32 Random(qint32 n)
{
    quint32& seed = StatePart<RandomSeed>().value;
    seed = seed * 134775813u + 1u;
    return static_cast<qint32>((quint64(seed) * quint32(n)) >> 32);
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
