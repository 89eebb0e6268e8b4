#pragma once
// The start command returns once the exercise has begun; a test whose pupil
// acts from timers serves the window messages until the exercise is over.

#include "exercise/exercise.h"
#include "platform/message_wait.h"
#include "platform/program_quit.h"

#include <QDeadlineTimer>

// Serves the window messages until the program's exercise has ended or was
// left, or the program was asked to quit; false when `milliseconds` passed first.
inline bool ServeWhileExerciseRuns(int milliseconds = 20000)
{
    const QDeadlineTimer deadline(milliseconds);
    auto over = [] { return !programExercise().running() || QuitRequested(); };
    ServeMessagesUntil([&] { return over() || deadline.hasExpired(); }, 10);
    return over();
}
