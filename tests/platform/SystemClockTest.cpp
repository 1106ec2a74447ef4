#include "platform/linux/SystemClock.h"

#include <QObject>
#include <QTimer>

#include <gtest/gtest.h>

namespace ringtally {
namespace {

TEST(SystemClockTest, RunEventsForRunsPendingEventsAndWaitsOnTheSteadyClock)
{
    SystemClock clock;
    QObject context;
    int runs = 0;
    QMetaObject::invokeMethod(
        &context, [&runs] { ++runs; }, Qt::QueuedConnection);
    QTimer::singleShot(0, &context, [&runs] { ++runs; });

    const qint64 start = clock.steadyMs();
    clock.runEventsFor(20);

    EXPECT_EQ(runs, 2);
    // It sleeps in the event loop rather than returning at once, which would make every wait
    // built on it spin the processor.
    EXPECT_GE(clock.steadyMs() - start, 15);
}

} // namespace
} // namespace ringtally
