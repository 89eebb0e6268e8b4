#pragma once
// The rules a new user's nick, full name and password must pass.

#include <QString>
#include <QStringList>

// The refusal of a nick that is taken (letter case aside) or whose profile exists.
inline const QString kNickTaken = QStringLiteral("Такое имя уже есть");

// The first refusal of a new user's nick, full name and password (empty when
// they pass). `existingNicks` is the login window's nick list.
QString NewUserRefusal(const QString& nick, const QString& fullName, const QString& password,
                       const QString& repeat, const QStringList& existingNicks);
