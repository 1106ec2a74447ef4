#include "metering/TitleInfo.h"

#include "core/SettingsFile.h"
#include "localisation/StringTable.h"

#include "support/TempFolder.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace ringtally;
using ringtally::test::TempFolder;

namespace {

const QString kSection = QStringLiteral("Configuration");
const QString kLeft = QStringLiteral("Titleinfo Left Cord");
const QString kTop = QStringLiteral("Titleinfo Top Cord");

class TitleInfoTest : public ::testing::Test {
protected:
    TitleInfo& make(int leftTwips = -1, int topTwips = -1)
    {
        if (leftTwips >= 0) {
            EXPECT_TRUE(settings.WriteIni(kSection, kLeft, leftTwips).ok());
            EXPECT_TRUE(settings.WriteIni(kSection, kTop, topTwips).ok());
        }
        window = std::make_unique<TitleInfo>(state, settings, StringTable::english());
        return *window;
    }
    QString stored(const QString& key) const
    {
        return settings.ReadIni(kSection, key, QStringLiteral("missing"));
    }

    TempFolder temp;
    NumberFormat danish { QLocale(QLocale::Danish, QLocale::Denmark) };
    ProfileFile profile { temp.file(QStringLiteral("Ringtally.ini")) };
    SettingsFile settings { profile, danish };
    ProgramState state;
    std::unique_ptr<TitleInfo> window;
};

} // namespace

TEST_F(TitleInfoTest, GrowsWithLongerTextsAndNeverShrinks)
{
    make();
    window->setInfoText(QStringLiteral("Pris: 1,00  Tid: 00:00:01"));
    const QSize before = window->size();
    window->setInfoText(QStringLiteral("Pris: 123,45  Tid: 01:23:45"));
    const QSize grown = window->size();
    EXPECT_GT(grown.width(), before.width());
    // 220 twips of room beside the label (14.7 pixels).
    EXPECT_GE(grown.width() - window->Info->width(), 14);
    EXPECT_LE(grown.width() - window->Info->width(), 15);

    window->setInfoText(QStringLiteral("x"));
    EXPECT_EQ(window->size(), grown);
}

TEST_F(TitleInfoTest, DraggingMovesLiveAndStoresWhereTheWindowLands)
{
    make(3000, 1500); // (200, 100) pixels
    window->Info_MouseDown(QPoint(250, 110));
    window->Info_MouseMove(QPoint(270, 118));
    EXPECT_EQ(window->pos(), QPoint(220, 108));
    EXPECT_EQ(stored(kLeft), QStringLiteral("3000")); // nothing stored before the release

    ASSERT_TRUE(window->Info_MouseUp(QPoint(300, 130)).ok());
    EXPECT_EQ(window->pos(), QPoint(250, 120));
    EXPECT_EQ(stored(kLeft), QStringLiteral("3750"));
    EXPECT_EQ(stored(kTop), QStringLiteral("1800"));

    // A release without a press is no drag.
    ASSERT_TRUE(window->Info_MouseUp(QPoint(700, 500)).ok());
    EXPECT_EQ(window->pos(), QPoint(250, 120));
}

TEST_F(TitleInfoTest, ATopCloseToTheScreensTopSnapsToIt)
{
    // From the top edge, down by 13 px = 195 twips, 18 px = 270, 19 px = 285, 20 px = 300.
    for (const auto& [downPx, topTwips] : { std::pair { 13, 0 }, { 18, 0 }, { 19, 285 }, { 20, 300 } }) {
        make(1500, 0);
        window->Info_MouseDown(QPoint(500, 300));
        ASSERT_TRUE(window->Info_MouseUp(QPoint(470, 300 + downPx)).ok());
        EXPECT_EQ(stored(kTop), QString::number(topTwips)) << downPx << " px down";
        EXPECT_EQ(window->y() * 15, topTwips) << downPx << " px down";
        EXPECT_EQ(stored(kLeft), QStringLiteral("1050"));
    }
}

TEST_F(TitleInfoTest, APressAndReleaseInPlaceStoresTheDefaultTopRightPosition)
{
    make().show();
    const QPoint where = window->pos();
    // 250 twips (16.7 pixels) from the screen's right edge, at the top.
    const int gap = window->screen()->geometry().width() - (where.x() + window->width());
    EXPECT_TRUE(gap == 16 || gap == 17) << gap;
    ASSERT_EQ(stored(kLeft), QStringLiteral("missing"));
    // Through the label's real mouse events.
    QTest::mousePress(window->Info, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseRelease(window->Info, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(window->pos(), where);
    EXPECT_EQ(stored(kLeft), QString::number(where.x() * 15));
    EXPECT_EQ(stored(kTop), QStringLiteral("0"));
}

TEST_F(TitleInfoTest, NoMenuWhileTheWindowIsAboutToHide)
{
    make().show();
    window->startHideTimer();
    EXPECT_FALSE(window->Info_RightButtonUp(QPoint(10, 10)));
    EXPECT_FALSE(window->Popmenu->isVisible());

    window->HideTitleInfo_Timer();
    QTest::mouseClick(window->Info, Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_TRUE(window->Popmenu->isVisible());
    window->Popmenu->hide();
}

TEST_F(TitleInfoTest, TheHideTimerHidesOnlyWhileOffline)
{
    make().show();
    window->startHideTimer();
    state.meter.GlblOnline = 1; // a new call started within the five seconds
    window->HideTitleInfo_Timer();
    EXPECT_FALSE(window->hideTimerRunning());
    EXPECT_TRUE(window->isVisible());

    state.meter.GlblOnline = 0;
    window->startHideTimer();
    window->HideTitleInfo_Timer();
    EXPECT_FALSE(window->hideTimerRunning());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(TitleInfoTest, EnglishTextsComeFromTheStringTable)
{
    state.settings.Language = 1;
    make();
    EXPECT_EQ(window->Info->text(), QStringLiteral("Dialstatus"));
    EXPECT_TRUE(window->Info->toolTip().startsWith(QStringLiteral("Shows the price and time")));
    EXPECT_EQ(window->Taskbar[2]->text(), QStringLiteral("Show &Total use"));
    EXPECT_EQ(window->mnuHelpIndex->text(), QStringLiteral("&Contents"));
    EXPECT_EQ(window->mnuHelpAbout->text(), QStringLiteral("&About"));
}

TEST_F(TitleInfoTest, MenuItemsAskTheOwnerToAct)
{
    make();
    QSignalSpy figure(window.get(), &TitleInfo::taskbarChosen);
    QSignalSpy inTask(window.get(), &TitleInfo::showInTaskClicked);
    QSignalSpy hangUp(window.get(), &TitleInfo::hangUpRequested);

    window->setTaskbarTicks(1);
    window->Taskbar[2]->trigger();
    EXPECT_EQ(figure.value(0).value(0).toInt(), 3);
    EXPECT_FALSE(window->Taskbar[0]->isChecked());
    EXPECT_TRUE(window->Taskbar[2]->isChecked());

    // The switch mirrors the status window, which sets it once it has acted.
    window->setShowInTaskTicked(true);
    window->mnuShowInTask->trigger();
    EXPECT_EQ(inTask.count(), 1);
    EXPECT_TRUE(window->mnuShowInTask->isChecked());

    window->hanguplog->trigger();
    window->hangupnolog->trigger();
    EXPECT_EQ(hangUp.value(0).value(0).toString(), QStringLiteral("Log"));
    EXPECT_EQ(hangUp.value(1).value(0).toString(), QStringLiteral("NoLog"));
}
