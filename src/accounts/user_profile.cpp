#include "accounts/user_profile.h"

#include "config/app_config.h"
#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "platform/folder_lock.h"
#include "platform/process_state.h"
#include "platform/safe_open.h"
#include "util/cp1251.h"
#include "util/files.h"
#include "util/record_file.h"

#include <QFile>

#include <cerrno>
#include <optional>

namespace {

// Field offsets of the 468-byte record; bytes 457 to 459 are reserved.
constexpr int kDigestOffset = 0;
constexpr int kDigestCapacity = 200;
constexpr int kFullNameOffset = 201;
constexpr int kFullNameCapacity = 255;
constexpr int kTotalTimeOffset = 460;
constexpr int kTotalPointsOffset = 464;

const QString kProfileExtension = QStringLiteral(".zamrik");

// An empty nick names no profile, and a "/" would reach outside the user folder.
bool IsFileNick(const QString& nick) { return !nick.isEmpty() && !nick.contains(QLatin1Char('/')); }

// Puts the short string over the record unless it already holds that text,
// so that the insignificant bytes of an unchanged field stay as they were.
void PutShortString(QByteArray& record, int offset, int capacity, const QString& text)
{
    if (DecodeShortString(record.constData() + offset, capacity) == text &&
        EncodeShortString(text, capacity).at(0) == record.at(offset))
        return;
    record.replace(offset, capacity + 1, EncodeShortString(text, capacity));
}

} // namespace

QByteArray EncodeUserProfile(const UserProfile& profile)
{
    QByteArray record = profile.storedBytes.size() >= kUserProfileSize
                            ? profile.storedBytes.left(kUserProfileSize)
                            : QByteArray(kUserProfileSize, '\0');
    PutShortString(record, kDigestOffset, kDigestCapacity, profile.digestText);
    PutShortString(record, kFullNameOffset, kFullNameCapacity, profile.fullName);
    WriteInt32LE(record.data() + kTotalTimeOffset, profile.totalTime);
    WriteInt32LE(record.data() + kTotalPointsOffset, profile.totalPoints);
    return record;
}

UserProfile DecodeUserProfile(const QByteArray& bytes)
{
    UserProfile profile;
    profile.storedBytes = bytes.left(kUserProfileSize);
    const char* record = profile.storedBytes.constData();
    profile.digestText = DecodeShortString(record + kDigestOffset, kDigestCapacity);
    profile.fullName = DecodeShortString(record + kFullNameOffset, kFullNameCapacity);
    profile.totalTime = ReadInt32LE(record + kTotalTimeOffset);
    profile.totalPoints = ReadInt32LE(record + kTotalPointsOffset);
    return profile;
}

QString ProfilePath(const QString& nick) { return ProfilePath(appConfig().PathUser, nick); }

QString ProfilePath(const QString& folder, const QString& nick)
{
    return folder + nick + kProfileExtension;
}

QStringList ListProfiles() { return ListProfiles(appConfig().PathUser); }

QStringList ListProfiles(const QString& folder)
{
    QStringList files;
    ListFiles(QStringLiteral("*") + kProfileExtension, folder, files);
    // The mask matches the extension in any letter case, but a profile is
    // opened by its exact name: list only the nicks whose file that is (a
    // regular file itself, as ListFiles lists them).
    QStringList nicks;
    for (const QString& file : files) {
        const QString nick = BaseFileName(file);
        if (file.endsWith(kProfileExtension, Qt::CaseSensitive) && IsFileNick(nick) &&
            IsRegularFile(ProfilePath(folder, nick)))
            nicks << nick;
    }
    return nicks;
}

// A link, pipe or device of that name counts: reading it then fails as an
// unreadable profile does.
bool ProfileExists(const QString& nick)
{
    return IsFileNick(nick) && UserFileExists(ProfilePath(nick));
}

bool ReadProfile(const QString& nick, UserProfile& profile)
{
    return ReadProfile(appConfig().PathUser, nick, profile, OpenFor::ReadWrite);
}

bool ReadProfile(const QString& folder, const QString& nick, UserProfile& profile, OpenFor mode)
{
    if (!IsFileNick(nick))
        return false;
    RecordFile file(kUserProfileSize);
    if (!file.open(ProfilePath(folder, nick), mode))
        return false;
    const QByteArray record = file.read();
    file.close();
    profile = DecodeUserProfile(record);
    return true;
}

// Under the user folder's lock (shared with a caller's read-modify-write that
// already holds it), so no other copy of the program replaces the file meanwhile.
bool WriteProfile(const QString& nick, const UserProfile& profile)
{
    return WriteProfile(appConfig().PathUser, nick, profile);
}

bool WriteProfile(const QString& folder, const QString& nick, const UserProfile& profile)
{
    if (!IsFileNick(nick))
        return false;
    FolderLock lock(folder, FolderLock::Mode::Exclusive);
    // A refused target gives false, a failed write raises; the old file stays whole.
    const ReplaceOutcome outcome =
        ReplaceFileWhole(ProfilePath(folder, nick), EncodeUserProfile(profile));
    if (outcome.error != 0)
        throw IoError(IoCodeFromErrno(outcome.error));
    return outcome.created;
}

ProfileChange ChangeStoredProfile(const QString& nick, const UserProfile& fallback,
                                  const std::function<bool(UserProfile&, bool stored)>& change,
                                  UserProfile& written)
{
    std::optional<FolderLock> lock;
    try {
        lock.emplace(appConfig().PathUser, FolderLock::Mode::Exclusive);
    } catch (const IoError&) {
        return ProfileChange::WriteFailed;
    }
    UserProfile record;
    bool stored = false;
    try {
        stored = ReadProfile(nick, record);
    } catch (const IoError&) {
        // A record cut short holds nothing to keep.
    }
    if (!stored)
        record = fallback;
    if (!change(record, stored))
        return ProfileChange::Declined;
    try {
        if (!WriteProfile(nick, record))
            return ProfileChange::NotCreated;
    } catch (const IoError&) {
        return ProfileChange::WriteFailed;
    }
    written = record;
    return ProfileChange::Written;
}

namespace {

// What lies at a profile's name: a folder there is no profile, yet none can be made.
CreateOutcome OutcomeOfTakenName(const QString& path)
{
    return EntryKindOf(QFile::encodeName(path)) == EntryKind::Folder ? CreateOutcome::NotCreated
                                                                     : CreateOutcome::Exists;
}

} // namespace

CreateOutcome CreateProfile(const QString& folder, const QString& nick, const UserProfile& profile)
{
    if (!IsFileNick(nick))
        return CreateOutcome::NotCreated;
    FolderLock lock(folder, FolderLock::Mode::Exclusive);
    const QString path = ProfilePath(folder, nick);
    if (EntryKindOf(QFile::encodeName(path)) != EntryKind::Missing)
        return OutcomeOfTakenName(path);
    const int error = CreateFileWhole(path, EncodeUserProfile(profile));
    if (error == EEXIST) // put there meanwhile by a writer that ignores the lock
        return OutcomeOfTakenName(path);
    return error == 0 ? CreateOutcome::Done : CreateOutcome::NotCreated;
}

UserProfile& AdminRecord() { return StatePart<AdminScratch>().record; }
