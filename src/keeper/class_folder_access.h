#pragma once
// The steps the program takes in the user folder, one interface for both ways
// of reaching it: directly with the account's own rights (ClassFolderSession)
// or through the class folder's keeper (KeeperClient). The outcomes and the
// refusal are the same for both; what each step may do is told in
// class_folder_session.h.

#include "accounts/admin_actions.h"
#include "accounts/user_profile.h"
#include "config/app_config.h"
#include "platform/errors.h"
#include "records/result_record.h"

#include <QString>
#include <QStringList>

#include <memory>
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

class ClassFolderAccess {
  public:
    virtual ~ClassFolderAccess() = default;

    virtual QStringList nicks() = 0;
    virtual bool profileExists(const QString& nick) = 0;
    virtual std::vector<ResultRecord> readTable(const QString& rangeText) = 0;
    virtual void convertLegacyTables() = 0;

    virtual LogInOutcome logIn(const QString& nick, const QString& password, ProfileView& view) = 0;
    virtual AdminLogInOutcome logInAdmin(const QString& password) = 0;
    virtual void logOut() = 0;

    virtual NewUserOutcome createUser(const QString& nick, const QString& password,
                                      const QString& fullName) = 0;
    virtual SaveOutcome addTotals(qint32 seconds, qint32 points, ProfileView& view) = 0;
    virtual PasswordOutcome changePassword(const QString& password, const QString& newPassword) = 0;
    virtual void appendResult(const QString& rangeText, const ResultRecord& row) = 0;
    virtual bool readProfile(const QString& nick, ProfileView& view) = 0;

    virtual ResetOutcome resetPassword(const QString& nick, ProfileView& view) = 0;
    virtual void deleteUser(const QString& nick) = 0;
    virtual void resetTable(const QString& rangeText) = 0;
    // The administrator's settings into the store (config/app_config.h's
    // SaveSettings), after ADM logged in.
    virtual void saveSettings(const ScoringSettings& scoring, const QString& folder,
                              bool noSound) = 0;
    // True when the folder is reached through the keeper: the settings are
    // saved there with no write access of the account's own, and a result the
    // folder cannot take is kept in the pupil's own folder.
    virtual bool throughKeeper() const { return false; }
};

// How the program reaches the user folder for its run (a part of its
// ProgramState): directly until the start-up finds the keeper.
struct ClassFolderLink {
    ClassFolderLink();
    ~ClassFolderLink();
    std::unique_ptr<ClassFolderAccess> access;
};

ClassFolderAccess& classFolder();

// The view's full name and totals into `profile`; its digest stays.
void CopyView(const ProfileView& view, UserProfile& profile);

// Stores the current user's unsaved time and points: they are added to the
// totals of the profile as it is on disk, so that the saves of other copies of
// the program made meanwhile stay; where the file cannot be read, the record
// read at the login is written with its totals grown. Where the file cannot
// be created or the write fails, the time and points stay unsaved for the
// next save. Shows nothing: the caller shows SaveFailedMessage.
SaveOutcome SaveCurrentTotals();
// "Ошибка записи 2   :-(" where the profile could not be created, "Ошибка
// записи 1   :-(" where the write failed; empty for a save that was made.
QString SaveFailedMessage(SaveOutcome outcome);
