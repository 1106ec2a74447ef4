#include "platform/linux/SystemClock.h"

#include <QObject>
#include <QTimer>

#include <gtest/gtest.h>

namespace ringtally {
namespace {

TEST(SystemClockTest, SteadyClockNeverGoesBack)
{
    SystemClock clock;
    qint64 previous = clock.steadyMs();
    for (int i = 0; i < 10'000; ++i) {
        const qint64 current = clock.steadyMs();
        ASSERT_GE(current, previous);
        previous = current;
    }
}

TEST(SystemClockTest, RunEventsForRunsPendingEventsAndWaits)
{
    SystemClock clock;
    QObject context;
    bool queuedRan = false;
    bool timerRan = false;
    QMetaObject::invokeMethod(
        &context, [&queuedRan] { queuedRan = true; }, Qt::QueuedConnection);
    QTimer::singleShot(0, &context, [&timerRan] { timerRan = true; });

    const qint64 start = clock.steadyMs();
    clock.runEventsFor(20);
    const qint64 waited = clock.steadyMs() - start;

    EXPECT_TRUE(queuedRan);
    EXPECT_TRUE(timerRan);
    // It sleeps in the event loop rather than returning at once, which would make every wait
    // built on it spin the processor.
    EXPECT_GE(waited, 15);
}

} // namespace
} // namespace ringtally
