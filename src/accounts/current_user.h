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
    // the last save, and whether the digest was changed since then.
    qint32 unsavedTime = 0;
    qint32 unsavedPoints = 0;
    bool digestUnsaved = false;
};

// The program's logged-in user (a part of its ProgramState).
CurrentUser& currentUser();

// The nicks the login window offers: "ADM", the profiles found at start-up,
// then the nicks created since (a part of the ProgramState). The list is
// kept apart from the window so that the window can be made when first shown.
struct LoginNicks {
    QStringList nicks;
};
QStringList& loginNicks();
// Start-up step: "ADM" and the profiles of the user folder, in the order the
// folder lists them.
void ListLoginNicks();

// Empty nick, digest and full name; totals 0. Menus are not touched.
void ClearCurrentUser();

// Adds an exercise's seconds and points to the current user's totals (wrapping
// at 32 bits); the next SaveCurrentProfile stores them.
void AddToCurrentTotals(qint32 seconds, qint32 points);
// Sets the current user's digest text; the next SaveCurrentProfile stores it.
void SetCurrentDigest(const QString& digestText);

// Stores the current user's unsaved changes in the profile file. Under the user
// folder's lock the record is read as it is on disk, the unsaved time and
// points are added to its totals and a changed digest replaces its digest, so
// that saves of other copies of the program made meanwhile (totals, a password
// reset) stay. Where the file cannot be read, the whole record in memory is
// written. "Ошибка записи 2   :-(" and false when the file cannot be created,
// "Ошибка записи 1   :-(" and false when the write fails; the changes then
// stay unsaved for the next save.
bool SaveCurrentProfile();

// The main window's login states, implemented by the main window.
class LoginStates {
  public:
    virtual ~LoginStates() = default;
    virtual void ShowLoggedOutMenus() = 0;
    virtual void ShowAdminMenus() = 0;
    virtual void ShowPupilMenus() = 0;
};
