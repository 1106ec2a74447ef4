#include "metering/TrayInfo.h"

#include <QEvent>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace ringtally;

TEST(TrayInfoTest, ClosingEndsTheCallOnlyWhileOnline)
{
    ProgramState state;
    TrayInfo window(state);
    QSignalSpy closedOnline(&window, &TrayInfo::closedWhileOnline);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Opkaldsstatus"));

    window.show();
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closedOnline.count(), 0);

    state.meter.GlblOnline = 1;
    window.show();
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closedOnline.count(), 1);
}

TEST(TrayInfoTest, ActivationIsPassedOn)
{
    ProgramState state;
    TrayInfo window(state);
    QSignalSpy activated(&window, &TrayInfo::activated);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&window, &activate);
    EXPECT_EQ(activated.count(), 1);
}
