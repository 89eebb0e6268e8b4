#pragma once
// Files of fixed-size records. Opening reports through its result; a failure
// of an end test, a read or a write raises IoError. An end test, read or write
// on a file whose opening failed raises the opening's error.
//
// The files lie in a folder that other accounts may write: opening and
// creating take only a regular file of that name itself, never a link (not
// followed), a folder, a pipe or a device, which fail as "File access denied".
// A sparse file (IsSparseFile) is no record file either: opening it, or
// asking the size of one that became sparse since, fails as "I/O error 75",
// the error of a table too large for its reader; nothing is read from it.

#include <QByteArray>
#include <QString>

#include <initializer_list>

// How an existing record file is opened: the program opens with write access
// too (so a write-protected file cannot be opened); readers that never write
// open for reading only.
enum class OpenFor { ReadWrite, Reading };

class RecordFile {
  public:
    explicit RecordFile(int recordSize) : recordSize_(recordSize) {}
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Opens an existing file, for reading and writing unless `mode` says otherwise.
    bool open(const QString& path, OpenFor mode = OpenFor::ReadWrite);
    // Creates the file, or truncates an existing one.
    bool create(const QString& path);
    // Opens an existing file for reading and writing, or creates it where
    // nothing lies at `path`, with the mode ReplaceFileWhole gives a new file
    // of its folder (`newFileMode` as the folder's sharing has it, whatever
    // the umask); a created file's name is made durable at once.
    bool openOrCreate(const QString& path, int newFileMode = 0644);
    // Works on a copy of the open descriptor `fd` (a file this process has
    // just created itself), so that the file is never looked up again by name.
    bool attach(int fd);

    // The file's size in bytes, as the open file has it now (checked before
    // the file is copied or read whole); "I/O error 75" when it is sparse.
    qint64 size();

    // True at the end: fewer than one whole record is left.
    bool atEnd();
    // Reads one record; "Read beyond end of file" when fewer bytes are left.
    QByteArray read();
    // Reads up to `count` whole records at once into `buffer` (its memory is
    // reused): fewer near the end; false, with nothing read, at the end. A
    // trailing partial record is never read.
    bool readRecords(QByteArray& buffer, int count);
    // Writes one record (padded or cut to the record size); "Disk full" when short.
    void write(const QByteArray& record);
    // Writes whole records: `bytes` holds a multiple of the record size.
    void writeRecords(QByteArrayView bytes);
    // Copies every whole record from the current position to the end (at most
    // `maxRecords` of them unless it is negative) into each of `outputs`, in
    // the kernel where it can, and moves past them.
    void copyRecordsTo(std::initializer_list<RecordFile*> outputs, qint64 maxRecords = -1);
    // Adds one record (padded or cut to the record size) after the last whole
    // record, in place: a trailing partial record (a write that a crash cut
    // short) is cut away first, and the record is flushed to disk before this
    // returns. On a failed write or flush the file is cut back to the whole
    // records it held, so nothing half-written stays, and IoError is raised
    // ("Disk full" when the file system takes fewer bytes without naming an
    // error). The caller keeps other writers out (the folder's lock).
    void appendRecord(const QByteArray& record);
    // Flushes to disk; IoError on failure.
    void sync();
    // Closes the file; failures are ignored.
    void close();

    // The error code of the last failed open or create (0 after a success).
    int openError() const { return openError_; }

  private:
    void ensureOpen() const;
    // Bytes of whole records from the current position to the end, and that position.
    qint64 wholeRecordBytesLeft(qint64& position);
    int recordSize_;
    int fd_ = -1;
    int openError_ = 0;
};
