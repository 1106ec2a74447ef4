#include "core/ExitRequests.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace ringtally {
namespace {

// The session ending reaches the program as the application's aboutToQuit.
void endSession()
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit", Qt::DirectConnection);
}

TEST(ExitRequestsTest, EachTerminationSignalAndTheSessionEndBecomeOneExitRequest)
{
    const std::function<void()> requests[]
        = { [] { std::raise(SIGTERM); }, [] { std::raise(SIGINT); }, [] { std::raise(SIGHUP); }, endSession };
    for (size_t n = 0; n < std::size(requests); ++n) {
        SCOPED_TRACE(n);
        ExitRequests exit;
        QSignalSpy spy(&exit, &ExitRequests::exitRequested);
        requests[n]();
        EXPECT_TRUE(spy.count() == 1 || spy.wait(5000));
        // Asks for nothing more: a second signal while the program logs its call must not kill it.
        endSession();
        std::raise(SIGTERM);
        QTest::qWait(50);
        EXPECT_EQ(spy.count(), 1);
    }
}

} // namespace
} // namespace ringtally
