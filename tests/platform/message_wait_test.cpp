// Waiting inside a handler: the wait serves messages as they come, never
// sleeping past them. The wake interval is made an hour where a test shows
// that something other than the wake timer ends a pass; such a test would
// hang (and time out) if the wait slept instead.

#include "platform/message_wait.h"
#include "platform/program_quit.h"

#include <QCoreApplication>
#include <QObject>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

constexpr int kHour = 3600 * 1000;

TEST(MessageWaitTest, AnEventPostedFromAnotherThreadEndsABlockedWait)
{
    QObject receiver;
    bool done = false;
    std::thread poster([&receiver, &done] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        QMetaObject::invokeMethod(
            &receiver, [&done] { done = true; }, Qt::QueuedConnection);
    });
    int passes = 0;
    ServeMessagesUntil(
        [&] {
            ++passes;
            return done;
        },
        kHour);
    poster.join();
    EXPECT_TRUE(done);
    EXPECT_GE(passes, 2); // checked before the wait and after the pass that served the event
}

TEST(MessageWaitTest, TimersFireDuringTheWait)
{
    QTimer clock;
    int ticks = 0;
    QObject::connect(&clock, &QTimer::timeout, [&ticks] { ++ticks; });
    clock.start(5);
    ServeMessagesUntil([&] { return ticks >= 3; }, kHour);
    EXPECT_EQ(ticks, 3);
}

TEST(MessageWaitTest, TheWakeTimerChecksTheConditionWithoutAnyEvent)
{
    // Nothing but the wake timer ends a pass here. The time counts from the
    // first check, which never ends the wait: however late this process
    // gets the processor, the wait must come back to the condition by itself.
    std::chrono::steady_clock::time_point until;
    int passes = 0;
    ServeMessagesUntil(
        [&] {
            if (++passes == 1) {
                until = std::chrono::steady_clock::now() + std::chrono::milliseconds(30);
                return false;
            }
            return std::chrono::steady_clock::now() >= until;
        },
        5);
    EXPECT_GE(passes, 2);
}

TEST(MessageWaitTest, AQuitRequestFromAPostedEventEndsTheWait)
{
    ResetQuitRequest();
    QObject receiver;
    QMetaObject::invokeMethod(
        &receiver, [] { RequestQuit(); }, Qt::QueuedConnection);
    ServeMessagesUntil([] { return QuitRequested(); }, kHour);
    EXPECT_TRUE(QuitRequested());
    ResetQuitRequest();
}

TEST(MessageWaitTest, ASinglePassServesWhatIsPendingAndReturns)
{
    QObject receiver;
    int served = 0;
    for (int i = 0; i < 3; ++i)
        QMetaObject::invokeMethod(
            &receiver, [&served] { ++served; }, Qt::QueuedConnection);
    ProcessPendingMessages();
    EXPECT_EQ(served, 3);
    // Nothing pending: it returns at once rather than waiting.
    ProcessPendingMessages();
    EXPECT_EQ(served, 3);
}

} // namespace
