#pragma once
// The program's side of the class folder's keeper: one keeper started for the
// program's run over a socket pair, every step of ClassFolderAccess sent to it
// as a request (keeper_protocol.h). The keeper's answers decide; this side
// only keeps requests the keeper's reader would refuse from being sent, since
// a refused request ends the keeper's session.
//
// When the keeper goes (killed, or it ended the session), the step under way
// fails with an error, and the next step starts a new keeper and logs in
// again with the password of this run's login, which the program holds for
// that alone.

#include "keeper/class_folder_access.h"
#include "keeper/keeper_protocol.h"

#include <QString>

#include <memory>
#include <optional>

#include <sys/types.h>

// The keeper the program starts: zelvo-keeper in the program folder (ending
// with "/"). Test builds (ZELVO_STORE_FROM_ENVIRONMENT) start only the one
// that ZELVO_KEEPER names, so that the tests' own folders stay theirs. Empty
// when there is none.
QString KeeperProgram(const QString& programFolder);

class KeeperClient : public ClassFolderAccess {
  public:
    // Starts the keeper `program` and greets it; none when it cannot be
    // started or does not answer.
    static std::unique_ptr<KeeperClient> start(const QString& program);
    ~KeeperClient() override;
    KeeperClient(const KeeperClient&) = delete;
    KeeperClient& operator=(const KeeperClient&) = delete;

    // True when the keeper found the store's user folder to be a class
    // folder: only then does it take the folder's steps.
    bool classFolder() const { return classFolder_; }
    // The store's values as the keeper reads them.
    StoredSettings readSettings();

    QStringList nicks() override;
    bool profileExists(const QString& nick) override;
    std::vector<ResultRecord> readTable(const QString& rangeText) override;
    void convertLegacyTables() override;
    LogInOutcome logIn(const QString& nick, const QString& password, ProfileView& view) override;
    AdminLogInOutcome logInAdmin(const QString& password) override;
    void logOut() override;
    NewUserOutcome createUser(const QString& nick, const QString& password,
                              const QString& fullName) override;
    SaveOutcome addTotals(qint32 seconds, qint32 points, ProfileView& view) override;
    PasswordOutcome changePassword(const QString& password, const QString& newPassword) override;
    void appendResult(const QString& rangeText, const ResultRecord& row) override;
    bool readProfile(const QString& nick, ProfileView& view) override;
    ResetOutcome resetPassword(const QString& nick, ProfileView& view) override;
    void deleteUser(const QString& nick) override;
    void resetTable(const QString& rangeText) override;
    void saveSettings(const ScoringSettings& scoring, const QString& folder, bool noSound) override;
    bool throughKeeper() const override { return true; }

  private:
    explicit KeeperClient(const QString& program);
    // Starts the keeper and greets it; false when that fails.
    bool connect();
    void disconnect();
    // Sends `request` and reads its answer. Refused raises AccessRefused,
    // Failed the error it carries; a keeper that cannot be reached raises
    // ZelvoError. No, Ok and NotAClassFolder are returned.
    KeeperAnswer ask(const KeeperRequest& request);
    // The same, once the keeper runs, with this run's login repeated in a new
    // keeper.
    KeeperAnswer exchange(const KeeperRequest& request);

    QString program_;
    int socket_ = -1;
    pid_t pid_ = -1;
    bool classFolder_ = false;
    // This run's login, to repeat in a keeper started anew.
    enum class Login { Nobody, Pupil, Admin } login_ = Login::Nobody;
    QString nick_, password_;
};
