#pragma once
// One keeper session: the program's run, from its Hello to the end of the
// socket. What a request may do depends on what this session has proved.

#include "keeper/keeper_protocol.h"

#include <QString>

#include <sys/stat.h>

class KeeperSession {
  public:
    // The class folder, ending with "/" (empty when the store names none).
    QString folder;
    // True when `folder` is a class folder (IsClassFolder); otherwise every
    // request but Hello answers NotAClassFolder.
    bool classFolder = false;
    // The nick logged in through this session (empty: nobody).
    QString loggedInNick;
    // True once ADM's password has been tested in this session.
    bool adminTested = false;
};

// The answer to one decoded request; it may change the session.
KeeperAnswer HandleKeeperRequest(KeeperSession& session, const KeeperRequest& request);

// A class folder is a folder itself (not a link: `st` comes from lstat),
// owned by root, of the keeper's group `group`, with no access for others.
bool IsClassFolder(const struct stat& st, gid_t group);
// The same for the folder text `folder` (ending with "/" or not), for this
// process's effective group; a relative folder never is one, since it would
// be taken against a current folder that the caller chose.
bool IsClassFolderAt(const QString& folder);
