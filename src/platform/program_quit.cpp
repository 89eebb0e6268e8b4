#include "platform/program_quit.h"

#include <QCoreApplication>

namespace {
bool quitRequested = false;
}

void RequestQuit()
{
    quitRequested = true;
    QCoreApplication::quit();
}

bool QuitRequested() { return quitRequested; }

void ResetQuitRequest() { quitRequested = false; }
