#include "accounts/current_user.h"

#include "config/app_config.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/folder_lock.h"
#include "platform/process_state.h"
#include "util/number.h"

#include <optional>

namespace {

// The record to store: `stored` as read from disk with the user's unsaved changes.
UserProfile WithUnsavedChanges(const UserProfile& stored, const CurrentUser& user)
{
    UserProfile record = stored;
    record.totalTime = AddWrapping(stored.totalTime, user.unsavedTime);
    record.totalPoints = AddWrapping(stored.totalPoints, user.unsavedPoints);
    if (user.digestUnsaved)
        record.digestText = user.profile.digestText;
    return record;
}

enum class SaveResult { Saved, NotCreated, WriteFailed };

// The read, the merge and the write, under the user folder's lock. A lock
// that does not come in time fails the save as a failed write does.
SaveResult StoreUnsavedChanges(CurrentUser& user)
{
    std::optional<FolderLock> lock;
    try {
        lock.emplace(appConfig().PathUser, FolderLock::Mode::Exclusive);
    } catch (const IoError&) {
        return SaveResult::WriteFailed;
    }
    UserProfile record = user.profile;
    UserProfile stored;
    bool readable = false;
    try {
        readable = ReadProfile(user.nick, stored);
    } catch (const IoError&) {
        // A record cut short holds nothing to keep: the one in memory replaces it.
    }
    if (readable)
        record = WithUnsavedChanges(stored, user);
    try {
        if (!WriteProfile(user.nick, record))
            return SaveResult::NotCreated;
    } catch (const IoError&) {
        // The old file is still whole, so the save did not happen.
        return SaveResult::WriteFailed;
    }
    user.profile.totalTime = record.totalTime;
    user.profile.totalPoints = record.totalPoints;
    user.profile.storedBytes = EncodeUserProfile(record);
    user.unsavedTime = 0;
    user.unsavedPoints = 0;
    user.digestUnsaved = false;
    return SaveResult::Saved;
}

} // namespace

bool IsAdminNick(const QString& nick) { return nick == kAdminNick; }

CurrentUser& currentUser() { return StatePart<CurrentUser>(); }

QStringList& loginNicks() { return StatePart<LoginNicks>().nicks; }

void ListLoginNicks()
{
    QStringList& nicks = loginNicks();
    nicks = QStringList{kAdminNick};
    nicks += ListProfiles();
}

void ClearCurrentUser() { currentUser() = CurrentUser(); }

void AddToCurrentTotals(qint32 seconds, qint32 points)
{
    CurrentUser& user = currentUser();
    user.profile.totalTime = AddWrapping(user.profile.totalTime, seconds);
    user.profile.totalPoints = AddWrapping(user.profile.totalPoints, points);
    user.unsavedTime = AddWrapping(user.unsavedTime, seconds);
    user.unsavedPoints = AddWrapping(user.unsavedPoints, points);
}

void SetCurrentDigest(const QString& digestText)
{
    CurrentUser& user = currentUser();
    user.profile.digestText = digestText;
    user.digestUnsaved = true;
}

// The messages come after the lock is given back: no other copy waits on a message box.
bool SaveCurrentProfile()
{
    switch (StoreUnsavedChanges(currentUser())) {
    case SaveResult::Saved:
        return true;
    case SaveResult::NotCreated:
        dialogs().message(QStringLiteral("Ошибка записи 2   :-("));
        return false;
    case SaveResult::WriteFailed:
        dialogs().message(QStringLiteral("Ошибка записи 1   :-("));
        return false;
    }
    return false;
}
