#include "support/bad_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <gtest/gtest.h>
#include <sys/stat.h>

qint64 HugeFileSize(int recordSize)
{
    const qint64 fiveGiB = qint64(5) << 30;
    return fiveGiB / recordSize * recordSize;
}

const char* BadFileName(BadFile kind)
{
    switch (kind) {
    case BadFile::Empty:
        return "empty";
    case BadFile::Short:
        return "short";
    case BadFile::OddSize:
        return "odd size";
    case BadFile::RandomBytes:
        return "random bytes";
    case BadFile::Huge:
        return "huge";
    case BadFile::Folder:
        return "folder";
    case BadFile::Pipe:
        return "pipe";
    case BadFile::Link:
        return "link";
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

QString LinkedFilePath(const QString& path)
{
    const QFileInfo link(path);
    return link.absolutePath() + QStringLiteral("/../linked-") + link.fileName();
}

QByteArray LinkedFileBytes(int recordSize) { return RandomBytes(3 * recordSize); }

QByteArray SmallFileBytes(const QString& path, qint64 limit)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_size > limit)
        return QByteArray();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void MakeBadFile(const QString& path, BadFile kind, int recordSize)
{
    if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
    if (kind == BadFile::Folder) {
        ASSERT_TRUE(QDir().mkpath(path)) << path.toStdString();
        return;
    }
    if (kind == BadFile::Pipe) {
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0) << path.toStdString();
        return;
    }
    if (kind == BadFile::Link) {
        QFile target(LinkedFilePath(path));
        ASSERT_TRUE(target.open(QIODevice::WriteOnly | QIODevice::Truncate));
        target.write(LinkedFileBytes(recordSize));
        target.close();
        ASSERT_TRUE(QFile::link(target.fileName(), path)) << path.toStdString();
        return;
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    switch (kind) {
    case BadFile::Short:
        file.write(RandomBytes(recordSize - 1));
        break;
    case BadFile::OddSize:
        file.write(RandomBytes(2 * recordSize + recordSize / 3));
        break;
    case BadFile::RandomBytes:
        file.write(RandomBytes(3 * recordSize));
        break;
    case BadFile::Huge:
        ASSERT_TRUE(file.resize(HugeFileSize(recordSize)));
        break;
    case BadFile::Empty:
    case BadFile::Folder:
    case BadFile::Pipe:
    case BadFile::Link:
        break;
    }
}
