#include "app/program.h"

#include "app/program_windows.h"
#include "exercise/program_state.h"
#include "platform/sound_player.h"
#include "ui/qt_dialogs.h"
#include "ui/spoken_notice.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int RunProgram(int argc, char* argv[], const std::function<void()>& afterShow)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zelvo"));
    // Ties the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("ru.zelvo.Zelvo"));
    // The windows are laid out for a small 8-point default font.
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);

    // Qt's own dialogs (the folder chooser) in Russian.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);
    setStandardDialogs(&QtDialogs());
    SpeakFocusedFieldsFirst();

    ProgramState state;
    StartUp();
    ProgramWindows windows(state, std::make_unique<AlsaSoundPlayer>());
    windows.form1().show();
    if (afterShow)
        afterShow();
    return app.exec();
}
