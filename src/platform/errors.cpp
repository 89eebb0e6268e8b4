#include "platform/errors.h"

#include <cerrno>

ZelvoError::ZelvoError(const QString& text) : std::runtime_error(text.toStdString()) {}

IoError::IoError(int code) : ZelvoError(IoErrorText(code)), code_(code) {}

QString IoErrorText(int code)
{
    switch (code) {
    case kIoFileNotFound:
        return QStringLiteral("File not found");
    case kIoInvalidFilename:
        return QStringLiteral("Invalid filename");
    case kIoTooManyOpenFiles:
        return QStringLiteral("Too many open files");
    case kIoAccessDenied:
        return QStringLiteral("File access denied");
    case kIoReadBeyondEnd:
        return QStringLiteral("Read beyond end of file");
    case kIoDiskFull:
        return QStringLiteral("Disk full");
    default:
        return QStringLiteral("I/O error %1").arg(code);
    }
}

int IoCodeFromErrno(int err)
{
    switch (err) {
    case ENOENT:
        return kIoFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return kIoInvalidFilename;
    case EMFILE:
    case ENFILE:
        return kIoTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
        return kIoAccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return kIoDiskFull;
    case EIO:
        return 1117; // device error; kept apart from the codes above
    default:
        return err;
    }
}
