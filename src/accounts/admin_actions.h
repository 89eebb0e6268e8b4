#pragma once
// What the administrator does to the users' files: deleting a file of the
// user folder and resetting a password.

#include "accounts/user_profile.h"

#include <QString>

// Deletes a file of the user folder while no other copy of the program is in
// the middle of replacing it (which would bring it back).
void RemoveUserFolderFile(const QString& path);

enum class ResetOutcome {
    NotRead,     // the profile could not be read: nothing written
    Vanished,    // the profile went away meanwhile: nothing written
    NotCreated,  // the file could not be created
    WriteFailed, // the write failed, the old file is whole
    Done
};

// Reads the profile into `record`, empties its digest and writes it back, under
// the user folder's lock so that totals another copy of the program saves
// meanwhile are kept. Messages wait until the lock is given back.
ResetOutcome ResetPassword(const QString& nick, UserProfile& record);
