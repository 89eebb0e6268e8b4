#pragma once
// One keeper session: the program's run, from its Hello to the end of the
// socket. What a request may do depends on what this session has proved.

#include "config/app_config.h"
#include "keeper/class_folder_session.h"
#include "keeper/keeper_protocol.h"

#include <QString>
#include <vector>

#include <sys/stat.h>

class KeeperSession {
  public:
    // While it lives, the session's configuration is the one the logic
    // reads (appConfig()).
    KeeperSession();
    ~KeeperSession();
    KeeperSession(const KeeperSession&) = delete;
    KeeperSession& operator=(const KeeperSession&) = delete;

    // The configuration the logic reads; its PathUser is the class folder,
    // ending with "/" (empty when the store names none).
    AppConfig config;
    // True when that folder is a class folder (IsClassFolder); otherwise
    // every request but Hello answers NotAClassFolder.
    bool classFolder = false;
    // Who logged in through this session, and what that allows.
    ClassFolderSession rules;
    // The table a ReadTable from 0 read, served page by page.
    QString tableRange;
    std::vector<ResultRecord> table;

  private:
    AppConfig* previous_ = nullptr;
};

// The answer to one decoded request; it may change the session. A step the
// session does not allow answers Refused, an error that travels Failed with
// its text. Otherwise the answer is Ok, and:
//  - ListNicks: `texts` a page of nicks, `a` their number, `more`;
//  - ProfileExists, ReadProfile: No where there is none (or it cannot be read);
//  - LogIn, LogInAdmin, CreateUser, SaveTotals, ChangePassword, ResetPassword:
//    `a` the outcome (the enums of class_folder_session.h and ResetOutcome);
//  - a profile (LogIn and SaveTotals when done, ReadProfile, ResetPassword):
//    `text` its full name, `texts` its total seconds and points in decimal;
//  - ReadTable: `records` the page from `from`, `a` the table's records,
//    `more`; a page from 0 reads the table anew.
KeeperAnswer HandleKeeperRequest(KeeperSession& session, const KeeperRequest& request);

// A class folder is a folder itself (not a link: `st` comes from lstat),
// owned by root, of the keeper's group `group`, with no access for others.
bool IsClassFolder(const struct stat& st, gid_t group);
// The same for the folder text `folder` (ending with "/" or not), for this
// process's effective group; a relative folder never is one, since it would
// be taken against a current folder that the caller chose.
bool IsClassFolderAt(const QString& folder);
