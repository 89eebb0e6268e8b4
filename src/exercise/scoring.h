#pragma once
// Scoring of answers and the texts the exercise shows and stores.

#include "config/app_config.h"
#include "exercise/exercise_state.h"
#include "util/number.h"

#include <QDateTime>
#include <QString>

// Sound files, relative to the program folder.
extern const char* const kBonusSound;   // "sound/BONUS.wav"
extern const char* const kPenaltySound; // "sound/-BONUS.wav"
extern const char* const kErrorSound;   // "sound/ERROR.wav"
extern const char* const kEndSound;     // "sound/THEEND.wav"

struct AnswerOutcome {
    qint32 points = 0;  // added to the score
    QString pointsText; // "+1", "-1", "+<bonus>", "-<penalty>"
    QString sound;      // the sound due for the answer, or empty
};

// Scores one checked answer: updates the runs, the error count and the score.
// A run that reaches its length earns the bonus (or costs the penalty) instead
// of the ordinary point and starts anew.
AnswerOutcome ScoreAnswer(ExerciseState& state, const ScoringSettings& scoring, bool right);

// True when the typed text is a number equal to the expected value.
bool IsRightAnswer(const QString& text, qint32 expected);

// Hundredths of a second per point: elapsedSeconds * 100 (as a 32-bit
// product) divided by the score, truncated toward zero. The score is at least 1.
qint32 TimePerExample(qint32 elapsedSeconds, qint32 score);

// "dd-mm-yyyy hh:mm:ss"
QString FinishedAtText(const QDateTime& when);
