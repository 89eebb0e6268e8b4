#pragma once
// A user folder and a machine store in a temporary directory, the range back
// at 0-20, scripted dialogs, nobody logged in, and pupil profiles to work on.
//
// The directory lies in memory where the system offers that (/dev/shm): these
// tests are about processes sharing and dying over files, not about disks,
// and a flush to a disk that other work shares would make them slow.

#include "accounts/current_user.h"
#include "accounts/password_digest.h"
#include "accounts/user_profile.h"
#include "config/app_config.h"
#include "keeper/class_folder_access.h"
#include "platform/atomic_file.h"
#include "records/number_range.h"
#include "records/result_record.h"
#include "support/child_process.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class StorageTest : public ZelvoTest {
  protected:
    void SetUp() override
    {
        ZelvoTest::SetUp();
        if (memory_.isValid() && QDir(memory_.path()).mkdir(QStringLiteral("users"))) {
            appConfig().PathUser = memory_.path() + QStringLiteral("/users/");
            qputenv("ZELVO_MACHINE_STORE",
                    QFile::encodeName(memory_.path() + QStringLiteral("/machine.reg")));
        }
        // fork() copies only the calling thread: the program's own state must be all there is.
        ASSERT_EQ(ThreadCount(), 1);
    }

    // A pupil profile with the password "pw".
    static void AddPupil(const QString& nick, qint32 totalTime = 0, qint32 totalPoints = 0)
    {
        UserProfile profile;
        profile.digestText = PasswordDigestText(QStringLiteral("pw"));
        profile.fullName = QStringLiteral("Пётр ") + nick;
        profile.totalTime = totalTime;
        profile.totalPoints = totalPoints;
        ASSERT_TRUE(WriteProfile(nick, profile));
    }

    // Logs the pupil in as the login window does.
    static bool LogIn(const QString& nick, const QString& password = QStringLiteral("pw"))
    {
        ClearCurrentUser();
        ProfileView view;
        if (classFolder().logIn(nick, password, view) != LogInOutcome::Done)
            return false;
        currentUser().nick = nick;
        CopyView(view, currentUser().profile);
        currentUser().profile.digestText = TypedPasswordDigest(password);
        return true;
    }

    static UserProfile Stored(const QString& nick)
    {
        UserProfile profile;
        EXPECT_TRUE(ReadProfile(nick, profile)) << nick.toStdString();
        return profile;
    }

    // The user folder these tests work in.
    static QString folder() { return appConfig().PathUser; }

    // Removes the temporary files killed children left; returns how many.
    static int RemoveTemporaryFiles()
    {
        const QStringList names = QDir(folder()).entryList(QDir::Files | QDir::Hidden);
        int removed = 0;
        for (const QString& name : names)
            removed += IsTemporaryFileName(name) && QFile::remove(folder() + name) ? 1 : 0;
        return removed;
    }

    QTemporaryDir memory_{QStringLiteral("/dev/shm/zelvo-storage-XXXXXX")};
    ScriptedDialogs dialogs_;
};
