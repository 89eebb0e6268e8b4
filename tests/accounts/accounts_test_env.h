#pragma once
// Fixture of the account tests: a fresh user folder and machine store, the
// scripted dialogs, nobody logged in, and a main window stand-in that records
// the login states it is switched to.

#include "accounts/current_user.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"

#include <QStringList>

#include <csignal>
#include <sys/resource.h>

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

// While it lives, a file cannot grow beyond `bytes`: a longer write fails as
// on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }

private:
    rlimit old_;
};
