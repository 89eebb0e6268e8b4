// Damaged profile files and a damaged machine store under the administrator's
// digest: the specified error or tolerance, never a crash, a hang or an
// allocation sized by the file.

#include "accounts/password_digest.h"
#include "accounts/user_profile.h"
#include "accounts_test_env.h"
#include "platform/errors.h"
#include "support/bad_files.h"
#include "support/memory_ceiling.h"

#include <QFile>

namespace {

using BadInputTest = AccountsTest;

constexpr rlim_t kHeadroom = rlim_t(512) << 20;

TEST_F(BadInputTest, ProfileReadTakesTheFirstRecordOrFails)
{
    const struct {
        BadFile kind;
        bool opened;
        const char* error; // the general error report of a failed read
    } cases[] = {
        {BadFile::Empty, true, "Read beyond end of file"},
        {BadFile::Short, true, "Read beyond end of file"},
        {BadFile::OddSize, true, ""},
        {BadFile::RandomBytes, true, ""},
        {BadFile::Huge, false, ""}, // sparse: no profile, never read
        {BadFile::Folder, false, ""},
        {BadFile::Pipe, false, ""}, // never opened, never waited for
        {BadFile::Link, false, ""}, // never followed
    };
    MemoryCeiling ceiling(kHeadroom);
    for (const auto& c : cases) {
        SCOPED_TRACE(BadFileName(c.kind));
        MakeBadFile(profileFile("pupil"), c.kind, kUserProfileSize);
        const QByteArray first = SmallFileBytes(profileFile("pupil")).left(kUserProfileSize);

        UserProfile profile;
        profile.digestText = "untouched";
        bool opened = false;
        QString error;
        try {
            opened = ReadProfile("pupil", profile);
        } catch (const IoError& e) {
            opened = true;
            error = e.text();
        }
        EXPECT_EQ(opened, c.opened);
        EXPECT_EQ(error.toStdString(), c.error);
        if (opened && error.isEmpty()) {
            EXPECT_EQ(profile.storedBytes, first);
            EXPECT_EQ(EncodeUserProfile(profile), first);
        } else {
            EXPECT_EQ(profile.digestText, "untouched");
        }
        // What lies in the profile's place is not one: a save gives its create failure.
        if (c.kind == BadFile::Pipe || c.kind == BadFile::Link) {
            EXPECT_TRUE(ProfileExists("pupil"));
            EXPECT_FALSE(WriteProfile("pupil", profile));
        }
    }
    EXPECT_EQ(readFile(LinkedFilePath(profileFile("pupil"))), LinkedFileBytes(kUserProfileSize));
}

TEST_F(BadInputTest, AdministratorDigestOfADamagedStore)
{
    // A store read whole that names no digest holds none (a first start); one
    // that stands there but cannot be read gives nothing at all, so that the
    // administrator is refused. Only a value of another type is an error.
    MemoryCeiling ceiling(kHeadroom);
    for (BadFile kind : kBadUserFiles) {
        SCOPED_TRACE(BadFileName(kind));
        MakeBadFile(storePath(), kind, 100);
        const bool readable = kind == BadFile::Empty || kind == BadFile::Short ||
                              kind == BadFile::OddSize || kind == BadFile::RandomBytes;
        EXPECT_EQ(ReadAdminDigest(), readable ? std::optional<QString>("") : std::nullopt);
    }
    const struct {
        const char* store;
        const char* digest;
        const char* error;
    } values[] = {
        {"[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Zamrik]\n\"MyPass\"=\"12\"", "12", ""},
        {"[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Zamrik]\n\"MyPass\"=\"12", "",
         "Invalid data type for 'MyPass'"},
        {"[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Zamrik]\n\"MyPass\"=dword:1", "",
         "Invalid data type for 'MyPass'"},
        {"[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Zamrik\n\"MyPass\"=\"12\"", "", ""},
        {"\"MyPass\"=\"12\"", "", ""},
    };
    MakeBadFile(storePath(), BadFile::Empty, 100);
    for (const auto& v : values) {
        SCOPED_TRACE(v.store);
        writeFile(storePath(), v.store);
        QString digest;
        QString error;
        try {
            digest = ReadAdminDigest().value();
        } catch (const StoreError& e) {
            error = e.text();
        }
        EXPECT_EQ(digest.toStdString(), v.digest);
        EXPECT_EQ(error.toStdString(), v.error);
    }
}

} // namespace
