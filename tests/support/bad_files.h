#pragma once
// The damaged files every reader of stored bytes is tried with: each kind is
// put in place of the file the reader expects.

#include <QByteArray>
#include <QString>

enum class BadFile {
    Empty,
    Short,       // one byte less than one record
    OddSize,     // two records and a third of one
    RandomBytes, // three records of random bytes
    Huge,        // several gigabytes of whole records, sparse (no disk space used)
    Folder,      // a folder where the file should be
    Pipe,        // a named pipe nobody writes to (anyone may leave one in a shared folder)
    Link,        // a link to a file of three records outside the folder (another
                 // account's document: LinkedFilePath, LinkedFileBytes)
};

constexpr BadFile kBadFiles[] = {BadFile::Empty,       BadFile::Short, BadFile::OddSize,
                                 BadFile::RandomBytes, BadFile::Huge,  BadFile::Folder};
// The files of the user folder, which every account may write to, meet pipes too.
constexpr BadFile kBadUserFiles[] = {BadFile::Empty,       BadFile::Short, BadFile::OddSize,
                                     BadFile::RandomBytes, BadFile::Huge,  BadFile::Folder,
                                     BadFile::Pipe,        BadFile::Link};

// The apparent size of a huge file: 5 GiB, rounded down to whole records.
qint64 HugeFileSize(int recordSize);

// "empty", "short", ... for test traces.
const char* BadFileName(BadFile kind);

// Replaces whatever is at `path` by a file (or folder) of that kind, with the
// sizes counted in records of `recordSize` bytes. The bytes of the sized kinds
// are random (the same in every run); a huge file reads as zeros.
void MakeBadFile(const QString& path, BadFile kind, int recordSize);

// The file a BadFile::Link at `path` points to (beside the link's folder), and
// the bytes it holds until something writes to it.
QString LinkedFilePath(const QString& path);
QByteArray LinkedFileBytes(int recordSize);

// The bytes of a regular file of at most `limit` bytes; empty for anything
// else (a huge file, a folder, a pipe), which is never read whole.
QByteArray SmallFileBytes(const QString& path, qint64 limit = qint64(1) << 20);

// Random bytes, the same in every run for the same count.
QByteArray RandomBytes(int count);
