#include "platform/message_wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void ProcessPendingMessages() { QCoreApplication::processEvents(); }

void ServeMessagesUntil(const std::function<bool()>& done, int wakeMilliseconds)
{
    // The timer's events end a blocked pass; it needs no handler of its own.
    QTimer wake;
    wake.start(wakeMilliseconds);
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
