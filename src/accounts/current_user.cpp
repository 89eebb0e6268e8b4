#include "accounts/current_user.h"

#include "platform/process_state.h"
#include "util/number.h"

bool IsAdminNick(const QString& nick) { return nick == kAdminNick; }

CurrentUser& currentUser() { return StatePart<CurrentUser>(); }

void ClearCurrentUser() { currentUser() = CurrentUser(); }

void AddToCurrentTotals(qint32 seconds, qint32 points)
{
    CurrentUser& user = currentUser();
    user.profile.totalTime = AddWrapping(user.profile.totalTime, seconds);
    user.profile.totalPoints = AddWrapping(user.profile.totalPoints, points);
    user.unsavedTime = AddWrapping(user.unsavedTime, seconds);
    user.unsavedPoints = AddWrapping(user.unsavedPoints, points);
}
