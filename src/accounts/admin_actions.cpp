#include "accounts/admin_actions.h"

#include "config/app_config.h"
#include "platform/errors.h"
#include "platform/folder_lock.h"
#include "util/files.h"

namespace {

// Empties the password digest: length 0 and every character position zero.
// The digest is the record's first field, 1 + 200 bytes.
void ClearDigest(UserProfile& record)
{
    constexpr int kDigestFieldSize = 201;
    record.digestText.clear();
    if (record.storedBytes.size() >= kDigestFieldSize)
        record.storedBytes.replace(0, kDigestFieldSize, QByteArray(kDigestFieldSize, '\0'));
}

} // namespace

// Deletes a file of the user folder while no other copy of the program is in
// the middle of replacing it (which would bring it back).
void RemoveUserFolderFile(const QString& path)
{
    FolderLock lock(appConfig().PathUser, FolderLock::Mode::Exclusive);
    RemoveFile(path);
}

// Reads the profile into `record`, empties its digest and writes it back, under
// the user folder's lock so that totals another copy of the program saves
// meanwhile are kept. Messages wait until the lock is given back.
ResetOutcome ResetPassword(const QString& nick, UserProfile& record)
{
    FolderLock lock(appConfig().PathUser, FolderLock::Mode::Exclusive);
    if (!ReadProfile(nick, record))
        return ResetOutcome::NotRead;
    ClearDigest(record);
    if (!ProfileExists(nick))
        return ResetOutcome::Vanished;
    try {
        if (!WriteProfile(nick, record))
            return ResetOutcome::NotCreated;
    } catch (const IoError&) {
        return ResetOutcome::WriteFailed;
    }
    return ResetOutcome::Done;
}
