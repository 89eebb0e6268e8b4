// The start-up baseline: a bare Qt Widgets program showing one window with a
// menu bar, measured by the same probe as the program.

#include "shown_probe.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.menuBar()->addMenu(QStringLiteral("Начать"))->addAction(QStringLiteral("Вход"));
    window.resize(470, 465);
    window.show();
    WatchFirstShowForProbe();
    return app.exec();
}
