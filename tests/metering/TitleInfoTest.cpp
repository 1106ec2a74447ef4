#include "metering/TitleInfo.h"

#include "localisation/StringTable.h"

#include "support/SettingsWorld.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

using namespace ringtally;
using namespace Qt::StringLiterals;

namespace {

const QString kSection = u"Configuration"_s;
const QString kLeft = u"Titleinfo Left Cord"_s;
const QString kTop = u"Titleinfo Top Cord"_s;

class TitleInfoTest : public ::testing::Test, public test::SettingsWorld {
protected:
    TitleInfo& make()
    {
        window = std::make_unique<TitleInfo>(state, settings, StringTable::english());
        return *window;
    }
    QString stored(const QString& key) const { return settings.ReadIni(kSection, key, u"missing"_s); }

    std::unique_ptr<TitleInfo> window;
};

} // namespace

TEST_F(TitleInfoTest, GrowsWithLongerTextsNeverShrinksAndStaysOnTheScreen)
{
    const QString longText = u"Price: 12345,67  Time: 1234:56:07"_s;
    make().show();
    const QRect screen = window->screen()->availableGeometry();
    window->setInfoText(longText);
    const QSize grown = window->size();
    // 220 twips of room beside the label (14.7 pixels), more than the window's first size allows.
    EXPECT_THAT(grown.width() - window->Info->width(), testing::AllOf(testing::Ge(14), testing::Le(15)));
    // At its default place it grows leftwards, keeping 250 twips (16.7 pixels) from the right edge.
    EXPECT_THAT(screen.right() - window->geometry().right(), testing::AnyOf(16, 17));

    window->setInfoText(u"x"_s);
    EXPECT_EQ(window->size(), grown);

    // A stored place is kept while the window fits there; near or past an edge it moves inside.
    for (const auto& [storedLeft, left] :
        { std::pair { 1500, 100 }, { screen.right() * 15 - 300, -1 }, { 99999, -1 }, { -3000, 0 } }) {
        ASSERT_TRUE(settings.WriteIni(kSection, kLeft, storedLeft).ok());
        make().show();
        window->setInfoText(longText);
        EXPECT_TRUE(screen.contains(window->geometry())) << storedLeft;
        EXPECT_TRUE(left < 0 || window->x() == left) << storedLeft << " is shown at " << window->x();
    }
}

TEST_F(TitleInfoTest, DraggingMovesLiveAndStoresWhereTheWindowLands)
{
    // A click in place stores the default position, top right.
    make().show();
    const QPoint where = window->pos();
    QTest::mouseClick(window->Info, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(window->pos(), where);
    EXPECT_EQ(stored(kLeft), QString::number(where.x() * 15));
    EXPECT_EQ(stored(kTop), u"0"_s);

    window->move(200, 100);
    window->onInfoPressed(QPoint(250, 110));
    window->onInfoDragged(QPoint(270, 118));
    EXPECT_EQ(window->pos(), QPoint(220, 108));
    EXPECT_EQ(stored(kLeft), QString::number(where.x() * 15)); // nothing stored before the release

    ASSERT_TRUE(window->onInfoReleased(QPoint(300, 130)).ok());
    EXPECT_EQ(window->pos(), QPoint(250, 120));
    EXPECT_EQ(stored(kLeft), u"3750"_s);
    EXPECT_EQ(stored(kTop), u"1800"_s);

    // A release without a press is no drag.
    ASSERT_TRUE(window->onInfoReleased(QPoint(700, 500)).ok());
    EXPECT_EQ(window->pos(), QPoint(250, 120));

    // A top under 280 twips snaps to the screen's top: 18 px down is 270 twips, 19 px is 285.
    for (const auto& [downPx, topTwips] : { std::pair { 18, 0 }, { 19, 285 } }) {
        window->move(100, 0);
        window->onInfoPressed(QPoint(500, 300));
        ASSERT_TRUE(window->onInfoReleased(QPoint(470, 300 + downPx)).ok());
        EXPECT_EQ(stored(kTop), QString::number(topTwips)) << downPx << " px down";
        EXPECT_EQ(window->y() * 15, topTwips) << downPx << " px down";
    }
}

TEST_F(TitleInfoTest, TheHideTimeHidesOnlyOfflineAndAllowsNoMenu)
{
    make().show();
    window->startHideTimer();
    EXPECT_FALSE(window->onInfoRightReleased(QPoint(10, 10)));

    state.meter.GlblOnline = 1; // a new call started within the five seconds
    window->onHideTimeout();
    EXPECT_FALSE(window->hideTimerRunning());
    EXPECT_TRUE(window->isVisible());
    QTest::mouseClick(window->Info, Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_TRUE(window->Popmenu->isVisible());
    window->Popmenu->hide();

    state.meter.GlblOnline = 0;
    window->startHideTimer();
    window->onHideTimeout();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(TitleInfoTest, MenuItemsAskTheOwnerToActInEnglishToo)
{
    state.settings.Language = 1;
    make();
    EXPECT_EQ(window->Info->text(), u"Dialstatus"_s);
    EXPECT_EQ(window->Taskbar[2]->text(), u"Show &Total use"_s);
    QSignalSpy figure(window.get(), &TitleInfo::taskbarChosen);
    QSignalSpy hangUp(window.get(), &TitleInfo::hangUpRequested);

    // One choice of three, drawn as radio items.
    for (QAction* item : window->Taskbar)
        EXPECT_TRUE(item->actionGroup() && item->actionGroup()->isExclusive());
    window->setTaskbarTicks(1);
    window->Taskbar[2]->trigger();
    EXPECT_EQ(figure.value(0).value(0).toInt(), 3);
    EXPECT_FALSE(window->Taskbar[0]->isChecked());
    EXPECT_TRUE(window->Taskbar[2]->isChecked());

    // The switch mirrors the status window, which sets it once it has acted.
    window->setShowInTaskTicked(true);
    window->mnuShowInTask->trigger();
    EXPECT_TRUE(window->mnuShowInTask->isChecked());

    window->hanguplog->trigger();
    window->hangupnolog->trigger();
    EXPECT_EQ(hangUp.value(0).value(0).toString(), u"Log"_s);
    EXPECT_EQ(hangUp.value(1).value(0).toString(), u"NoLog"_s);
}
