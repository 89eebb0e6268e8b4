#pragma once
// The program's process-wide state in one place: the configuration, the
// logged-in user and the nicks the login window offers, the administrator's
// scratch record, the number range, the exercise and the random generator.
// Making a ProgramState installs its parts for the functions of every layer
// (platform/process_state.h) until it goes or a newer one is made; the
// program makes one for its whole run and each test its own, so every run
// starts from the same state.

#include "accounts/current_user.h"
#include "accounts/login_nicks.h"
#include "accounts/user_profile.h"
#include "config/app_config.h"
#include "exercise/exercise.h"
#include "keeper/class_folder_access.h"
#include "records/number_range.h"

class ProgramState {
  public:
    ProgramState();
    ~ProgramState();
    ProgramState(const ProgramState&) = delete;
    ProgramState& operator=(const ProgramState&) = delete;

    AppConfig config;
    CurrentUser user;
    LoginNicks loginNicks;
    AdminScratch adminRecord;
    NumberRange range;
    RandomSeed randomSeed;
    // Reads the scoring, the range and the generator above.
    Exercise exercise{config.Scoring, range, randomSeed};
    ClassFolderLink classFolder;
};

// The program's start-up steps, in their order: the program folder and the
// user folder, the random seed from the clock, the configuration, the range
// 0-20, the conversion of older records tables, and the nicks for the login
// window. An error that travels is reported and the start-up goes on.
void StartUp();
// The start-up's step of the configuration: the keeper reads the store for
// the program (it may be closed to the account) and, where it finds a class
// folder, takes every step of the run there; otherwise the store is read and
// the folder reached with the account's own rights.
void LoadConfigAndReachUserFolder();
