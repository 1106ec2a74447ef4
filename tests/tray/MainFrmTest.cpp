#include "tray/MainFrm.h"

#include "localisation/StringTable.h"
#include "metering/CallLog.h"
#include "metering/DialStatus.h"
#include "metering/MeterWindows.h"
#include "metering/TrayInfo.h"
#include "platform/Desktop.h"
#include "platform/linux/XdgDesktop.h"
#include "tray/About.h"
#include "tray/CallOwner.h"
#include "tray/ConfigWindow.h"
#include "tray/Dialer.h"
#include "tray/EventSounds.h"
#include "tray/FileRegistry.h"
#include "tray/PriceIcon.h"
#include "tray/RasServices.h"
#include "tray/RegistryRoutines.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDialUpNetwork.h"
#include "fakes/FakeSoundPlayer.h"
#include "fakes/ScriptedPrompter.h"
#include "support/SettingsWorld.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>

#include <QMenuBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <optional>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;
using test::FakeClock;
using test::FakeDialUpNetwork;
using test::FakeSoundPlayer;
using test::ScriptedPrompter;

struct NoConfigWindow : ConfigWindow {
    void showConfig(QWidget*) override { }
    void unload() override { }
};

// The main window with its Dial only recorded, for the commands that lead to it.
struct RecordingMainFrm : MainFrm {
    using MainFrm::MainFrm;
    void Dial(qint16 scheme, bool alreadyOnline, quint8 startPrograms) override
    {
        calls.append(QString(u"%1 %2 %3"_s).arg(scheme).arg(alreadyOnline).arg(startPrograms));
    }
    QStringList calls;
};

struct NoDesktop : Desktop {
    Status open(const QString&) override { return Status::success(); }
};

// The main window over the real meter windows and services; the clock stands on a Monday, 12:00.
class MainFrmTest : public ::testing::Test, public test::SettingsWorld {
protected:
    // Names and minute prices of the three schemes; an empty name switches a scheme off.
    void setSchemes(std::array<std::pair<QString, double>, 3> schemes)
    {
        for (size_t i = 0; i < schemes.size(); ++i) {
            state.settings.Schemes[i].Name = schemes[i].first;
            for (DayTariff& day : state.settings.Schemes[i].Days)
                day = { .NumberOfPeriods = 1, .MinutePrice = { schemes[i].second } };
        }
        ASSERT_TRUE(settings.SaveSettings(state.settings).ok());
    }

    const ProgramFolder folder { temp.path() };
    FakeClock clock;
    ScriptedPrompter prompter;
    const StringTable strings = StringTable::english();
    CallLog callLog { folder.file(u"Ringtally.log"_s) };
    CallCheckpointFile checkpoint { folder.file(u"Ringtally.call"_s) };
    FileRegistry store { folder.file(QString::fromUtf16(FileRegistry::kFileName)) };
    RegistryRoutines registry { store, prompter };
    FakeSoundPlayer player;
    EventSounds sounds { registry, player, folder };
    FakeDialUpNetwork network;
    RasServices ras { network, clock };
    NoDesktop desktop;
    NoConfigWindow config;
    RecordingMainFrm frm { state, settings, danish, strings, prompter, sounds, ras, desktop, config, folder };
    MeterWindows meter { state, settings, callLog, checkpoint, clock, prompter, strings, danish, frm };
    CallOwner owner { state, settings, ras, clock, prompter, sounds };
    const bool attached = (frm.setMeterWindows(&meter), frm.setCallOwner(&owner),
        owner.attach(&meter, nullptr, nullptr), frm.AddTrayIcon(true), true);
};

TEST_F(MainFrmTest, TheTrayMenuHasItsOfflineAndItsOnlineForm)
{
    setSchemes({ { { u"A"_s, 0.5 }, { u"B"_s, 0.5 }, { u"C"_s, 0.5 } } });
    const std::array<QAction*, 8> shownOffline { frm.PopupDial[0], frm.PopupDial[1], frm.PopupDial[2],
        frm.OfflineSep, frm.PopupRunProgramsInList, frm.PopupShowMain, frm.PopupShowLog,
        frm.PopupShowConfig };
    const std::array<QAction*, 3> shownOnline { frm.PopupHangup, frm.PopupHangupNoLog, frm.PopupShow };
    for (const quint8 online : { 1, 0 }) {
        state.meter.GlblOnline = online;
        frm.switchTrayMenu();
        for (QAction* item : shownOnline)
            EXPECT_EQ(item->isVisible(), online == 1) << online << item->text().toStdString();
        for (QAction* item : shownOffline) // the last three stay visible, but greyed
            EXPECT_EQ(item->isVisible() && item->isEnabled(), online == 0)
                << online << item->text().toStdString();
        EXPECT_TRUE(frm.PopupOther->isVisible() && frm.CloseProgram->isEnabled());
        EXPECT_EQ(frm.trayIcon()->toolTip(), online ? u"Ringtally online"_s : u"Ringtally offline"_s);
    }
}

TEST_F(MainFrmTest, TheIconsAreSharpAtPanelSizesOnScaledScreensToo)
{
    // A panel of 22 or 48 pixels, at scale 1 and 2: a picture at least that large is scaled down.
    for (const QIcon& icon : { frm.OfflineImg, frm.OnlineImg, frm.trayIcon()->icon() }) {
        for (const int size : { 22, 48 }) {
            for (const int scale : { 1, 2 })
                EXPECT_EQ(icon.pixmap(QSize(size, size), scale).size(), QSize(size * scale, size * scale))
                    << size << " px at scale " << scale;
        }
    }
}

TEST_F(MainFrmTest, DialItemsAndButtonsShowTheCurrentPricesAndMarkTheCheapest)
{
    struct Case {
        std::array<std::pair<QString, double>, 3> schemes;
        std::array<QString, 3> items; // empty: hidden item, "----------" button
        int cheapest;
    };
    const Case cases[] = {
        { { { { u"Tele"_s, 0.5 }, { u"Net & Co"_s, 0.25 }, { QString(), 0.1 } } },
            { u"Tele (0,5)"_s, u"Net && Co (0,25)"_s, QString() }, 1 },
        { { { { u"A"_s, 0.3 }, { u"B"_s, 0.3 }, { u"C"_s, 0.4 } } },
            { u"A (0,3)"_s, u"B (0,3)"_s, u"C (0,4)"_s }, 0 },
        { { { { QString(), 0.1 }, { u"B"_s, 0.3 }, { u"C"_s, 0.2 } } },
            { QString(), u"B (0,3)"_s, u"C (0,2)"_s }, 2 },
    };
    for (const Case& c : cases) {
        setSchemes(c.schemes);
        frm.onTrayMessage(MainFrm::RightUp);
        frm.onActivated();
        for (int i = 0; i < 3; ++i) {
            const QString item = c.items[size_t(i)];
            QAction* dial = frm.PopupDial[size_t(i)];
            QPushButton* button = frm.CmdDial[size_t(i)];
            EXPECT_EQ(dial->isVisible(), !item.isEmpty()) << i;
            if (!item.isEmpty()) {
                EXPECT_EQ(dial->text(), item);
            }
            EXPECT_FALSE(dial->isCheckable()) << "a dial item is no switch";
            EXPECT_EQ(dial->font().bold(), i == c.cheapest) << i;
            EXPECT_EQ(button->text(), item.isEmpty() ? u"----------"_s : item) << i;
            EXPECT_EQ(button->isEnabled(), !item.isEmpty()) << i;
            EXPECT_EQ(button->font().bold(), i == c.cheapest) << i;
        }
    }
}

TEST_F(MainFrmTest, DoubleClickOfflineActsByTheSettingAndOnlineHangsUp)
{
    setSchemes({ { { u"A"_s, 0.5 }, { u"B"_s, 0.4 }, { u"C"_s, 0.2 } } });
    const std::pair<qint16, QStringList> cases[] = {
        { -1, {} },
        { 4, { u"0 0 0"_s } },
        { 5, { u"1 0 0"_s } },
        { 6, { u"2 0 0"_s } },
        { 10, { u"2 0 0"_s } },
        { 7, {} }, // no fourth scheme
        { 3, {} },
    };
    for (const auto& [action, dialed] : cases) {
        frm.hide();
        frm.calls.clear();
        state.settings.DoubleClickAction = action;
        frm.onTrayMessage(MainFrm::LeftDoubleClick);
        EXPECT_EQ(frm.calls, dialed) << action;
        EXPECT_EQ(frm.isVisible(), action == -1) << action;
    }

    state.meter.GlblOnline = 1;
    meter.startCall(1);
    frm.onTrayMessage(MainFrm::LeftDoubleClick);
    EXPECT_EQ(state.meter.GlblOnline, 0);
    EXPECT_EQ(frm.calls, QStringList()) << "a double-click online hangs up, it does not dial";
    EXPECT_EQ(test::contentsOf(callLog.path()).count('\n'), 1);
}

TEST_F(MainFrmTest, TheStartListSwitchIsGreyedWithoutProgramsAndMirrorsTheMenu)
{
    setSchemes({ { { u"A"_s, 0.5 }, { u"B"_s, 0.4 }, { u"C"_s, 0.2 } } });
    ASSERT_TRUE(settings.WriteIni(u"Configuration"_s, u"Number of progs "_s, 2).ok());
    frm.onTrayMessage(MainFrm::RightUp);
    frm.RunProgramsInList->click();
    EXPECT_TRUE(frm.PopupRunProgramsInList->isChecked());
    EXPECT_TRUE(frm.startListGate().RunProgramsInList());
    frm.PopupRunProgramsInList->trigger();
    EXPECT_FALSE(frm.RunProgramsInList->isChecked());
    frm.PopupRunProgramsInList->trigger();
    EXPECT_TRUE(frm.RunProgramsInList->isChecked());

    ASSERT_TRUE(settings.WriteIni(u"Configuration"_s, u"Number of progs "_s, 0).ok());
    frm.onActivated();
    for (bool state : { frm.RunProgramsInList->isChecked(), frm.RunProgramsInList->isEnabled(),
             frm.PopupRunProgramsInList->isChecked(), frm.PopupRunProgramsInList->isEnabled() })
        EXPECT_FALSE(state);
    EXPECT_FALSE(frm.startListGate().RunProgramsInList());
}

TEST_F(MainFrmTest, ExitLogsTheRunningCallBeforeTheIconGoes)
{
    setSchemes({ { { u"A"_s, 1.0 }, { QString(), 0 }, { QString(), 0 } } });
    sounds.RegisterSoundEvents();
    registry.SetKeyValue(EventSounds::eventKey(u"Close"_s), QString(), u"close.wav"_s, RootKey::HKEY_USERS);
    state.meter.GlblOnline = 1;
    meter.startCall(0);
    frm.switchTrayMenu();
    meter.dialStatus().show();
    clock.advanceMs(90'000);
    meter.dialStatus().onTick();
    ASSERT_TRUE(frm.trayIcon()->isVisible());
    // Online, the tooltip follows the task-bar window's caption: 90 s at 1 kr a minute.
    EXPECT_EQ(frm.trayIcon()->toolTip(), u"Pris: 1,50  Tid: 00:01:30"_s);
    // So does the menu's first item, for trays that show no tooltips.
    EXPECT_TRUE(frm.callFigureItem()->isVisible() && !frm.callFigureItem()->isEnabled());
    EXPECT_EQ(frm.callFigureItem()->text(), u"Pris: 1,50  Tid: 00:01:30"_s);

    std::optional<QByteArray> logWhenIconWent;
    QObject::connect(
        &frm, &MainFrm::trayIconRemoved, &frm, [&] { logWhenIconWent = test::contentsOf(callLog.path()); });
    frm.CloseProgram->trigger();

    ASSERT_TRUE(logWhenIconWent.has_value());
    EXPECT_EQ(logWhenIconWent->count('\n'), 1) << logWhenIconWent->constData();
    EXPECT_TRUE(logWhenIconWent->contains("A")) << logWhenIconWent->constData();
    EXPECT_EQ(player.played, QStringList({ u"close.wav"_s, folder.file(u"disconnect.wav"_s) }));
    EXPECT_FALSE(frm.trayIcon()->isVisible());
    EXPECT_FALSE(meter.dialStatus().isVisible());
    EXPECT_EQ(state.meter.GlblOnline, 0);
}

TEST_F(MainFrmTest, TheLoadPutsTheStoredChoicesInPlaceAndEndsHiddenInTheTray)
{
    setSchemes({ { { u"A"_s, 0.5 }, { u"B"_s, 0.25 }, { QString(), 0 } } });
    for (const auto& [key, value] : { std::pair { u"First run?"_s, 0 }, { u"TaskbarType"_s, 3 },
             { u"Run progs "_s, 1 }, { u"Number of progs "_s, 1 } })
        ASSERT_TRUE(settings.WriteIni(u"Configuration"_s, key, value).ok());
    frm.show();
    frm.load(clock.now().date(), true);

    EXPECT_EQ(meter.dialStatus().taskbarFigure(), 3);
    EXPECT_TRUE(frm.RunProgramsInList->isChecked() && frm.PopupRunProgramsInList->isChecked());
    EXPECT_EQ(frm.CmdDial[1]->text(), u"B (0,25)"_s);
    EXPECT_TRUE(frm.trayIcon()->isVisible() && frm.PopupDial[0]->isVisible());
    EXPECT_FALSE(frm.isVisible());
    EXPECT_TRUE(prompter.shown().isEmpty());

    // The help menu stands at the right end of the menu bar.
    frm.PopupShowMain->trigger();
    const QWidget* helpBar = frm.menuBar()->cornerWidget(Qt::TopRightCorner);
    ASSERT_TRUE(helpBar && helpBar->actions().contains(frm.Help->menuAction()));
    EXPECT_EQ(helpBar->mapTo(&frm, helpBar->rect().topRight()).x(), frm.menuBar()->geometry().right());
    // Minimising hides the window, which the icon brings back.
    frm.setWindowState(Qt::WindowMinimized);
    EXPECT_FALSE(frm.isVisible());
    // The about box names the version built.
    frm.ShowAbout->trigger();
    const auto* about = frm.findChild<About*>();
    ASSERT_TRUE(about && about->isVisible());
    EXPECT_TRUE(about->findChild<QLabel*>(u"Version"_s)->text().contains(QStringLiteral(RINGTALLY_VERSION)));
}

TEST_F(MainFrmTest, AClickTogglesTheStatusWindowAndStoresWhereItStands)
{
    DialStatus& status = meter.dialStatus();
    status.move(30, 45);
    for (const bool shown : { true, false }) {
        frm.onTrayMessage(MainFrm::LeftUp);
        EXPECT_EQ(status.isVisible(), shown);
    }
    EXPECT_EQ(settings.readInt16(u"Configuration"_s, u"Dialstat Left Cord"_s, 0), 450);
    EXPECT_EQ(settings.readInt16(u"Configuration"_s, u"Dialstat Top Cord"_s, 0), 675);
}

TEST_F(MainFrmTest, WithoutATrayTheMainWindowShowsInstead)
{
    MainFrm second { state, settings, danish, strings, prompter, sounds, ras, desktop, config, folder };
    second.AddTrayIcon(false);
    EXPECT_TRUE(second.isVisible());
    EXPECT_EQ(second.trayIcon(), nullptr);
    // With no icon to bring it back, minimising and "Skjul vindue" leave the window on the task
    // bar; the menu offers the exit, and the close box asks whether to end the program.
    second.setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(second.isVisible());
    second.showNormal();
    second.hideButton->click();
    EXPECT_TRUE(second.isVisible() && second.isMinimized());
    EXPECT_TRUE(second.ExitProgram->isVisible());
    prompter.answerNext(PromptAnswer::No);
    second.close();
    EXPECT_TRUE(second.isVisible() && !second.exiting());
    // When no tray has come in the first minutes, a notice says why, without holding the program up.
    second.showNoTrayNotice();
    const auto* notice = second.findChild<QMessageBox*>(u"NoTrayNotice"_s);
    ASSERT_TRUE(notice && notice->isVisible());
    EXPECT_FALSE(notice->isModal());
    // A tray that comes later takes the icon, and the window behaves as with a tray from the start.
    second.trayAppeared();
    ASSERT_TRUE(second.trayIcon() && second.trayIcon()->isVisible());
    EXPECT_FALSE(second.ExitProgram->isVisible());
    second.close();
    EXPECT_FALSE(second.isVisible() || second.exiting());
    second.PopupShowMain->trigger();
    second.ExitProgram->trigger();
    EXPECT_TRUE(second.exiting());
    // With a tray the close box hides the window to it, and the exit stays in the tray's menu.
    frm.show();
    frm.close();
    EXPECT_FALSE(frm.isVisible());
    EXPECT_FALSE(frm.ExitProgram->isVisible());

    // Every menu bar item has room in either language: none hides behind an extension button.
    for (const quint8 language : { 0, 1 }) {
        state.settings.Language = language;
        MainFrm shown { state, settings, danish, strings, prompter, sounds, ras, desktop, config, folder };
        shown.show();
        const auto* extension = shown.menuBar()->findChild<QToolButton*>();
        EXPECT_FALSE(extension && extension->isVisible()) << "language " << int(language);
    }
}

TEST_F(MainFrmTest, TwoActivationsWithinTheDoubleClickIntervalAreADoubleClick)
{
    // A StatusNotifier host sends an activation per click. The double-click action here shows the
    // main window.
    state.settings.DoubleClickAction = -1;
    DialStatus& status = meter.dialStatus();
    const int interval = QApplication::doubleClickInterval();
    const auto restore = qScopeGuard([interval] { QApplication::setDoubleClickInterval(interval); });
    struct Case {
        int interval;
        QSystemTrayIcon::ActivationReason second;
        bool shown; // the status window and the main window
    };
    // Quick: the first click shows the status window, the second is the double click. An XEmbed
    // tray reports the double click itself after the first click's activation. Slow: two clicks,
    // which show the status window and hide it again.
    for (const Case& c : { Case { 3'600'000, QSystemTrayIcon::Trigger, true },
             Case { 3'600'000, QSystemTrayIcon::DoubleClick, true },
             Case { 0, QSystemTrayIcon::Trigger, false } }) {
        QApplication::setDoubleClickInterval(c.interval);
        frm.hide();
        status.hide();
        emit frm.trayIcon()->activated(QSystemTrayIcon::Trigger);
        emit frm.trayIcon()->activated(c.second);
        EXPECT_EQ(status.isVisible(), c.shown) << c.interval << c.second;
        EXPECT_EQ(frm.isVisible(), c.shown) << c.interval << c.second;
    }
}

TEST_F(MainFrmTest, ThePriceInTheIconTakesFourCharactersAtMostAndFillsTheIcon)
{
    const std::array<std::pair<qint64, QString>, 7> cases { { { 0, u"0,00"_s }, { 999, u"9,99"_s },
        { 1000, u"10,0"_s }, { 9999, u"99,9"_s }, { 10'000, u"100"_s }, { 999'999, u"9999"_s },
        { 1'234'567, u"12k"_s } } };
    for (const auto& [cents, text] : cases)
        EXPECT_EQ(PriceIcon::text(cents, danish), text) << cents;
    // At 22 px the widest text's white digits span most of the icon's width and are at least
    // 7 px high.
    const QImage image = PriceIcon::draw(u"9,99"_s).pixmap(22, 22).toImage();
    ASSERT_EQ(image.width(), 22);
    int left = 22, right = -1, top = 22, bottom = -1;
    for (int y = 0; y < 22; ++y) {
        for (int x = 0; x < 22; ++x) {
            if (qGray(image.pixel(x, y)) > 200 && qAlpha(image.pixel(x, y)) > 200) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
        }
    }
    EXPECT_GE(right - left + 1, 16);
    EXPECT_GE(bottom - top + 1, 7);

    // Chosen on the "Diverse" page, the icon shows the call's price from the first tick.
    setSchemes({ { { u"A"_s, 1.0 }, { QString(), 0 }, { QString(), 0 } } });
    ASSERT_TRUE(settings.WriteIni(u"Configuration"_s, u"Price in icon"_s, 1).ok());
    state.meter.GlblOnline = 1;
    meter.startCall(0);
    frm.switchTrayMenu();
    clock.advanceMs(90'000);
    meter.dialStatus().onTick();
    EXPECT_EQ(
        frm.trayIcon()->icon().pixmap(22, 22).toImage(), PriceIcon::draw(u"1,50"_s).pixmap(22, 22).toImage());
}

TEST_F(MainFrmTest, HelpAndTheLogViewerSayWhenTheyAreNotInstalled)
{
    XdgDesktop xdg;
    MainFrm second { state, settings, danish, strings, prompter, sounds, ras, xdg, config, folder };
    for (QAction* command :
        { second.MenuShowLog, second.PopupShowLog, second.ShowHelpIndex, second.PopupShowHelpIndex }) {
        prompter.answerNext(PromptAnswer::Ok);
        command->trigger();
    }
    ASSERT_EQ(prompter.shown().size(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(prompter.shown()[i].text.endsWith(u" is not installed."_s)
            && prompter.shown()[i].text.startsWith(i < 2 ? u"Log-fremviseren"_s : u"Hjælpen"_s))
            << prompter.shown()[i].text.toStdString();
}

} // namespace
} // namespace ringtally
