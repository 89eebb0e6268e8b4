#include "exercise/program_state.h"

#include "keeper/keeper_client.h"
#include "platform/handler_guard.h"
#include "platform/process_state.h"
#include "util/files.h"

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
    InstalledStatePart<Exercise>() = state ? &state->exercise : nullptr;
    InstalledStatePart<RandomSeed>() = state ? &state->randomSeed : nullptr;
    InstalledStatePart<ClassFolderLink>() = state ? &state->classFolder : nullptr;
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

void LoadConfigAndReachUserFolder()
{
    // The keeper reads the store for the program (closed to pupils' accounts);
    // where it finds a class folder, every step there goes through it.
    std::unique_ptr<KeeperClient> keeper;
    const QString program = KeeperProgram(ProgramFolder());
    if (!program.isEmpty())
        keeper = KeeperClient::start(program);
    std::optional<StoredSettings> stored;
    try {
        if (keeper)
            stored = keeper->readSettings();
    } catch (const ZelvoError&) {
        keeper.reset();
    }
    RunHandler([&] { stored ? LoadConfigFrom(*stored) : LoadConfig(); });
    if (keeper && keeper->classFolder())
        StatePart<ClassFolderLink>().access = std::move(keeper);
}

void StartUp()
{
    exerciseState().errorCount = 0;
    InitFolders();
    SeedRandom(static_cast<quint32>(std::chrono::steady_clock::now().time_since_epoch().count()));
    LoadConfigAndReachUserFolder();
    currentRange() = NumberRange();
    RunHandler([] { classFolder().convertLegacyTables(); });
    RunHandler([] { ListLoginNicks(classFolder().nicks()); });
}
