#include "metering/DialStatus.h"

#include "core/SettingsFile.h"
#include "diagnostics/Stat.h"
#include "localisation/StringTable.h"
#include "metering/CallLog.h"
#include "metering/MeterWindows.h"
#include "metering/PriceWarn.h"
#include "metering/TitleInfo.h"
#include "metering/TrayInfo.h"
#include "metering/Twips.h"

#include "fakes/FakeClock.h"
#include "fakes/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace ringtally {
namespace {

using test::FakeClock;
using test::ScriptedPrompter;
using test::TempFolder;

const QString kSection = QStringLiteral("Configuration");

QString visKey(int row)
{
    return QStringLiteral("Vis element  %1").arg(row);
}

class RecordingOffline : public OfflineServices {
public:
    void hangUpDialControl() override { calls << QStringLiteral("hangUpDialControl"); }
    void stopLineWatch() override { calls << QStringLiteral("stopLineWatch"); }
    void SkiftPopupMenu() override { calls << QStringLiteral("SkiftPopupMenu"); }
    void playEventSound(const QString& event) override { calls << QStringLiteral("sound ") + event; }
    void HangUpAll() override { calls << QStringLiteral("HangUpAll"); }
    QStringList calls;
};

// The status window inside the hub, on a temporary settings file and a fake clock.
class DialStatusTest : public ::testing::Test {
protected:
    DialStatus& make()
    {
        windows = std::make_unique<MeterWindows>(
            state, settings, callLog, clock, prompter, strings, danish, offline);
        return windows->dialStatus();
    }
    DialStatus& window() { return windows->dialStatus(); }
    void store(const QString& key, const IniValue& value, const QString& section = kSection)
    {
        ASSERT_TRUE(settings.WriteIni(section, key, value).ok());
    }
    QString stored(const QString& key) const
    {
        return settings.ReadIni(kSection, key, QStringLiteral("missing"));
    }
    double heightTwips() { return pixelsToTwips(window().height()); }
    // One period a day at 1 kr a minute, no call fee; the engine prices the settings in memory.
    void tariffOfOneKronePerMinute()
    {
        for (DayTariff& day : state.settings.Schemes[0].Days) {
            day.NumberOfPeriods = 1;
            day.MinutePrice[0] = 1.0;
        }
    }

    TempFolder temp;
    NumberFormat danish { QLocale(QLocale::Danish, QLocale::Denmark) };
    ProfileFile profile { temp.file(QStringLiteral("Ringtally.ini")) };
    SettingsFile settings { profile, danish };
    StringTable strings = StringTable::english();
    ProgramState state;
    FakeClock clock; // a Monday noon
    ScriptedPrompter prompter;
    RecordingOffline offline;
    CallLog callLog { temp.file(QStringLiteral("Ringtally.log")) };
    std::unique_ptr<MeterWindows> windows;
};

TEST_F(DialStatusTest, HeightFollowsTheNumberOfShownRows)
{
    for (int n = 0; n < DialStatus::kRowCount; ++n)
        store(visKey(n), 0);
    make().Form_Activate();
    EXPECT_EQ(heightTwips(), 675);
    for (QWidget* row : window().Element)
        EXPECT_TRUE(row->isHidden());

    for (int n = 0; n < DialStatus::kRowCount; ++n)
        store(visKey(n), 1);
    window().Form_Activate();
    EXPECT_EQ(heightTwips(), 2235);

    // A minimized window keeps its size when a row changes.
    window().setWindowState(Qt::WindowMinimized);
    window().mnuShow_Click(0);
    EXPECT_EQ(heightTwips(), 2235);
}

TEST_F(DialStatusTest, HidingARowMovesTheRowsBelowItUpAndIsRemembered)
{
    DialStatus& w = make();
    w.Form_Activate();
    std::array<int, DialStatus::kRowCount> tops {};
    for (size_t n = 0; n < tops.size(); ++n)
        tops[n] = w.Element[n]->y();
    ASSERT_LT(tops[2], tops[3]);

    w.mnuShow_Click(2);
    EXPECT_TRUE(w.Element[2]->isHidden());
    EXPECT_FALSE(w.mnuShow[2]->isChecked());
    EXPECT_EQ(stored(visKey(2)), QStringLiteral("0"));
    EXPECT_EQ(w.Element[1]->y(), tops[1]);
    for (size_t n = 3; n < tops.size(); ++n)
        EXPECT_EQ(w.Element[n]->y(), tops[n - 1]) << "row " << n;
    EXPECT_EQ(w.height(), twipsToPixels(2235 - 260));

    // The next activation reads the choice back; the menu path toggles once per click.
    w.Form_Activate();
    EXPECT_TRUE(w.Element[2]->isHidden());
    w.mnuShow[2]->trigger();
    EXPECT_TRUE(w.mnuShow[2]->isChecked());
    EXPECT_EQ(stored(visKey(2)), QStringLiteral("1"));
    EXPECT_EQ(w.Element[3]->y(), tops[3]);
}

TEST_F(DialStatusTest, SkiftTaskbarTicksOneFigureAndStoresIt)
{
    DialStatus& w = make();
    QSignalSpy figures(&w, &DialStatus::taskbarFigureChanged);
    w.SkiftTaskbar(3);
    EXPECT_FALSE(w.mnuShowNowTitl->isChecked());
    EXPECT_FALSE(w.mnuShowDayTitl->isChecked());
    EXPECT_TRUE(w.mnuShowTotTitl->isChecked());
    EXPECT_EQ(stored(QStringLiteral("TaskbarType")), QStringLiteral("3"));
    EXPECT_EQ(state.settings.TaskBarType, 3);

    // Any other number leaves the choice and only repeats the ticks.
    w.SkiftTaskbar(4);
    EXPECT_TRUE(w.mnuShowTotTitl->isChecked());
    EXPECT_EQ(stored(QStringLiteral("TaskbarType")), QStringLiteral("3"));
    EXPECT_EQ(state.settings.TaskBarType, 3);
    ASSERT_EQ(figures.size(), 2);
    EXPECT_EQ(figures.at(1).at(0).toInt(), 3);

    // Choosing the ticked item again from the menu must not untick it.
    w.mnuShowDayTitl->trigger();
    w.mnuShowDayTitl->trigger();
    EXPECT_TRUE(w.mnuShowDayTitl->isChecked());
    EXPECT_FALSE(w.mnuShowTotTitl->isChecked());
    EXPECT_EQ(stored(QStringLiteral("TaskbarType")), QStringLiteral("2"));

    // The floating window's items choose through the same procedure and follow it.
    emit windows->titleInfo().taskbarChosen(1);
    EXPECT_TRUE(w.mnuShowNowTitl->isChecked());
    EXPECT_TRUE(windows->titleInfo().Taskbar[0]->isChecked());
    EXPECT_FALSE(windows->titleInfo().Taskbar[1]->isChecked());
}

TEST_F(DialStatusTest, TimerShowsTheMeterAndTheTaskbarTextUsesTheWindowsWords)
{
    tariffOfOneKronePerMinute();
    DialStatus& w = make();
    windows->engine().startCall(0);
    clock.advanceMs(65'000);
    w.Timer1_Timer();
    EXPECT_EQ(w.NuvMinutter->text(), QStringLiteral("01"));
    for (QLabel* seconds : w.SekNr)
        EXPECT_EQ(seconds->text(), QStringLiteral("05"));
    // 1 minute 5 seconds at 1 kr a minute.
    EXPECT_EQ(w.NuvPris->text(), QStringLiteral("1,08"));
    EXPECT_EQ(windows->engine().FindTaskbar(1), QStringLiteral("Pris: 1,08  Tid: 00:01:05"));
}

TEST_F(DialStatusTest, EnglishTextsComeFromTheStringTable)
{
    state.settings.Language = 2;
    tariffOfOneKronePerMinute();
    DialStatus& w = make();
    const std::pair<QString, StringId> texts[] = {
        { w.mnuShowTmp->title(), StringId::DialStatus_mnuShowTmp },
        { w.mnuNoLog->text(), StringId::DialStatus_mnuNoLog },
        { w.PrisTtl->text(), StringId::DialStatus_PrisTtl },
        { w.DagTitl->text(), StringId::DialStatus_DagTitl },
        { w.mnuShow[5]->text(), StringId::DialStatus_mnuShow5 },
        { w.mnuShowInTitle->text(), StringId::DialStatus_mnuShowInTitle },
        { w.mnuShowTotTitl->text(), StringId::DialStatus_mnuShowTotTitl },
        { w.Opkaldstypelbl->text(), StringId::DialStatus_Opkaldstypelbl },
        { w.NuvMinPrislbl->text(), StringId::DialStatus_NuvMinPrislbl },
    };
    for (const auto& [shown, id] : texts) {
        EXPECT_FALSE(shown.isEmpty()) << int(id);
        EXPECT_EQ(shown, strings.text(id)) << int(id);
    }
    EXPECT_EQ(w.Element[1]->toolTip(), QStringLiteral("Viser det nuværende forbrug"));

    windows->engine().startCall(0);
    clock.advanceMs(65'000);
    w.Timer1_Timer();
    EXPECT_EQ(windows->engine().FindTaskbar(1), QStringLiteral("Price: 1,08  Time: 00:01:05"));
}

TEST_F(DialStatusTest, ShowInTaskOfflineOnlyStoresTheChoice)
{
    store(QStringLiteral("Trayinfo Visible"), false);
    DialStatus& w = make();
    EXPECT_FALSE(w.mnuShowInTask->isChecked());
    QSignalSpy ticks(&w, &DialStatus::showInTaskChanged);

    w.mnuShowInTask->trigger();
    EXPECT_EQ(stored(QStringLiteral("Trayinfo Visible")), QStringLiteral("True"));
    EXPECT_TRUE(w.mnuShowInTask->isChecked());
    EXPECT_TRUE(windows->titleInfo().mnuShowInTask->isChecked());
    EXPECT_FALSE(windows->trayInfo().isVisible());
    ASSERT_EQ(ticks.size(), 1);

    w.mnuShowInTask_Click();
    EXPECT_EQ(stored(QStringLiteral("Trayinfo Visible")), QStringLiteral("False"));
    EXPECT_FALSE(w.mnuShowInTask->isChecked());
    EXPECT_FALSE(windows->trayInfo().isVisible());

    // The stored value flips on its own, even when something else changed it meanwhile.
    store(QStringLiteral("Trayinfo Visible"), true);
    w.mnuShowInTask_Click();
    EXPECT_TRUE(w.mnuShowInTask->isChecked());
    EXPECT_EQ(stored(QStringLiteral("Trayinfo Visible")), QStringLiteral("False"));
}

TEST_F(DialStatusTest, ShowInTitleOnlineSwitchesTheFloatingWindow)
{
    DialStatus& w = make();
    EXPECT_TRUE(w.mnuShowInTitle->isChecked()); // "Titleinfo Visible" defaults to True
    windows->startCall(0);
    ASSERT_TRUE(windows->titleInfo().isVisible());

    emit windows->titleInfo().showInTitleClicked();
    EXPECT_FALSE(windows->titleInfo().isVisible());
    EXPECT_EQ(stored(QStringLiteral("Titleinfo Visible")), QStringLiteral("False"));
    w.mnuShowInTitle_Click();
    EXPECT_TRUE(windows->titleInfo().isVisible());
    EXPECT_TRUE(w.mnuShowInTitle->isChecked());
    EXPECT_EQ(stored(QStringLiteral("Titleinfo Visible")), QStringLiteral("True"));
    EXPECT_TRUE(windows->trayInfo().isVisible());
}

TEST_F(DialStatusTest, ClosingHidesAndStoresThePositionWhileTheMeterRuns)
{
    DialStatus& w = make();
    windows->startCall(0);
    w.move(200, 100);
    ASSERT_EQ(w.pos(), QPoint(200, 100));

    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(stored(QStringLiteral("Dialstat Left Cord")), QStringLiteral("3000"));
    EXPECT_EQ(stored(QStringLiteral("Dialstat Top Cord")), QStringLiteral("1500"));
    EXPECT_TRUE(w.Timer1.isActive());
    EXPECT_EQ(state.meter.GlblOnline, 1);
    clock.advanceMs(3'000);
    w.Timer1_Timer();
    EXPECT_EQ(w.SekNr[0]->text(), QStringLiteral("03"));

    // A window loaded later comes up where this one was.
    EXPECT_EQ(make().pos(), QPoint(200, 100));
}

TEST_F(DialStatusTest, StateWindowNeedsShiftCtrlAndAltWithTheRightButton)
{
    DialStatus& w = make();
    QSignalSpy requests(&w, &DialStatus::stateWindowRequested);
    const Qt::KeyboardModifiers all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    for (Qt::KeyboardModifier missing : { Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier })
        QTest::mouseClick(w.NuvPris, Qt::RightButton, all & ~Qt::KeyboardModifiers(missing));
    QTest::mouseClick(w.NuvPris, Qt::LeftButton, all);
    QTest::mouseClick(w.DagPris, Qt::RightButton, all);
    EXPECT_EQ(requests.size(), 0);
    EXPECT_FALSE(windows->stat().isVisible());

    QTest::mouseClick(w.NuvPris, Qt::RightButton, all);
    EXPECT_EQ(requests.size(), 1);
    EXPECT_TRUE(windows->stat().isVisible());
}

TEST_F(DialStatusTest, CallStartShowsTheWindowsTheSettingsAskFor)
{
    store(QStringLiteral("Titleinfo Visible"), false);
    DialStatus& w = make();
    windows->startCall(1);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Ringtally - Online"));
    EXPECT_TRUE(w.mnuLog->isEnabled());
    EXPECT_TRUE(w.Timer1.isActive());
    EXPECT_TRUE(windows->trayInfo().isVisible());
    EXPECT_FALSE(windows->titleInfo().isVisible());
    EXPECT_EQ(state.meter.CurrentScheme, 1);
    EXPECT_TRUE(offline.calls.contains(QStringLiteral("SkiftPopupMenu")));

    // The default figure is today's; the tick writes it to both small windows.
    clock.advanceMs(2'000);
    w.Timer1_Timer();
    EXPECT_EQ(windows->trayInfo().windowTitle(), QStringLiteral("Pris: 0,00  Tid: 00:00:02"));
    EXPECT_EQ(windows->titleInfo().Info->text(), windows->trayInfo().windowTitle());

    store(QStringLiteral("Dialstat Visible"), 0);
    windows->startCall(1);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(DialStatusTest, HangingUpWithoutLoggingPutsEveryWindowOffline)
{
    DialStatus& w = make();
    windows->startCall(0);
    w.mnuNoLog_Click();
    EXPECT_FALSE(QFile::exists(callLog.path()));
    EXPECT_EQ(state.meter.GlblOnline, 0);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Ringtally - Offline"));
    EXPECT_FALSE(w.mnuLog->isEnabled());
    EXPECT_FALSE(w.mnuNoLog->isEnabled());
    EXPECT_FALSE(w.Timer1.isActive());
    EXPECT_FALSE(windows->trayInfo().isVisible());
    EXPECT_TRUE(windows->titleInfo().hideTimerRunning());
    for (const char* call : { "hangUpDialControl", "stopLineWatch", "sound Disconnect", "HangUpAll" })
        EXPECT_TRUE(offline.calls.contains(QLatin1String(call))) << call;
}

TEST_F(DialStatusTest, LoggedHangUpsFromTheMenuAndTheTaskbarWindow)
{
    DialStatus& w = make();
    windows->startCall(0);
    w.mnuLog_Click();
    EXPECT_EQ(state.meter.GlblOnline, 0);
    ASSERT_TRUE(QFile::exists(callLog.path()));
    QFile::remove(callLog.path());

    windows->startCall(0);
    emit windows->trayInfo().closedWhileOnline();
    EXPECT_EQ(state.meter.GlblOnline, 0);
    EXPECT_TRUE(QFile::exists(callLog.path()));
}

TEST_F(DialStatusTest, DailyMaximumReachedShowsTheWarning)
{
    store(QStringLiteral("Date"), clock.now().date(), QStringLiteral("Last_Call"));
    store(QStringLiteral("Price"), 1.0, QStringLiteral("Last_Call"));
    store(QStringLiteral("Max_Day_Price"), 0.5);
    make();
    windows->startCall(0);
    clock.advanceMs(1'000);
    window().Timer1_Timer();
    EXPECT_TRUE(windows->priceWarn().isVisible());
    EXPECT_TRUE(windows->priceWarn().Test->text().contains(QStringLiteral("1,00")));
}

TEST_F(DialStatusTest, TickErrorsAndSplitLineFailuresGetTheWarningBox)
{
    make();
    prompter.answerNext(PromptAnswer::Ok);
    windows->reportTickError(6, QStringLiteral("Overflow"));
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown()[0].title, QStringLiteral("Advarsel!"));
    EXPECT_TRUE(prompter.shown()[0].text.endsWith(QStringLiteral("Overflow")));
    EXPECT_EQ(offline.calls, QStringList { QStringLiteral("sound Error") });

    // The call log cannot be opened (a folder stands in its place): the opening and the writing
    // fail, one box each.
    ASSERT_TRUE(QDir().mkpath(callLog.path()));
    prompter.answerNext(PromptAnswer::Ok);
    prompter.answerNext(PromptAnswer::Ok);
    EXPECT_FALSE(windows->appendSplitLine(QStringLiteral("#2026-01-05 23:59:00#,0")).ok());
    ASSERT_EQ(prompter.shown().size(), 3);
    EXPECT_EQ(prompter.shown()[2].title, QStringLiteral("Advarsel!"));
    EXPECT_EQ(offline.calls.count(QStringLiteral("sound Error")), 3);
}

} // namespace
} // namespace ringtally
