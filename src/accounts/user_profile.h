#pragma once
// One user's profile file: user folder + nick + ".zamrik", one 468-byte record.

#include "util/record_file.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

struct UserProfile {
    QString digestText;   // short string, capacity 200
    QString fullName;     // short string, capacity 255
    qint32 totalTime = 0; // seconds
    qint32 totalPoints = 0;
    // The record as read from its file (empty for a fresh one). Writing puts
    // only the changed fields over these bytes, so the insignificant bytes of
    // a file stay as they were.
    QByteArray storedBytes;
};

constexpr int kUserProfileSize = 468;

// The 468 bytes of a profile record, and back (`bytes` holds at least 468).
QByteArray EncodeUserProfile(const UserProfile& profile);
UserProfile DecodeUserProfile(const QByteArray& bytes);

QString ProfilePath(const QString& nick);
// The profile file of `nick` in `folder` (a folder text ending with "/").
QString ProfilePath(const QString& folder, const QString& nick);
// Nicks of the profile files in the user folder, in directory order: only
// the names that ProfilePath opens (exact ".zamrik", a non-empty nick).
QStringList ListProfiles();
QStringList ListProfiles(const QString& folder);
// True when the nick names a profile file that exists (never for a nick with
// "/"): something other than a folder lies there, a link not followed.
bool ProfileExists(const QString& nick);
// False when the file cannot be opened (profile untouched), also where a
// link, folder, pipe or device lies in its place; IoError when it is shorter
// than one record.
bool ReadProfile(const QString& nick, UserProfile& profile);
// The same for the profile in `folder`, opened as `mode` says.
bool ReadProfile(const QString& folder, const QString& nick, UserProfile& profile, OpenFor mode);
// Replaces the file atomically. False when it cannot be created (nothing
// written, old file whole), also where a link, folder, pipe or device lies in
// its place; IoError when the write fails (old file whole) or the user
// folder's lock does not come in time.
bool WriteProfile(const QString& nick, const UserProfile& profile);
// The same for the profile in `folder` (under that folder's lock).
bool WriteProfile(const QString& folder, const QString& nick, const UserProfile& profile);

// A change of a profile on disk, under the user folder's lock, so that what
// other copies of the program saved meanwhile stays: `change(record, stored)`
// gets the record as read (stored: true) or, where the file cannot be read,
// `fallback` (stored: false), and returns false to write nothing (Declined).
// `written` gets what was written. A lock that does not come in time fails
// as a failed write does (the old file is whole either way).
enum class ProfileChange { Written, Declined, NotCreated, WriteFailed };
ProfileChange ChangeStoredProfile(const QString& nick, const UserProfile& fallback,
                                  const std::function<bool(UserProfile&, bool stored)>& change,
                                  UserProfile& written);

// Creating a profile that does not exist yet: Exists where something other
// than a folder already lies at its name (a file, a link, a pipe; what a
// profile there counts as for ProfileExists), NotCreated where it cannot be
// made (a folder in its place, a nick that names no file, a full disk, no
// right to write the folder), Done when the new profile is there whole.
enum class CreateOutcome { Exists, NotCreated, Done };
// Creates the profile of `nick` in `folder`, under the folder's lock, as a
// complete new file linked to its name: never over anything that lies there,
// whatever another account puts there meanwhile. IoError only when the
// folder's lock does not come in time.
CreateOutcome CreateProfile(const QString& folder, const QString& nick, const UserProfile& profile);

// The administrator's scratch record, shared by the service window and the
// summary table (a part of the ProgramState).
struct AdminScratch {
    UserProfile record;
};
UserProfile& AdminRecord();
// The message, followed by the nick, where a profile of the administrator's
// lists cannot be read.
inline const QString kProfileNotReadMessage = QStringLiteral("Error 12 :");
