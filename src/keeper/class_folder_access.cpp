#include "keeper/class_folder_access.h"

#include "accounts/current_user.h"
#include "keeper/class_folder_session.h"
#include "platform/dialogs.h"
#include "platform/process_state.h"

AccessRefused::AccessRefused()
    : ZelvoError(QStringLiteral("Отказано: этот шаг не разрешён без входа под нужным именем"))
{
}

ClassFolderLink::ClassFolderLink() : access(std::make_unique<ClassFolderSession>(true)) {}

ClassFolderLink::~ClassFolderLink() = default;

ClassFolderAccess& classFolder() { return *StatePart<ClassFolderLink>().access; }

void CopyView(const ProfileView& view, UserProfile& profile)
{
    profile.fullName = view.fullName;
    profile.totalTime = view.totalTime;
    profile.totalPoints = view.totalPoints;
}

// The messages come after the lock is given back: no other copy waits on a message box.
bool SaveCurrentTotals()
{
    CurrentUser& user = currentUser();
    ProfileView view;
    switch (classFolder().addTotals(user.unsavedTime, user.unsavedPoints, view)) {
    case SaveOutcome::Saved:
        CopyView(view, user.profile);
        user.unsavedTime = 0;
        user.unsavedPoints = 0;
        return true;
    case SaveOutcome::NotCreated:
        dialogs().message(QStringLiteral("Ошибка записи 2   :-("));
        return false;
    case SaveOutcome::WriteFailed:
        dialogs().message(QStringLiteral("Ошибка записи 1   :-("));
        return false;
    }
    return false;
}
