#pragma once
// The errors that travel: they end the current handler and are shown by the
// general error report (RunHandler). Everything else is a result.

#include <QString>
#include <stdexcept>

class ZelvoError : public std::runtime_error {
  public:
    explicit ZelvoError(const QString& text);
    QString text() const { return QString::fromUtf8(what()); }
};

// Input/output error of a record transfer, with its run-time error code.
class IoError : public ZelvoError {
  public:
    explicit IoError(int code);
    int code() const { return code_; }

  private:
    int code_;
};

// Configuration store: wrong value type or refused write.
class StoreError : public ZelvoError {
  public:
    using ZelvoError::ZelvoError;
};

// Sound output: a file that cannot be decoded or a device that refuses.
class MediaError : public ZelvoError {
  public:
    using ZelvoError::ZelvoError;
};

// Run-time error codes of record transfers.
enum IoCode {
    kIoFileNotFound = 2,
    kIoInvalidFilename = 3,
    kIoTooManyOpenFiles = 4,
    kIoAccessDenied = 5,
    kIoReadBeyondEnd = 100,
    kIoDiskFull = 101,
};

// "File not found", "Read beyond end of file", ... or "I/O error %d".
QString IoErrorText(int code);

// The run-time error code for an operating-system errno value.
int IoCodeFromErrno(int err);
