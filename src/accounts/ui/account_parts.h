#pragma once
// What the account windows act on, handed by the program: the logged-in user,
// the nicks the login window offers, the user folder as the class folder link
// reaches it, and the configuration that names that folder.

#include <QStringList>

struct AppConfig;
struct ClassFolderLink;
struct CurrentUser;

struct AccountParts {
    CurrentUser& user;
    QStringList& loginNicks;
    ClassFolderLink& classFolder;
    const AppConfig& config;
};
