// The teacher's export: a console program that writes a class folder's
// results as CSV, or as an HTML report with charts. It needs no display.

#include "export/export_command.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelvo-export"));
    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    return RunExportCommand(QCoreApplication::arguments(), out, err);
}
