#include "keeper/class_folder_access.h"

#include "accounts/current_user.h"
#include "keeper/class_folder_session.h"
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

SaveOutcome SaveCurrentTotals()
{
    CurrentUser& user = currentUser();
    ProfileView view;
    const SaveOutcome outcome = classFolder().addTotals(user.unsavedTime, user.unsavedPoints, view);
    if (outcome == SaveOutcome::Saved) {
        CopyView(view, user.profile);
        user.unsavedTime = 0;
        user.unsavedPoints = 0;
    }
    return outcome;
}

QString SaveFailedMessage(SaveOutcome outcome)
{
    switch (outcome) {
    case SaveOutcome::NotCreated:
        return QStringLiteral("Ошибка записи 2   :-(");
    case SaveOutcome::WriteFailed:
        return QStringLiteral("Ошибка записи 1   :-(");
    case SaveOutcome::Saved:
        break;
    }
    return QString();
}
