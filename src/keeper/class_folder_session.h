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

#include "accounts/admin_actions.h"
#include "accounts/user_profile.h"
#include "keeper/keeper_protocol.h"
#include "platform/errors.h"
#include "records/result_record.h"

#include <QString>
#include <QStringList>
#include <vector>

// A step this session may not take.
class AccessRefused : public ZelvoError {
  public:
    AccessRefused();
};

enum class LogInOutcome { NoProfile, NotRead, WrongPassword, Done };
enum class AdminLogInOutcome { StoreNotRead, WrongPassword, Done };
enum class NewUserOutcome { Exists, NotCreated, Done };
enum class SaveOutcome { NotCreated, WriteFailed, Saved };
enum class PasswordOutcome { WrongPassword, NotCreated, WriteFailed, NoStoreAccess, Done };

// A pupil's profile as the session hands it out: never the digest.
struct ProfileView {
    QString fullName;
    qint32 totalTime = 0;
    qint32 totalPoints = 0;
};

class ClassFolderSession {
  public:
    // Anyone.
    QStringList nicks() const;
    bool profileExists(const QString& nick) const;
    // The whole records of the range's table; none when there is no table.
    // IoError as reading a table gives.
    std::vector<ResultRecord> readTable(const QString& rangeText) const;
    void convertLegacyTables();

    // The password test. Done makes the session that pupil's (and ends any
    // earlier login of it) and fills `view`; any other outcome leaves nobody
    // logged in.
    LogInOutcome logIn(const QString& nick, const QString& password, ProfileView& view);
    AdminLogInOutcome logInAdmin(const QString& password);
    void logOut();
    // The nick logged in through this session ("ADM" for the administrator),
    // empty for nobody.
    QString loggedInNick() const;

    // A profile that does not exist yet; AccessRefused for a nick, full name
    // or password that the new-user rules refuse. Nobody is logged in by it.
    NewUserOutcome createUser(const QString& nick, const QString& password,
                              const QString& fullName);

    // The logged-in pupil's totals grow by the exercise's seconds and points,
    // added to the profile as it is on disk under the folder's lock; `view`
    // gets the totals stored. Where the profile cannot be read, the record
    // read at the login is written with its totals grown.
    SaveOutcome addTotals(qint32 seconds, qint32 points, ProfileView& view);
    // The logged-in pupil's password, or ADM's, after the current one passed.
    PasswordOutcome changePassword(const QString& password, const QString& newPassword);
    // One row for the logged-in pupil in the table of `rangeText`: the nick
    // and full name are the session's own, whatever `row` says.
    void appendResult(const QString& rangeText, const ResultRecord& row);

    // The pupil's own profile, or any after ADM logged in. False when it
    // cannot be read.
    bool readProfile(const QString& nick, ProfileView& view);

    // ADM only.
    ResetOutcome resetPassword(const QString& nick, ProfileView& view);
    void deleteUser(const QString& nick);
    void resetTable(const QString& rangeText);

  private:
    void requirePupil() const;
    void requireAdmin() const;

    QString nick_;
    bool admin_ = false;
    // The pupil's record as last read or written: what a save falls back on.
    UserProfile record_;
};
