#include "keeper/class_folder_session.h"

#include "accounts/current_user.h"
#include "accounts/new_user.h"
#include "accounts/password_digest.h"
#include "config/app_config.h"
#include "platform/folder_lock.h"
#include "records/number_range.h"
#include "util/files.h"
#include "util/number.h"

#include <optional>

namespace {

ProfileView ViewOf(const UserProfile& profile)
{
    return ProfileView{profile.fullName, profile.totalTime, profile.totalPoints};
}

bool Within(qint32 value, qint32 low, qint32 high) { return value >= low && value <= high; }

void RequireRange(const QString& rangeText)
{
    if (!RangeTexts().contains(rangeText))
        throw AccessRefused();
}

// The profile's file name must stay inside the user folder.
void RequirePupilNick(const QString& nick)
{
    if (IsAdminNick(nick) || nick.isEmpty() || nick.contains(QLatin1Char('/')))
        throw AccessRefused();
}

} // namespace

ClassFolderSession::ClassFolderSession(bool followsProgramUser)
    : followsProgramUser_(followsProgramUser)
{
}

QStringList ClassFolderSession::nicks() { return ListProfiles(); }

bool ClassFolderSession::profileExists(const QString& nick)
{
    return !IsAdminNick(nick) && ProfileExists(nick);
}

std::vector<ResultRecord> ClassFolderSession::readTable(const QString& rangeText)
{
    RequireRange(rangeText);
    const QString table = RecordsTableFileName(appConfig().PathUser, rangeText);
    // A link, pipe or device in the table's place is read, and so refused.
    if (!UserFileExists(table))
        return {};
    // Under the shared lock: no append is half-way through the last record.
    const FolderLock lock(appConfig().PathUser, FolderLock::Mode::SharedNoCreate);
    return ReadResultRecords(table);
}

void ClassFolderSession::convertLegacyTables() { ConvertLegacyTables(); }

LogInOutcome ClassFolderSession::logIn(const QString& nick, const QString& password,
                                       ProfileView& view)
{
    logOut();
    if (!profileExists(nick))
        return LogInOutcome::NoProfile;
    UserProfile profile;
    if (!ReadProfile(nick, profile))
        return LogInOutcome::NotRead;
    if (!CheckPassword(password, profile.digestText))
        return LogInOutcome::WrongPassword;
    nick_ = nick;
    record_ = profile;
    view = ViewOf(profile);
    return LogInOutcome::Done;
}

AdminLogInOutcome ClassFolderSession::logInAdmin(const QString& password)
{
    logOut();
    const std::optional<QString> digest = ReadAdminDigest();
    if (!digest)
        return AdminLogInOutcome::StoreNotRead;
    if (!CheckPassword(password, *digest))
        return AdminLogInOutcome::WrongPassword;
    nick_ = kAdminNick;
    admin_ = true;
    return AdminLogInOutcome::Done;
}

void ClassFolderSession::logOut()
{
    nick_.clear();
    admin_ = false;
    record_ = UserProfile();
}

QString ClassFolderSession::loggedInNick() const { return nick_; }

NewUserOutcome ClassFolderSession::createUser(const QString& nick, const QString& password,
                                              const QString& fullName)
{
    QStringList taken = nicks();
    taken.prepend(kAdminNick);
    const QString refusal = NewUserRefusal(nick, fullName, password, password, taken);
    if (refusal == kNickTaken)
        return NewUserOutcome::Exists;
    if (!refusal.isEmpty() || fullName.size() > 255)
        throw AccessRefused();
    UserProfile profile;
    profile.digestText = PasswordDigestText(password);
    profile.fullName = fullName;
    CreateFolderPath(appConfig().PathUser);
    switch (CreateProfile(appConfig().PathUser, nick, profile)) {
    case CreateOutcome::Exists:
        return NewUserOutcome::Exists;
    case CreateOutcome::NotCreated:
        return NewUserOutcome::NotCreated;
    case CreateOutcome::Done:
        break;
    }
    return NewUserOutcome::Done;
}

SaveOutcome ClassFolderSession::addTotals(qint32 seconds, qint32 points, ProfileView& view)
{
    requirePupil();
    if (!Within(seconds, 0, kMaxSavedSeconds) || !Within(points, -kMaxSavedPoints, kMaxSavedPoints))
        throw AccessRefused();
    UserProfile record;
    const ProfileChange result = ChangeStoredProfile(
        nick_, record_,
        [&](UserProfile& r, bool) {
            r.totalTime = AddWrapping(r.totalTime, seconds);
            r.totalPoints = AddWrapping(r.totalPoints, points);
            return true;
        },
        record);
    switch (result) {
    case ProfileChange::Written:
        record_ = record;
        record_.storedBytes = EncodeUserProfile(record);
        view = ViewOf(record);
        return SaveOutcome::Saved;
    case ProfileChange::Declined: // never: the totals are always taken
    case ProfileChange::NotCreated:
        return SaveOutcome::NotCreated;
    case ProfileChange::WriteFailed:
        break;
    }
    return SaveOutcome::WriteFailed;
}

PasswordOutcome ClassFolderSession::changePassword(const QString& password,
                                                   const QString& newPassword)
{
    follow();
    if (admin_) {
        const std::optional<QString> digest = ReadAdminDigest();
        if (!digest || !CheckPassword(password, *digest))
            return PasswordOutcome::WrongPassword;
        return WriteAdminDigest(PasswordDigestText(newPassword)) ? PasswordOutcome::Done
                                                                 : PasswordOutcome::NoStoreAccess;
    }
    requirePupil();
    UserProfile record;
    switch (ChangeStoredProfile(
        nick_, record_,
        [&](UserProfile& r, bool) {
            if (!CheckPassword(password, r.digestText))
                return false;
            r.digestText = PasswordDigestText(newPassword);
            return true;
        },
        record)) {
    case ProfileChange::Written:
        record_ = record;
        return PasswordOutcome::Done;
    case ProfileChange::Declined:
        return PasswordOutcome::WrongPassword;
    case ProfileChange::NotCreated:
        return PasswordOutcome::NotCreated;
    case ProfileChange::WriteFailed:
        break;
    }
    return PasswordOutcome::WriteFailed;
}

void ClassFolderSession::appendResult(const QString& rangeText, const ResultRecord& row)
{
    requirePupil();
    RequireRange(rangeText);
    if (!Within(row.timePerExample, 0, kMaxTimePerExample) ||
        !Within(row.points, 0, kMaxResultPoints) || !Within(row.errors, 0, kMaxResultErrors) ||
        row.finishedAt.size() > kMaxFieldBytes)
        throw AccessRefused();
    ResultRecord own = row;
    own.nick = nick_;
    own.fullName = record_.fullName;
    AppendResultRecord(appConfig().PathUser, rangeText, own);
}

bool ClassFolderSession::readProfile(const QString& nick, ProfileView& view)
{
    follow();
    if (!followsProgramUser_ && !admin_ && (nick_.isEmpty() || nick != nick_))
        throw AccessRefused();
    RequirePupilNick(nick);
    UserProfile profile;
    if (!ReadProfile(nick, profile))
        return false;
    view = ViewOf(profile);
    return true;
}

ResetOutcome ClassFolderSession::resetPassword(const QString& nick, ProfileView& view)
{
    requireAdmin();
    RequirePupilNick(nick);
    UserProfile record;
    const ResetOutcome outcome = ResetPassword(nick, record);
    view = ViewOf(record);
    return outcome;
}

void ClassFolderSession::deleteUser(const QString& nick)
{
    requireAdmin();
    RequirePupilNick(nick);
    RemoveUserFolderFile(ProfilePath(nick));
}

void ClassFolderSession::resetTable(const QString& rangeText)
{
    requireAdmin();
    RequireRange(rangeText);
    RemoveUserFolderFile(RecordsTableFileName(appConfig().PathUser, rangeText));
}

// The program's current user, where it is another than the session's: its
// profile as the program holds it is what a save falls back on.
void ClassFolderSession::follow()
{
    if (!followsProgramUser_ || currentUser().nick == nick_)
        return;
    nick_ = currentUser().nick;
    admin_ = IsAdminNick(nick_);
    record_ = admin_ ? UserProfile() : currentUser().profile;
}

void ClassFolderSession::requirePupil()
{
    follow();
    if (nick_.isEmpty() || admin_)
        throw AccessRefused();
}

void ClassFolderSession::requireAdmin()
{
    follow();
    if (!admin_ && !followsProgramUser_)
        throw AccessRefused();
}

void ClassFolderSession::saveSettings(const ScoringSettings& scoring, const QString& folder,
                                      bool noSound)
{
    requireAdmin();
    SaveSettings(scoring, folder, noSound);
}
