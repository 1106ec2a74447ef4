#include "metering/TrayInfo.h"

#include <QEvent>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace ringtally;

TEST(TrayInfoTest, ClosingEndsTheCallOnlyWhileOnlineAndActivationIsPassedOn)
{
    ProgramState state;
    TrayInfo window(state);
    QSignalSpy closedOnline(&window, &TrayInfo::closedWhileOnline);
    for (const int online : { 0, 1 }) {
        state.meter.GlblOnline = online;
        window.show();
        EXPECT_TRUE(window.close());
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(closedOnline.count(), online);
    }

    QSignalSpy activated(&window, &TrayInfo::activated);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&window, &activate);
    EXPECT_EQ(activated.count(), 1);
}
