#pragma once
// Fixture of the tests that start the program and its windows: a machine
// store that names the test's user folder, so start-up never looks elsewhere.

#include "accounts/ui/form4_login.h"
#include "accounts/ui/form6_new_user.h"
#include "accounts/ui/form7_password.h"
#include "admin/ui/form5_settings.h"
#include "admin/ui/form9_service.h"
#include "app/form1_main.h"
#include "app/form2_sound.h"
#include "app/form3_about.h"
#include "app/program_windows.h"
#include "exercise/program_state.h"
#include "exercise/ui/exercise_controller.h"
#include "platform/sound_player.h"
#include "records/ui/form10_summary.h"
#include "records/ui/form11_records.h"
#include "records/ui/form12_range.h"
#include "records/ui/form8_statistics.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"
#include "util/files.h"

// The program as it starts: a state of its own, the start-up steps, then the
// main window (the other windows are made when first needed).
struct StartedState {
    StartedState() { StartUp(); }
    ProgramState state;
};

class StartedProgram : private StartedState, public ProgramWindows {
  public:
    explicit StartedProgram(
        std::unique_ptr<SoundPlayer> player = std::make_unique<RecordingSoundPlayer>())
        : ProgramWindows(state, std::move(player))
    {
    }
};

class ProgramTest : public ZelvoTest {
  protected:
    void SetUp() override
    {
        ZelvoTest::SetUp();
        writeStore(pathUserLine());
    }

    ScriptedDialogs dialogs;
};
