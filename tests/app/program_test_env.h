#pragma once
// Fixture of the tests that build the program's twelve windows: nobody logged
// in, the range 0-20, a fresh exercise, and a machine store that names the
// test's user folder, so start-up never looks elsewhere.

#include "accounts/current_user.h"
#include "exercise/exercise_state.h"
#include "records/number_range.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"
#include "util/files.h"

class ProgramTest : public ZelvoTest {
protected:
    void SetUp() override
    {
        ZelvoTest::SetUp();
        currentUser() = CurrentUser();
        currentRange() = NumberRange();
        exerciseState() = ExerciseState();
        writeFile(storePath(), QStringLiteral("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n"
                                              "\"PathUser\"=\"%1\"\n")
                                   .arg(StripTrailingSeparators(userFolder()))
                                   .toUtf8());
    }

    ScriptedDialogs dialogs;
};
