#include "metering/TrayInfo.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace ringtally;

TEST(TrayInfoTest, ActivationIsPassedOn)
{
    TrayInfo window;
    QSignalSpy activated(&window, &TrayInfo::activated);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&window, &activate);
    EXPECT_EQ(activated.count(), 1);
}
