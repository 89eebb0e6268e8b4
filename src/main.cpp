// Program entry: creates the twelve windows in their order and runs the
// message loop until the main window is closed.

#include "app/program_windows.h"
#include "platform/shown_probe.h"
#include "platform/sound_player.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zelvo"));
    // Ties the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("ru.zelvo.Zelvo"));
    // The windows are laid out for a small 8-point default font.
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);

    // Standard buttons read "ОК" and "Отмена".
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    ProgramWindows windows(std::make_unique<AlsaSoundPlayer>());
    windows.form1.show();
    WatchFirstShowForProbe();
    return app.exec();
}
