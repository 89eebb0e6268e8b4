#include "exercise/program_state.h"

#include "platform/handler_guard.h"
#include "platform/process_state.h"
#include "records/result_record.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

// The states alive, the newest last; the newest one is installed.
std::vector<ProgramState*>& LiveStates()
{
    static std::vector<ProgramState*> states;
    return states;
}

// Points every part's accessor at the parts of `state` (or at none).
void InstallParts(ProgramState* state)
{
    InstalledStatePart<AppConfig>() = state ? &state->config : nullptr;
    InstalledStatePart<CurrentUser>() = state ? &state->user : nullptr;
    InstalledStatePart<LoginNicks>() = state ? &state->loginNicks : nullptr;
    InstalledStatePart<AdminScratch>() = state ? &state->adminRecord : nullptr;
    InstalledStatePart<NumberRange>() = state ? &state->range : nullptr;
    InstalledStatePart<ExerciseState>() = state ? &state->exercise : nullptr;
    InstalledStatePart<RandomSeed>() = state ? &state->randomSeed : nullptr;
}

} // namespace

ProgramState::ProgramState()
{
    LiveStates().push_back(this);
    InstallParts(this);
}

// A state that goes while a newer one lives (a test starting the program
// again) leaves the newest installed.
ProgramState::~ProgramState()
{
    std::vector<ProgramState*>& states = LiveStates();
    states.erase(std::find(states.begin(), states.end(), this));
    InstallParts(states.empty() ? nullptr : states.back());
}

void StartUp()
{
    exerciseState().errorCount = 0;
    InitFolders();
    SeedRandom(static_cast<quint32>(std::chrono::steady_clock::now().time_since_epoch().count()));
    RunHandler([] { LoadConfig(); });
    currentRange() = NumberRange();
    RunHandler([] { ConvertLegacyTables(); });
    RunHandler([] { ListLoginNicks(); });
}
