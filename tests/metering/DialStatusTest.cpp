#include "metering/DialStatus.h"

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
#include "support/SettingsWorld.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;
using test::FakeClock;
using test::ScriptedPrompter;

const QString kTrayinfoVisible = u"Trayinfo Visible"_s;
const QString kTitleinfoVisible = u"Titleinfo Visible"_s;

QString visKey(int row)
{
    return u"Vis element  %1"_s.arg(row);
}

class RecordingOffline : public OfflineServices {
public:
    void hangUpDialControl() override { calls << u"hangUpDialControl"_s; }
    void stopLineWatch() override { calls << u"stopLineWatch"_s; }
    void switchTrayMenu() override { calls << u"switchTrayMenu"_s; }
    void playEventSound(const QString& event) override { calls << u"sound "_s + event; }
    // As the call's owner, which ends the call through the call end.
    void requestHangUp(bool log) override
    {
        calls << u"hangUp %1"_s.arg(log);
        if (callEnd)
            callEnd->end(log);
    }
    QStringList calls;
    CallEnd* callEnd = nullptr;
};

// The status window inside the hub, on a temporary settings file and a fake clock.
class DialStatusTest : public ::testing::Test, public test::SettingsWorld {
protected:
    DialStatus& make()
    {
        windows = std::make_unique<MeterWindows>(
            state, settings, callLog, checkpoint, clock, prompter, strings, danish, offline);
        offline.callEnd = &windows->callEnd();
        return windows->dialStatus();
    }
    void store(const QString& key, const IniValue& value, const QString& section = u"Configuration"_s)
    {
        ASSERT_TRUE(settings.WriteIni(section, key, value).ok());
    }
    QString stored(const QString& key) const
    {
        return settings.ReadIni(u"Configuration"_s, key, u"missing"_s);
    }

    StringTable strings = StringTable::english();
    FakeClock clock; // a Monday noon
    ScriptedPrompter prompter;
    RecordingOffline offline;
    CallLog callLog { temp.file(u"Ringtally.log"_s) };
    CallCheckpointFile checkpoint { temp.file(u"Ringtally.call"_s) };
    std::unique_ptr<MeterWindows> windows;
};

TEST_F(DialStatusTest, HidingARowMovesTheRowsBelowAndResizesTheWindow)
{
    DialStatus& w = make();
    w.onActivated();
    // The menu and seven rows of 260 twips.
    EXPECT_EQ(w.height(), twipsToPixels(675 + 7 * 260));
    std::array<int, DialStatus::kRowCount> tops {};
    for (size_t n = 0; n < tops.size(); ++n)
        tops[n] = w.Element[n]->y();

    w.toggleRow(2);
    EXPECT_TRUE(w.Element[2]->isHidden());
    EXPECT_EQ(stored(visKey(2)), u"0"_s);
    EXPECT_EQ(w.Element[1]->y(), tops[1]);
    for (size_t n = 3; n < tops.size(); ++n)
        EXPECT_EQ(w.Element[n]->y(), tops[n - 1]) << "row " << n;
    EXPECT_EQ(w.height(), twipsToPixels(675 + 6 * 260));

    // The next activation reads the choice back; the menu path toggles once per click.
    w.onActivated();
    EXPECT_TRUE(w.Element[2]->isHidden());
    w.mnuShow[2]->trigger();
    EXPECT_EQ(stored(visKey(2)), u"1"_s);
    EXPECT_EQ(w.Element[3]->y(), tops[3]);

    for (int n = 0; n < DialStatus::kRowCount; ++n)
        store(visKey(n), 0);
    w.onActivated();
    EXPECT_EQ(pixelsToTwips(w.height()), 675);
    // A minimized window keeps its size when a row changes.
    w.setWindowState(Qt::WindowMinimized);
    w.toggleRow(0);
    EXPECT_EQ(pixelsToTwips(w.height()), 675);
}

TEST_F(DialStatusTest, RowsShowTheWidestFiguresWholeAtAnyFontInBothLanguages)
{
    const QFont defaultFont = QApplication::font();
    const auto restoreFont = qScopeGuard([&defaultFont] { QApplication::setFont(defaultFont); });
    for (const auto& [pointSize, language] : { std::pair { 0, 0 }, { 0, 1 }, { 15, 0 }, { 15, 1 } }) {
        SCOPED_TRACE(
            testing::Message() << pointSize << " pt (0: the test's default font), language " << language);
        QFont font = defaultFont;
        if (pointSize > 0)
            font.setPointSize(pointSize);
        QApplication::setFont(font);
        state.settings.Language = quint8(language);
        DialStatus& w = make();
        StatusTexts& t = state.texts;
        t.NuvTimer = t.DagTimer = t.TotTimer = u"9999"_s;
        t.NuvPris = t.DagPris = t.TotPris = u"99999,99"_s;
        w.showTexts();
        w.show();
        for (const QLabel* label : w.findChildren<QLabel*>()) {
            if (!label->isVisibleTo(&w))
                continue;
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
            EXPECT_GE(label->height(), label->sizeHint().height()) << label->text().toStdString();
            EXPECT_TRUE(label->parentWidget()->rect().contains(label->geometry()));
        }
        // "9999:00:00" reads as one time: its parts touch, the colons and minutes no wider than
        // their text.
        const std::array<QLabel*, 5> time { w.TotTimer, w.TotKolon, w.TotMinutter, w.totalSecondsColon,
            w.SekNr[2] };
        for (size_t i = 1; i < time.size(); ++i) {
            EXPECT_EQ(time[i - 1]->geometry().right() + 1, time[i]->x()) << i;
            EXPECT_LE(time[i]->width(), time[i]->sizeHint().width() + 1) << i;
        }
        for (size_t n = 1; n < w.Element.size(); ++n)
            EXPECT_GE(w.Element[n]->y(), w.Element[n - 1]->geometry().bottom() + 1);
        EXPECT_LE(w.Element[5]->mapTo(&w, QPoint(0, w.Element[5]->height())).y(), w.height());
        // Every menu bar item has room: no extension button hides the last ones.
        const auto* extension = w.menuBar->findChild<QToolButton*>();
        EXPECT_FALSE(extension && extension->isVisible());
    }
    // The height rule of 149 px for the whole window sizes it, but never clips the 127 px that the
    // menu and rows need: no frame, a 20 px frame, a 30 px frame.
    EXPECT_EQ(DialStatus::clientHeightFor(149, 0, 127), 149);
    EXPECT_EQ(DialStatus::clientHeightFor(149, 20, 127), 129);
    EXPECT_EQ(DialStatus::clientHeightFor(149, 30, 127), 127);
}

TEST_F(DialStatusTest, SkiftTaskbarTicksOneFigureAndStoresIt)
{
    DialStatus& w = make();
    // One choice of three, drawn as radio items; none is ticked before the first choice.
    for (QAction* item : { w.mnuShowNowTitl, w.mnuShowDayTitl, w.mnuShowTotTitl })
        EXPECT_TRUE(item->actionGroup() && item->actionGroup()->isExclusive() && !item->isChecked());
    w.switchTaskbarFigure(3);
    w.switchTaskbarFigure(4); // any other number leaves the choice and only repeats the ticks
    EXPECT_TRUE(w.mnuShowTotTitl->isChecked());
    EXPECT_EQ(stored(u"TaskbarType"_s), u"3"_s);
    EXPECT_EQ(state.settings.TaskBarType, 3);

    // Choosing the ticked item again from the menu must not untick it.
    w.mnuShowDayTitl->trigger();
    w.mnuShowDayTitl->trigger();
    EXPECT_TRUE(w.mnuShowDayTitl->isChecked() && !w.mnuShowTotTitl->isChecked());
    EXPECT_EQ(stored(u"TaskbarType"_s), u"2"_s);

    // The floating window's items choose through the same procedure and follow it.
    emit windows->titleInfo().taskbarChosen(1);
    EXPECT_TRUE(w.mnuShowNowTitl->isChecked());
    EXPECT_FALSE(w.mnuShowDayTitl->isChecked());
    EXPECT_TRUE(windows->titleInfo().Taskbar[0]->isChecked());
    EXPECT_FALSE(windows->titleInfo().Taskbar[1]->isChecked());
}

TEST_F(DialStatusTest, TimerShowsTheMeterAndTheTaskbarTextInTheWindowsLanguage)
{
    for (const auto& [language, words] :
        { std::pair { 0, u"Pris: 1,08  Tid:"_s }, { 2, u"Price: 1,08  Time:"_s } }) {
        state.settings.Language = quint8(language);
        DialStatus& w = make();
        // A call of 1 minute 5 seconds at 1 kr a minute, no call fee, metered by one tick.
        for (DayTariff& day : state.settings.Schemes[0].Days)
            day = { .NumberOfPeriods = 1, .MinutePrice = { 1.0 } };
        windows->engine().startCall(0);
        clock.advanceMs(65'000);
        w.onTick();
        EXPECT_EQ(w.NuvMinutter->text(), u"01"_s);
        for (QLabel* seconds : w.SekNr)
            EXPECT_EQ(seconds->text(), u"05"_s);
        EXPECT_EQ(w.NuvPris->text(), u"1,08"_s); // 65/60 kr
        EXPECT_EQ(windows->engine().taskbarText(1), words + u" 00:01:05"_s);
    }
    // The English texts of a fresh window, as the menu shows them; the row tooltips stay Danish.
    DialStatus& w = make();
    EXPECT_EQ(w.mnuShow[0]->iconText(), u"Headings (price & time)"_s);
    EXPECT_EQ(w.Element[1]->toolTip(), u"Viser det nuværende forbrug"_s);
}

TEST_F(DialStatusTest, ShowInItemsFlipTheStoredChoiceAndShowWindowsOnlyOnline)
{
    store(kTrayinfoVisible, false);
    DialStatus& w = make();
    w.mnuShowInTask->trigger();
    EXPECT_EQ(stored(kTrayinfoVisible), u"True"_s);
    EXPECT_TRUE(w.mnuShowInTask->isChecked());
    EXPECT_TRUE(windows->titleInfo().mnuShowInTask->isChecked());
    EXPECT_FALSE(windows->trayInfo().isVisible()); // offline

    // The stored value flips on its own, even when something else changed it meanwhile.
    store(kTrayinfoVisible, false);
    w.toggleTaskbarWindow();
    EXPECT_FALSE(w.mnuShowInTask->isChecked());
    EXPECT_EQ(stored(kTrayinfoVisible), u"True"_s);

    // The floating window ("Titleinfo Visible" defaults to True) comes with its first text, and
    // stays where it came up.
    settings.LoadSettings(state.settings);
    windows->startCall(0);
    const TitleInfo& floating = windows->titleInfo();
    ASSERT_TRUE(floating.isVisible());
    EXPECT_EQ(floating.Info->text(), u"Pris: 0,00  Tid: 00:00:00"_s);
    const QRect shown = floating.geometry();
    clock.advanceMs(1'000);
    w.onTick();
    EXPECT_EQ(floating.Info->text(), u"Pris: 0,00  Tid: 00:00:01"_s);
    EXPECT_EQ(floating.geometry(), shown);
    emit windows->titleInfo().showInTitleClicked();
    EXPECT_FALSE(windows->titleInfo().isVisible());
    EXPECT_EQ(stored(kTitleinfoVisible), u"False"_s);
    w.toggleFloatingWindow();
    EXPECT_TRUE(windows->titleInfo().isVisible());
    EXPECT_TRUE(w.mnuShowInTitle->isChecked());
}

TEST_F(DialStatusTest, CallStartShowsTheWindowsTheSettingsAskFor)
{
    store(kTitleinfoVisible, false);
    // 1 kr spent earlier today, over a maximum of 0,50.
    store(u"Date"_s, clock.now().date(), u"Last_Call"_s);
    store(u"Price"_s, 1.0, u"Last_Call"_s);
    store(u"Max_Day_Price"_s, 0.5);
    DialStatus& w = make();
    settings.LoadSettings(state.settings); // as the call's owner does
    windows->startCall(1);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), u"Ringtally - Online"_s);
    EXPECT_TRUE(w.mnuLog->isEnabled());
    EXPECT_TRUE(w.tickTimer.isActive());
    EXPECT_TRUE(windows->trayInfo().isVisible());
    EXPECT_FALSE(windows->titleInfo().isVisible());
    EXPECT_EQ(state.meter.CurrentScheme, 1);
    EXPECT_EQ(offline.calls, QStringList(u"switchTrayMenu"_s));

    // The default figure is today's; the tick writes it to both small windows and warns.
    clock.advanceMs(2'000);
    w.onTick();
    EXPECT_EQ(windows->trayInfo().windowTitle(), u"Pris: 1,00  Tid: 00:00:02"_s);
    EXPECT_EQ(windows->titleInfo().Info->text(), windows->trayInfo().windowTitle());
    EXPECT_TRUE(windows->priceWarn().isVisible());
    EXPECT_TRUE(windows->priceWarn().Test->text().contains(u"1,00 kr"_s));

    store(u"Dialstat Visible"_s, 0);
    windows->startCall(1);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(DialStatusTest, ClosingAWindowLeavesTheCallRunningAndEveryHangUpPathEndsIt)
{
    DialStatus& w = make();
    windows->startCall(0);
    // The task-bar window refuses to close; the status window hides and stores its place.
    ASSERT_TRUE(windows->trayInfo().isVisible());
    EXPECT_FALSE(windows->trayInfo().close());
    EXPECT_TRUE(windows->trayInfo().isVisible());
    w.move(200, 100);
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(stored(u"Dialstat Left Cord"_s), u"3000"_s);
    EXPECT_EQ(stored(u"Dialstat Top Cord"_s), u"1500"_s);
    EXPECT_EQ(state.meter.GlblOnline, 1);
    EXPECT_TRUE(w.tickTimer.isActive());

    // A click on the task-bar button, which restores the window, shows the status window again.
    windows->trayInfo().setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(windows->trayInfo().isMinimized());

    w.hangUpWithoutLog();
    EXPECT_FALSE(QFile::exists(callLog.path()));
    EXPECT_EQ(state.meter.GlblOnline, 0);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), u"Ringtally - Offline"_s);
    EXPECT_FALSE(w.mnuNoLog->isEnabled());
    EXPECT_FALSE(w.tickTimer.isActive());
    EXPECT_FALSE(windows->trayInfo().isVisible());
    EXPECT_TRUE(windows->titleInfo().hideTimerRunning());
    for (const QString& call :
        { u"hangUp 0"_s, u"hangUpDialControl"_s, u"stopLineWatch"_s, u"sound Disconnect"_s })
        EXPECT_TRUE(offline.calls.contains(call)) << call.toStdString();

    // The menu's hang-up logs the call.
    windows->startCall(0);
    w.hangUpAndLog();
    EXPECT_EQ(state.meter.GlblOnline, 0);
    EXPECT_TRUE(QFile::exists(callLog.path()));
    // A window loaded later comes up where the closed one was.
    EXPECT_EQ(make().pos(), QPoint(200, 100));
}

TEST_F(DialStatusTest, StateWindowNeedsShiftCtrlAndAltWithTheRightButton)
{
    DialStatus& w = make();
    const Qt::KeyboardModifiers all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    for (Qt::KeyboardModifier missing : { Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier })
        QTest::mouseClick(w.NuvPris, Qt::RightButton, all & ~Qt::KeyboardModifiers(missing));
    QTest::mouseClick(w.NuvPris, Qt::LeftButton, all);
    QTest::mouseClick(w.DagPris, Qt::RightButton, all);
    EXPECT_FALSE(windows->stat().isVisible());

    QTest::mouseClick(w.NuvPris, Qt::RightButton, all);
    EXPECT_TRUE(windows->stat().isVisible());
}

} // namespace
} // namespace ringtally
