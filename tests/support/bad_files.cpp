#include "support/bad_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <gtest/gtest.h>

qint64 HugeFileSize(int recordSize)
{
    const qint64 fiveGiB = qint64(5) << 30;
    return fiveGiB / recordSize * recordSize;
}

const char* BadFileName(BadFile kind)
{
    switch (kind) {
    case BadFile::Empty: return "empty";
    case BadFile::Short: return "short";
    case BadFile::OddSize: return "odd size";
    case BadFile::RandomBytes: return "random bytes";
    case BadFile::Huge: return "huge";
    case BadFile::Folder: return "folder";
    }
    return "?";
}

QByteArray RandomBytes(int count)
{
    QRandomGenerator generator(20261210u + quint32(count));
    QByteArray bytes(count, '\0');
    for (char& c : bytes)
        c = char(generator.bounded(256));
    return bytes;
}

void MakeBadFile(const QString& path, BadFile kind, int recordSize)
{
    if (QFileInfo(path).isDir())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
    if (kind == BadFile::Folder) {
        ASSERT_TRUE(QDir().mkpath(path)) << path.toStdString();
        return;
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    switch (kind) {
    case BadFile::Short: file.write(RandomBytes(recordSize - 1)); break;
    case BadFile::OddSize: file.write(RandomBytes(2 * recordSize + recordSize / 3)); break;
    case BadFile::RandomBytes: file.write(RandomBytes(3 * recordSize)); break;
    case BadFile::Huge: ASSERT_TRUE(file.resize(HugeFileSize(recordSize))); break;
    case BadFile::Empty:
    case BadFile::Folder: break;
    }
}
