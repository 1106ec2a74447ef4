#include "tray/RasServices.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDialUpNetwork.h"

#include <gtest/gtest.h>

using namespace ringtally;
using ringtally::test::FakeClock;
using ringtally::test::FakeDialUpNetwork;

namespace {

class HangUp : public ::testing::Test {
protected:
    HangUp()
    {
        // The connection watch: due at every pass of the event loop while it runs.
        watch.setInterval(0);
        QObject::connect(&watch, &QTimer::timeout, [this] { ++watchRuns; });
        watch.start();
        ras.setWatchTimer(&watch);
    }
    qint64 waitedMs() const { return clock.steadyMs() - startMs; }

    FakeClock clock;
    FakeDialUpNetwork network;
    RasServices ras { network, clock };
    QTimer watch;
    int watchRuns = 0;
    const qint64 startMs = clock.steadyMs();
};

} // namespace

TEST_F(HangUp, EveryConnectionInOrderThenWaitsForTheLineWithTheWatchHeldOff)
{
    network.setConnections({ { 7, QStringLiteral("Tele") }, { 3, QStringLiteral("Other dialer") } });
    network.dropAfterChecks(2); // the flag clears two checks after the hang-ups
    ras.HangUpAll();
    EXPECT_EQ(network.hungUp(), (std::vector<qint64> { 7, 3 }));
    EXPECT_EQ(waitedMs(), 2000);
    EXPECT_EQ(watchRuns, 0);
    EXPECT_TRUE(watch.isActive());
}

TEST_F(HangUp, NothingUpReturnsAtOnce)
{
    ras.HangUpAll();
    EXPECT_TRUE(network.hungUp().empty());
    EXPECT_EQ(waitedMs(), 0);
    EXPECT_TRUE(watch.isActive());
}

TEST_F(HangUp, ALineThatNeverDropsIsWaitedForThirtySecondsAtMost)
{
    network.stayOnline();
    ras.HangUpAll();
    EXPECT_EQ(waitedMs(), 30'000);
    EXPECT_TRUE(watch.isActive());
}

TEST_F(HangUp, AFailedListingHangsUpNothingButStillWaits)
{
    network.setConnections({ { 7, QStringLiteral("Tele") } });
    network.failConnectionListing();
    ras.HangUpAll();
    EXPECT_TRUE(network.hungUp().empty());
    EXPECT_EQ(waitedMs(), 30'000); // the connection stays: the wait runs to its limit
}

TEST_F(HangUp, AWatchThatWasOffStaysOff)
{
    watch.stop();
    network.setConnections({ { 7, QStringLiteral("Tele") } });
    ras.HangUpAll();
    EXPECT_FALSE(watch.isActive());
}

TEST(RasServices, TheConnectionNameOnlyWhileOnline)
{
    FakeClock clock;
    FakeDialUpNetwork network;
    RasServices ras(network, clock);
    EXPECT_FALSE(ras.IsOnline());
    EXPECT_EQ(ras.GetConnectionName(), QString());
    network.setConnections({ { 7, QStringLiteral("Tele") } });
    EXPECT_TRUE(ras.IsOnline());
    EXPECT_EQ(ras.GetConnectionName(), QStringLiteral("Tele"));
    network.setConnections({ { 7, QString() } });
    EXPECT_EQ(ras.GetConnectionName(), QString());
}
