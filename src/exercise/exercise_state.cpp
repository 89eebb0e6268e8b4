#include "exercise/exercise_state.h"

#include "platform/process_state.h"

void SeedRandom(quint32 seed) { StatePart<RandomSeed>().value = seed; }

qint32 Random(RandomSeed& seed, qint32 n)
{
    seed.value = seed.value * 134775813u + 1u;
    return static_cast<qint32>((quint64(seed.value) * quint32(n)) >> 32);
}

void MakeTask(ExerciseState& state, qint32 rangeBound, RandomSeed& seed)
{
    state.operandA = Random(seed, rangeBound);
    state.isAddition = Random(seed, 2) == 0;
    state.operandB = Random(seed, rangeBound);
    if (!state.isAddition) {
        while (state.operandB > state.operandA)
            state.operandB = Random(seed, rangeBound);
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
