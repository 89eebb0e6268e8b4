#include "exercise/scoring.h"

#include "util/number.h"

#include <optional>

const char* const kBonusSound = "sound/BONUS.wav";
const char* const kPenaltySound = "sound/-BONUS.wav";
const char* const kErrorSound = "sound/ERROR.wav";
const char* const kEndSound = "sound/THEEND.wav";

AnswerOutcome ScoreAnswer(ExerciseState& state, const ScoringSettings& scoring, bool right)
{
    AnswerOutcome outcome;
    if (right) {
        state.wrongRun = 0;
        ++state.rightRun;
        if (state.rightRun < scoring.rightStreakLength) {
            outcome.points = 1;
        } else {
            state.rightRun = 0;
            outcome.points = scoring.bonusPoints;
            outcome.sound = QString::fromLatin1(kBonusSound);
        }
        outcome.pointsText = "+" + QString::number(outcome.points);
    } else {
        state.rightRun = 0;
        ++state.wrongRun;
        ++state.errorCount;
        if (state.wrongRun < scoring.wrongStreakLength) {
            outcome.points = -1;
            outcome.pointsText = QStringLiteral("-1");
            outcome.sound = QString::fromLatin1(kErrorSound);
        } else {
            state.wrongRun = 0;
            outcome.points = static_cast<qint32>(0u - static_cast<quint32>(scoring.penaltyPoints));
            outcome.pointsText = "-" + QString::number(scoring.penaltyPoints);
            outcome.sound = QString::fromLatin1(kPenaltySound);
        }
    }
    state.score = AddWrapping(state.score, outcome.points);
    return outcome;
}

bool IsRightAnswer(const QString& text, qint32 expected)
{
    std::optional<qint32> value = ParseNumber(text);
    return value && *value == expected;
}

qint32 TimePerExample(qint32 elapsedSeconds, qint32 score)
{
    const auto product = static_cast<qint32>(static_cast<quint32>(elapsedSeconds) * 100u);
    return score == 0 ? 0 : static_cast<qint32>(qint64(product) / score);
}

QString FinishedAtText(const QDateTime& when)
{
    return when.toString(QStringLiteral("dd-MM-yyyy hh:mm:ss"));
}
