#include "core/WaitSeconds.h"

#include "fakes/FakeClock.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace ringtally::test {
namespace {

// A fake clock that can set the wall clock back at the first step of a wait and stops a wait that
// would never end, so a faulty wait fails the test instead of hanging it.
class SteppedClock : public FakeClock {
public:
    using FakeClock::FakeClock;

    void runEventsFor(int ms) override
    {
        lastStepMs = ms;
        FakeClock::runEventsFor(ms);
        if (eventRuns() == 1)
            setNow(now().addSecs(-setBackSecs));
        if (eventRuns() > 100'000)
            throw std::runtime_error("the wait did not end");
    }

    qint64 setBackSecs = 0;
    int lastStepMs = 0;
};

TEST(WaitSecondsTest, LastsTheGivenTimeOnTheSteadyClockWhateverTheWallClockDoes)
{
    // The waits start just before midnight, where one measured on the time of day would go wrong.
    const QDateTime beforeMidnight(QDate(2026, 3, 9), QTime(23, 59, 59, 900));
    struct Case {
        float seconds;
        qint64 ms;
        qint64 setBackSecs;
    } const cases[] = { { 3.0f, 3000, 0 }, { 0.25f, 250, 0 }, { 1.0f, 1000, 3600 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.seconds << " s, wall clock set back " << c.setBackSecs << " s");
        SteppedClock clock(beforeMidnight);
        clock.setBackSecs = c.setBackSecs;
        const qint64 start = clock.steadyMs();
        WaitSeconds(clock, c.seconds);
        EXPECT_GE(clock.steadyMs() - start, c.ms);
        EXPECT_LE(clock.steadyMs() - start, c.ms + clock.lastStepMs);
    }
}

TEST(WaitSecondsTest, ZeroOrLessReturnsAtOnceWithoutRunningEvents)
{
    for (const float seconds : { 0.0f, -1.0f, -0.001f }) {
        SteppedClock clock;
        WaitSeconds(clock, seconds);
        EXPECT_EQ(clock.eventRuns(), 0) << seconds;
    }
}

} // namespace
} // namespace ringtally::test
