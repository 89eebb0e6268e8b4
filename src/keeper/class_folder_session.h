#pragma once
// What one run of the program may do in the user folder, and the checks that
// decide it. The class folder's keeper answers every request through one
// session; the program's passwords are the authority, so the rules hold even
// when a whole class shares one account:
//  - the login list, a profile's existence and the records tables: anyone;
//  - a pupil's profile: only the password test; its full name and totals
//    after that pupil logged in through this session;
//  - a new user: only a profile that does not exist yet;
//  - totals, a password change and a records append: only for the pupil
//    logged in through this session, with bounded values;
//  - another pupil's profile, a password reset, deleting a user and
//    resetting a table: only after ADM's password passed in this session.
// A step that the session does not allow raises AccessRefused and changes
// nothing; the bounds of the numbers are the protocol's (keeper_protocol.h).
// The session acts in the user folder of the configuration
// (appConfig().PathUser) and never hands out a password digest.

#include "accounts/user_profile.h"
#include "keeper/class_folder_access.h"
#include "keeper/keeper_protocol.h"

#include <QString>
#include <QStringList>
#include <vector>

class ClassFolderSession : public ClassFolderAccess {
  public:
    // A session of the keeper proves its logins itself. The program working
    // on the folder with its account's own rights (which allow every step
    // anyway) makes one that `followsProgramUser`: its login is the program's
    // current user, however that user was set, and the windows the program
    // shows decide who takes the administrator's steps.
    explicit ClassFolderSession(bool followsProgramUser = false);

    // Anyone.
    QStringList nicks() override;
    bool profileExists(const QString& nick) override;
    // The whole records of the range's table; none when there is no table.
    // IoError as reading a table gives.
    std::vector<ResultRecord> readTable(const QString& rangeText) override;
    void convertLegacyTables() override;

    // The password test. Done makes the session that pupil's (and ends any
    // earlier login of it) and fills `view`; any other outcome leaves nobody
    // logged in.
    LogInOutcome logIn(const QString& nick, const QString& password, ProfileView& view) override;
    AdminLogInOutcome logInAdmin(const QString& password) override;
    void logOut() override;
    // The nick logged in through this session ("ADM" for the administrator),
    // empty for nobody.
    QString loggedInNick() const;

    // A profile that does not exist yet; AccessRefused for a nick, full name
    // or password that the new-user rules refuse. Nobody is logged in by it.
    NewUserOutcome createUser(const QString& nick, const QString& password,
                              const QString& fullName) override;

    // The logged-in pupil's totals grow by the exercise's seconds and points,
    // added to the profile as it is on disk under the folder's lock; `view`
    // gets the totals stored. Where the profile cannot be read, the record
    // read at the login is written with its totals grown.
    SaveOutcome addTotals(qint32 seconds, qint32 points, ProfileView& view) override;
    // The logged-in pupil's password, or ADM's, after the current one passed.
    PasswordOutcome changePassword(const QString& password, const QString& newPassword) override;
    // One row for the logged-in pupil in the table of `rangeText`: the nick
    // and full name are the session's own, whatever `row` says.
    void appendResult(const QString& rangeText, const ResultRecord& row) override;

    // The pupil's own profile, or any after ADM logged in. False when it
    // cannot be read.
    bool readProfile(const QString& nick, ProfileView& view) override;

    // ADM only.
    ResetOutcome resetPassword(const QString& nick, ProfileView& view) override;
    void deleteUser(const QString& nick) override;
    void resetTable(const QString& rangeText) override;
    void saveSettings(const ScoringSettings& scoring, const QString& folder, bool noSound) override;

  private:
    void follow();
    void requirePupil();
    void requireAdmin();

    bool followsProgramUser_ = false;
    QString nick_;
    bool admin_ = false;
    // The pupil's record as last read or written: what a save falls back on.
    UserProfile record_;
};
