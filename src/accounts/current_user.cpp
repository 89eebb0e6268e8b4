#include "accounts/current_user.h"

#include "platform/dialogs.h"
#include "platform/errors.h"

CurrentUser& currentUser()
{
    static CurrentUser user;
    return user;
}

void ClearCurrentUser()
{
    CurrentUser& user = currentUser();
    user.nick.clear();
    user.profile = UserProfile();
}

bool SaveCurrentProfile()
{
    const CurrentUser& user = currentUser();
    try {
        if (!WriteProfile(user.nick, user.profile)) {
            dialogs().message(QStringLiteral("Ошибка записи 2   :-("));
            return false;
        }
    } catch (const IoError&) {
        // The old file is still whole, so the save did not happen.
        dialogs().message(QStringLiteral("Ошибка записи 1   :-("));
        return false;
    }
    return true;
}
