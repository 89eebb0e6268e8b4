#include "accounts/new_user.h"

#include "accounts/user_profile.h"
#include "util/cp1251.h"
#include "util/text.h"

namespace {

bool IsNickTaken(const QString& nick, const QStringList& existingNicks)
{
    const QString upperNick = UpperText(nick);
    for (const QString& item : existingNicks) {
        if (UpperText(item) == upperNick)
            return true;
    }
    return false;
}

// "/" would lead outside the user folder; text without Windows-1251 bytes
// would be stored altered.
bool HasBadNickChars(const QString& nick)
{
    for (const char* c : {".", ":", "\\", "|", "/"}) {
        if (nick.contains(QLatin1String(c)))
            return true;
    }
    return !IsCp1251Text(nick);
}

} // namespace

QString NewUserRefusal(const QString& nick, const QString& fullName, const QString& password,
                       const QString& repeat, const QStringList& existingNicks)
{
    if (IsNickTaken(nick, existingNicks))
        return kNickTaken;
    if (HasBadNickChars(nick))
        return QStringLiteral("Недопустимые символы в нике (.:\\|)");
    if (fullName.contains(QLatin1Char('|')) || !IsCp1251Text(fullName))
        return QStringLiteral("Недопустимые символы в ФИО (|)");
    if (nick.isEmpty())
        return QStringLiteral("Вы должны написать ник");
    if (fullName.isEmpty())
        return QStringLiteral("Вы должны написать ФИО");
    if (password != repeat)
        return QStringLiteral("Пароль и его повтор не совпадают");
    // A profile that appeared after the list was filled is never replaced.
    if (ProfileExists(nick))
        return kNickTaken;
    return QString();
}
