#include "fuzz_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

namespace {

struct ScratchFolder {
    ScratchFolder()
    {
        const QString base = QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm")
                                 : QDir::tempPath();
        QByteArray pattern = QFile::encodeName(base + QStringLiteral("/zelvo-fuzz-XXXXXX"));
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        path = QFile::decodeName(pattern) + QLatin1Char('/');
    }
    ~ScratchFolder() { QDir(path).removeRecursively(); }
    QString path;
};

} // namespace

QByteArray FuzzBytes(const uint8_t* data, size_t size)
{
    if (size == 0)
        return QByteArray();
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
}

QString FuzzFolder()
{
    static ScratchFolder folder;
    return folder.path;
}

void WriteFuzzFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
}

QByteArray ReadFuzzFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void FuzzFailed(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}
