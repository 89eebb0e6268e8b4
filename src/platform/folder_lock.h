#pragma once
// A POSIX record lock (fcntl, which network file systems honour) on the lock
// file ".zelvo.lock" of a folder, held while the object lives. Copies of the
// program that share a folder take it exclusively for each read-modify-replace
// of a file there, and shared to read a consistent state of several files.
//
// Waiting never fails: where the lock file cannot be made or locked (a
// read-only folder, a file system without locks) the step goes on unlocked,
// as if only one copy used the folder. Nested locks of one folder in one
// process share one lock (an exclusive one inside a shared one upgrades it
// until the outer one ends; two processes upgrading at once can deadlock, so
// a step that writes takes the exclusive lock from its start). Locks belong
// to the process, not to a thread.

#include <QString>

class FolderLock {
public:
    // SharedNoCreate: shared, from a reader that writes nothing into the
    // folder: where no lock file exists yet, it goes on unlocked.
    enum class Mode { Shared, Exclusive, SharedNoCreate };

    // `folder` as the program keeps it (with or without its trailing "/";
    // empty is the current folder). Waits until the lock is granted.
    FolderLock(const QString& folder, Mode mode);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // False when the step goes on without the lock.
    bool held() const { return held_; }

    // The lock file's name inside the folder.
    static QString FileName();

private:
    QString key_;
    bool held_ = false;
};
