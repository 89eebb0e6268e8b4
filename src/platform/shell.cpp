#include "platform/shell.h"

#include "platform/atomic_file.h"
#include "platform/config_store.h"
#include "platform/dialogs.h"
#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

// An Exec argument: quoted when it holds a reserved character, with '"', '`',
// '$' and '\' escaped inside the quotes.
QString ExecArgument(const QString& arg)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = arg.isEmpty();
    for (QChar c : arg)
        quote = quote || reserved.contains(c);
    if (!quote)
        return arg;
    QString out = QStringLiteral("\"");
    for (QChar c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

// A desktop-entry string value: backslash, line breaks and tabs escaped.
QString EntryString(const QString& text)
{
    QString out;
    for (QChar c : text) {
        if (c == '\\')
            out += QStringLiteral("\\\\");
        else if (c == '\n')
            out += QStringLiteral("\\n");
        else if (c == '\r')
            out += QStringLiteral("\\r");
        else if (c == '\t')
            out += QStringLiteral("\\t");
        else
            out += c;
    }
    return out;
}

QString ExecLine(const QString& target, const QString& arguments)
{
    QStringList parts{ExecArgument(target)};
    for (const QString& arg : QProcess::splitCommand(arguments))
        parts << ExecArgument(arg);
    // '%' starts a field code; a literal one is doubled.
    return EntryString(parts.join(' ')).replace('%', QStringLiteral("%%"));
}

} // namespace

QString DesktopFolder()
{
    return WithTrailingSeparator(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

bool HasAdminRights() { return CanWriteMachineStore(); }

bool BrowseFolder(QWidget* owner, QString& folder) { return dialogs().chooseFolder(owner, folder); }

void CreateShortcut(const QString& shortcutPath, const QString& arguments, const QString& target)
{
    const QString folder = QFileInfo(target).absolutePath();
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Version=1.0\n"
                                         "Name=Zelvo\n"
                                         "Exec=%1\n"
                                         "Path=%2\n"
                                         "Terminal=false\n"
                                         "Categories=Education;\n")
                              .arg(ExecLine(target, arguments), EntryString(folder));
    // Failures are not reported: the caller has no message for them.
    ReplaceFileWhole(shortcutPath, entry.toUtf8(), 0755, 0755);
}
