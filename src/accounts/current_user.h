#pragma once
// The logged-in user: a nick ("ADM" is the administrator, empty is nobody)
// and that user's profile.

#include "accounts/user_profile.h"

struct CurrentUser {
    QString nick;
    UserProfile profile;
};

CurrentUser& currentUser();

// Empty nick, digest and full name; totals 0. Menus are not touched.
void ClearCurrentUser();

// Writes the current user's profile: "Ошибка записи 2   :-(" and false when
// the file cannot be created, "Ошибка записи 1   :-(" and false when the write fails.
bool SaveCurrentProfile();

// The main window's login states, implemented by the main window.
class LoginStates {
public:
    virtual ~LoginStates() = default;
    virtual void ShowLoggedOutMenus() = 0;
    virtual void ShowAdminMenus() = 0;
    virtual void ShowPupilMenus() = 0;
};
