#include "platform/shell.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <sys/stat.h>

namespace {

using ShellTest = ZelvoTest;

QString ExecLineOf(const QByteArray& entry)
{
    for (const QByteArray& line : entry.split('\n'))
        if (line.startsWith("Exec="))
            return QString::fromUtf8(line.mid(5));
    return QString();
}

TEST_F(ShellTest, ShortcutIsAValidExecutableDesktopEntry)
{
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    const struct {
        const char* folder;
        const char* arguments;
        const char* exec; // relative to the temporary folder
    } cases[] = {
        {"bin", "", "<tmp>/bin/zelvo"},
        {"My Programs", "", "\"<tmp>/My Programs/zelvo\""},
        {"a$b\\c", "", "\"<tmp>/a\\\\$b\\\\\\\\c/zelvo\""},
        {"100%", "-x \"two words\"", "<tmp>/100%%/zelvo -x \"two words\""},
    };
    for (const auto& c : cases) {
        const QString folder = tempPath(c.folder);
        const QString target = folder + "/zelvo";
        const QString link = tempPath("Zelvo.desktop");
        CreateShortcut(link, c.arguments, target);

        const QByteArray entry = readFile(link);
        EXPECT_EQ(ExecLineOf(entry), QString(c.exec).replace("<tmp>", tempPath("").chopped(1)));
        EXPECT_TRUE(entry.contains("\nName=Zelvo\n"));
        EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
        struct stat st;
        ASSERT_EQ(::stat(QFile::encodeName(link).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0755u);
        if (!validator.isEmpty()) {
            QProcess p;
            p.start(validator, {link});
            ASSERT_TRUE(p.waitForFinished());
            EXPECT_EQ(p.exitCode(), 0) << p.readAll().toStdString() << entry.toStdString();
        }
    }
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed";
}

TEST_F(ShellTest, ShortcutWithPathOfLinkFolder)
{
    const QString target = tempPath("bin/zelvo");
    CreateShortcut(tempPath("Zelvo.desktop"), "", target);
    EXPECT_TRUE(readFile(tempPath("Zelvo.desktop"))
                    .contains(("\nPath=" + tempPath("bin") + "\n").toUtf8()));
    // A folder that does not exist: nothing is written and nothing is reported.
    CreateShortcut(tempPath("none/Zelvo.desktop"), "", target);
    EXPECT_FALSE(QFile::exists(tempPath("none/Zelvo.desktop")));
}

TEST_F(ShellTest, BrowseFolderAsksThroughTheDialogs)
{
    ScriptedDialogs d;
    d.folderAnswers = {"/home/pupils", ""};
    QString folder = "unchanged";
    EXPECT_TRUE(BrowseFolder(nullptr, folder));
    EXPECT_EQ(folder, "/home/pupils");
    EXPECT_FALSE(BrowseFolder(nullptr, folder));
    EXPECT_EQ(folder, "/home/pupils");
}

TEST_F(ShellTest, DesktopFolderEndsWithOneSeparator)
{
    const QString desktop = DesktopFolder();
    if (!desktop.isEmpty()) {
        EXPECT_TRUE(desktop.endsWith('/'));
        EXPECT_FALSE(desktop.endsWith("//"));
    }
}

} // namespace
