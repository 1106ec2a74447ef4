#include "core/WaitSeconds.h"

#include "fakes/FakeClock.h"

#include <QObject>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace ringtally::test {
namespace {

// A fake clock that can act at each step of a wait and stops a wait that would never end, so a
// faulty wait fails the test instead of hanging it.
class SteppedClock : public FakeClock {
public:
    using FakeClock::FakeClock;
    std::function<void(SteppedClock&)> onStep;

    void runEventsFor(int ms) override
    {
        lastStepMs = ms;
        FakeClock::runEventsFor(ms);
        if (onStep)
            onStep(*this);
        if (eventRuns() > kRunaway)
            throw std::runtime_error("the wait did not end");
    }

    int lastStepMs = 0;
    static constexpr int kRunaway = 100'000;
};

TEST(WaitSecondsTest, LastsTheGivenSecondsOnTheSteadyClock)
{
    SteppedClock clock;
    const qint64 start = clock.steadyMs();
    WaitSeconds(clock, 3.0f);
    const qint64 waited = clock.steadyMs() - start;
    EXPECT_GE(waited, 3000);
    EXPECT_LE(waited, 3000 + clock.lastStepMs);
    EXPECT_GT(clock.eventRuns(), 0);
}

TEST(WaitSecondsTest, FractionalSeconds)
{
    SteppedClock clock;
    const qint64 start = clock.steadyMs();
    WaitSeconds(clock, 0.25f);
    const qint64 waited = clock.steadyMs() - start;
    EXPECT_GE(waited, 250);
    EXPECT_LE(waited, 250 + clock.lastStepMs);
}

TEST(WaitSecondsTest, ZeroOrLessReturnsAtOnceWithoutRunningEvents)
{
    for (const float seconds : { 0.0f, -1.0f, -0.001f }) {
        SCOPED_TRACE(seconds);
        SteppedClock clock;
        const qint64 start = clock.steadyMs();
        WaitSeconds(clock, seconds);
        EXPECT_EQ(clock.steadyMs(), start);
        EXPECT_EQ(clock.eventRuns(), 0);
    }
}

TEST(WaitSecondsTest, EndsWhenItRunsAcrossMidnight)
{
    SteppedClock clock(QDateTime(QDate(2026, 3, 9), QTime(23, 59, 59, 500)));
    const qint64 start = clock.steadyMs();
    WaitSeconds(clock, 2.0f);
    EXPECT_LE(clock.steadyMs() - start, 2000 + clock.lastStepMs);
    EXPECT_EQ(clock.now().date(), QDate(2026, 3, 10));
}

TEST(WaitSecondsTest, EndsOnTimeWhenTheWallClockIsSetBackDuringTheWait)
{
    SteppedClock clock;
    bool setBack = false;
    clock.onStep = [&setBack](SteppedClock& c) {
        if (!setBack)
            c.setNow(c.now().addSecs(-3600));
        setBack = true;
    };
    const qint64 start = clock.steadyMs();
    WaitSeconds(clock, 1.0f);
    EXPECT_GE(clock.steadyMs() - start, 1000);
    EXPECT_LE(clock.steadyMs() - start, 1000 + clock.lastStepMs);
}

TEST(WaitSecondsTest, PendingEventsRunDuringTheWait)
{
    SteppedClock clock;
    QObject context;
    int timerRuns = 0;
    int queuedRuns = 0;
    QTimer::singleShot(0, &context, [&timerRuns] { ++timerRuns; });
    QMetaObject::invokeMethod(
        &context, [&queuedRuns] { ++queuedRuns; }, Qt::QueuedConnection);

    WaitSeconds(clock, 0.1f);

    EXPECT_EQ(timerRuns, 1);
    EXPECT_EQ(queuedRuns, 1);
}

} // namespace
} // namespace ringtally::test
