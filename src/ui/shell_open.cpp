#include "ui/shell_open.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {
ShellOpenHook shellOpenHook;
}

bool ShellOpen(const QString& file, const QString& parameters, const QString& workingFolder,
               int /*showMode*/)
{
    if (shellOpenHook)
        return shellOpenHook(file, workingFolder);
    const QFileInfo info(file);
    if (!info.exists())
        return false;
    if (info.isFile() && info.isExecutable()) {
        const QString folder = workingFolder.isEmpty() ? info.absolutePath() : workingFolder;
        return QProcess::startDetached(info.absoluteFilePath(), QProcess::splitCommand(parameters),
                                       folder);
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

void SetShellOpenHook(ShellOpenHook hook) { shellOpenHook = std::move(hook); }
