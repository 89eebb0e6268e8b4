#pragma once
// A POSIX record lock (fcntl, which network file systems honour) on the lock
// file ".zelvo.lock" of a folder, held while the object lives. Copies of the
// program that share a folder take it exclusively for each read-modify-replace
// of a file there, and shared to read a consistent state of several files.
//
// Waiting keeps the windows painted: the lock is asked for again and again
// while the window messages other than user input are served, so no handler
// starts another step meanwhile. A lock not granted within the wait limit (30
// seconds; another account's copy stopped while it held the lock, a lock a
// server keeps) fails the step: the constructor raises IoError "I/O error 110"
// (ETIMEDOUT), and the step has not written anything. A step that would lock
// the folder while this process already waits for it fails at once in the same
// way ("I/O error 35", EDEADLK).
//
// Where the lock file cannot be made or locked (a read-only folder, a file
// system without locks, something else than a file of that name) the step
// goes on unlocked, as if only one copy used the folder. The lock file is never
// opened or created through a link. Nested locks of one folder in one process
// share one lock (an exclusive one inside a shared one upgrades it until the
// outer one ends; two processes upgrading at once both wait until the limit
// ends the wait, so a step that writes takes the exclusive lock from its
// start). Locks belong to the process, not to a thread.

#include <QString>

class FolderLock {
  public:
    // SharedNoCreate: shared, from a reader that writes nothing into the
    // folder: where no lock file exists yet, it goes on unlocked.
    enum class Mode { Shared, Exclusive, SharedNoCreate };

    // How long a step waits for the lock before it fails.
    static constexpr int kWaitLimitMilliseconds = 30000;

    // `folder` as the program keeps it (with or without its trailing "/";
    // empty is the current folder). Waits until the lock is granted, up to the
    // wait limit; IoError when it is not granted by then.
    FolderLock(const QString& folder, Mode mode);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // False when the step goes on without the lock.
    bool held() const { return held_; }

    // The lock file's name inside the folder.
    static QString FileName();

    // The wait limit in force: kWaitLimitMilliseconds unless a test set another.
    static int WaitLimitMilliseconds();
    static void SetWaitLimitMilliseconds(int milliseconds);

  private:
    QString key_;
    bool held_ = false;
};
