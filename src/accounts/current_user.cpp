#include "accounts/current_user.h"

#include "config/app_config.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/folder_lock.h"
#include "platform/process_state.h"
#include "util/number.h"

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

// The read, the merge and the write, under the user folder's lock; where the
// file cannot be read, the whole record in memory is written.
ProfileChange StoreUnsavedChanges(CurrentUser& user)
{
    UserProfile record;
    const ProfileChange result = ChangeStoredProfile(
        user.nick, user.profile,
        [&](UserProfile& r, bool stored) {
            if (stored)
                r = WithUnsavedChanges(r, user);
            return true;
        },
        record);
    if (result != ProfileChange::Written)
        return result;
    user.profile.totalTime = record.totalTime;
    user.profile.totalPoints = record.totalPoints;
    user.profile.storedBytes = EncodeUserProfile(record);
    user.unsavedTime = 0;
    user.unsavedPoints = 0;
    user.digestUnsaved = false;
    return result;
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
    case ProfileChange::Written:
    case ProfileChange::Declined: // never: every change is taken
        return true;
    case ProfileChange::NotCreated:
        dialogs().message(QStringLiteral("Ошибка записи 2   :-("));
        return false;
    case ProfileChange::WriteFailed:
        dialogs().message(QStringLiteral("Ошибка записи 1   :-("));
        return false;
    }
    return false;
}
