#include "platform/message_wait.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <poll.h>

void ProcessPendingMessages() { QCoreApplication::processEvents(); }

void ServeMessagesUntil(const std::function<bool()>& done, int wakeMilliseconds)
{
    // The timer's events end a blocked pass; it needs no handler of its own.
    QTimer wake;
    wake.start(wakeMilliseconds);
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void ServeMessagesWithoutInputFor(int milliseconds)
{
    if (!QCoreApplication::instance() || !QAbstractEventDispatcher::instance()) {
        ::poll(nullptr, 0, milliseconds);
        return;
    }
    // The flag rather than the clock ends the wait: once the timer has fired,
    // nothing else might come to end a pass that waits for more messages.
    bool woke = false;
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    QObject::connect(&wake, &QTimer::timeout, [&woke] { woke = true; });
    wake.start(milliseconds);
    while (!woke)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
}
