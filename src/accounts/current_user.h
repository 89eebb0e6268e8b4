#pragma once
// The logged-in user: a nick ("ADM" is the administrator, empty is nobody)
// and that user's profile.

#include "accounts/user_profile.h"

// The administrator's nick; it has no profile file.
inline const QString kAdminNick = QStringLiteral("ADM");
// True for the administrator's nick (letter case counts).
bool IsAdminNick(const QString& nick);

// The message where a step needs a logged-in user and nobody is.
inline const QString kLoginNeededMessage =
    QStringLiteral("Необходимо зайти с каким-нибудь именем (создайте пользователя)");

struct CurrentUser {
    QString nick;
    UserProfile profile;
    // What the profile file does not hold yet: the time and points added since
    // the last save.
    qint32 unsavedTime = 0;
    qint32 unsavedPoints = 0;
};

// The program's logged-in user (a part of its ProgramState).
CurrentUser& currentUser();

// Empty nick, digest and full name; totals 0. Menus are not touched.
void ClearCurrentUser();

// Adds an exercise's seconds and points to the current user's totals (wrapping
// at 32 bits); the next save of the totals stores them.
void AddToCurrentTotals(qint32 seconds, qint32 points);

// The main window's login states, implemented by the main window.
class LoginStates {
  public:
    virtual ~LoginStates() = default;
    virtual void ShowLoggedOutMenus() = 0;
    virtual void ShowAdminMenus() = 0;
    virtual void ShowPupilMenus() = 0;
};
