// Opening a file with the desktop's application, and starting a program.

#include "support/test_env.h"
#include "ui/shell_open.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace {

using ShellOpenTest = ZelvoTest;

TEST_F(ShellOpenTest, ShellOpenGoesThroughTheHook)
{
    QStringList calls;
    SetShellOpenHook([&](const QString& file, const QString& folder) {
        calls << file + "|" + folder;
        return false;
    });
    EXPECT_FALSE(ShellOpen("/p/dorvo.chm", "", "", 0));
    SetShellOpenHook({});
    EXPECT_EQ(calls, QStringList{"/p/dorvo.chm|"});
    EXPECT_FALSE(ShellOpen(tempPath("missing.chm"), "", "", 0));
}

TEST_F(ShellOpenTest, ShellOpenStartsAnExecutableInItsFolder)
{
    const QString script = programFolder() + "helper.sh";
    writeFile(script, "#!/bin/sh\npwd > done.txt\n");
    QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);

    ASSERT_TRUE(ShellOpen(script, "", "", 0));
    const QString done = programFolder() + "done.txt";
    QElapsedTimer t;
    t.start();
    while (readFile(done).isEmpty() && t.elapsed() < 10000)
        QThread::msleep(20);
    EXPECT_EQ(readFile(done).trimmed(), QDir(programFolder()).canonicalPath().toUtf8());
}

} // namespace
