#pragma once
// Fixture of the account tests: a fresh user folder and machine store, the
// scripted dialogs, nobody logged in, and a main window stand-in that records
// the login states it is switched to.

#include "accounts/current_user.h"
#include "accounts/login_nicks.h"
#include "support/file_size_limit.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"

#include <QStringList>

class RecordingLoginStates : public LoginStates {
  public:
    void ShowLoggedOutMenus() override { calls << "LoggedOut"; }
    void ShowAdminMenus() override { calls << "Admin:" + currentUser().nick; }
    void ShowPupilMenus() override { calls << "Pupil:" + currentUser().nick; }
    QStringList calls;
};

class AccountsTest : public ZelvoTest {
  protected:
    void SetUp() override
    {
        ZelvoTest::SetUp();
        ClearCurrentUser();
    }

    QString profileFile(const QString& nick) const { return userFolder() + nick + ".zamrik"; }

    ScriptedDialogs dialogs_;
    RecordingLoginStates states_;
};
