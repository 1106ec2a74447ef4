#include "tray/ConnectionWatch.h"

#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "launcher/WindowTitles.h"
#include "tray/Dialer.h"
#include "tray/RasServices.h"
#include "tray/WatchServices.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDialUpNetwork.h"
#include "fakes/FakeKeyState.h"
#include "fakes/FakeWindowList.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;
using namespace test;

// The watch with the schemes A, B and C, among windows that the fixture plays: Dial as the main
// window does it (a dialed call shows the dial window, a live line is metered at once), and the
// hang-ups end the call. Whatever the watch sets off lands in one list, in order.
class WatchTest : public ::testing::Test, public Dialer, public WatchServices {
protected:
    WatchTest()
    {
        for (size_t j = 0; j < 3; ++j)
            state.settings.Schemes[j].Name = QString(QChar(char16_t(u'A' + j)));
    }
    void Dial(qint16 scheme, bool alreadyOnline, quint8 startPrograms) override
    {
        if (whileDialing)
            whileDialing();
        events.append(u"Dial %1 %2 %3"_s.arg(scheme).arg(int(alreadyOnline)).arg(startPrograms));
        state.meter.GlblOnline = 1;
        state.meter.CurrentScheme = scheme;
        dialWindow = !alreadyOnline;
    }
    bool splashVisible() const override { return splash; }
    bool dialWindowVisible() const override { return dialWindow; }
    void PopupHangup_Click() override { LaegPaa(u"by the menu"_s); }
    void LaegPaa(const QString& mode) override
    {
        events.append(u"LaegPaa "_s + mode);
        state.meter.GlblOnline = 0;
    }
    void showSelectionWindow() override { events.append(u"Select"_s); }

    // Appends an entry to a list in the settings file; its fields are A, B, C, ... in order.
    void add(const QString& section, qint16& count, const QStringList& fields)
    {
        ++count;
        for (qsizetype f = 0; f < fields.size(); ++f)
            ASSERT_TRUE(
                settings.WriteIni(section, u"%1%2"_s.arg(count).arg(QChar(char16_t(u'A' + f))), fields[f])
                    .ok());
    }
    void addAutoConnect(const QStringList& fields)
    {
        add(u"AutoConnect"_s, state.settings.AutoConnectCount, fields);
    }
    void addAutolog(const QStringList& fields) { add(u"Autolog"_s, state.settings.NumberOfDUN, fields); }
    void openWindows(const QStringList& titles)
    {
        windows.windows.clear();
        for (const QString& title : titles)
            windows.windows.append({ WindowId(windows.windows.size() + 1), title });
    }
    void lineUp(const QString& name) { network.setConnections({ { 1, name } }); }
    // A fresh start between the cases of a table: offline, no lists, no windows, no line.
    void reset()
    {
        state.meter.GlblOnline = 0;
        state.settings.AutoConnectCount = state.settings.NumberOfDUN = 0;
        dialWindow = false;
        windows.failure.reset();
        openWindows({});
        network.setConnections({});
        watch.callEnded();
    }
    QStringList tick(int times = 1)
    {
        events.clear();
        for (int n = 0; n < times; ++n)
            watch.KeyBoardDetect_Timer();
        return events;
    }

    bool splash = false;
    bool dialWindow = false;
    std::function<void()> whileDialing;
    QStringList events;
    TempFolder temp;
    NumberFormat danish { QLocale(QLocale::Danish, QLocale::Denmark) };
    ProfileFile profile { temp.file(u"Ringtally.ini"_s) };
    SettingsFile settings { profile, danish };
    ProgramState state;
    FakeClock clock;
    FakeDialUpNetwork network;
    RasServices ras { network, clock };
    FakeWindowList windows;
    WindowTitles titles { windows };
    FakeKeyState keys;
    ConnectionWatch watch { state, settings, ras, titles, keys, *this, *this };
};

TEST_F(WatchTest, HotkeysDialOfflineAndHangUpWhileMetering)
{
    struct Case {
        std::vector<int> held; // F-keys held with Ctrl (and Shift, if shift)
        bool shift;
        std::array<qint16, 3> shortcuts;
        quint8 online; // a call of scheme 0 is metered
        bool dialWindow;
        QString expected;
    };
    const Case cases[] = {
        { { 5 }, true, { 0, 5, 0 }, 0, false, u"Dial 1 0 0"_s },
        { { 5 }, true, { 0, 5, 0 }, 1, false, u"LaegPaa by the menu"_s }, // any scheme's key hangs up
        { { 5 }, true, { 0, 5, 0 }, 0, true, {} }, { { 5 }, true, { 0, 5, 0 }, 1, true, {} },
        { { 5 }, false, { 0, 5, 0 }, 0, false, {} }, { { 6 }, true, { 0, 5, 0 }, 0, false, {} },
        { { 3, 7 }, true, { 3, 7, 0 }, 0, false, u"Dial 1 0 0"_s }, // the highest F-key wins
        { { 4 }, true, { 0, 4, 4 }, 0, false, u"Dial 1 0 0"_s }, // one key, two schemes: the lower
    };
    for (const Case& c : cases) {
        keys.down = {};
        tick(); // every case starts with its keys pressed afresh
        reset();
        keys.holdHotkey(c.held);
        keys.down.shift = c.shift;
        state.settings.KeyboardShortcut = c.shortcuts;
        state.meter.GlblOnline = c.online;
        state.meter.CurrentScheme = 0;
        dialWindow = c.dialWindow;
        EXPECT_EQ(tick().join(u", "), c.expected)
            << c.held.back() << int(c.online) << c.dialWindow << c.shift;
    }
}

TEST_F(WatchTest, AHeldHotkeyActsOnceUntilReleased)
{
    state.settings.KeyboardShortcut = { 5, 0, 0 };
    keys.holdHotkey({ 5 });
    EXPECT_EQ(tick(), QStringList { u"Dial 0 0 0"_s });
    dialWindow = false; // connected, the dial window gone, the key still held
    EXPECT_EQ(tick(), QStringList());
    keys.down = {};
    EXPECT_EQ(tick(), QStringList());
    keys.holdHotkey({ 5 });
    EXPECT_EQ(tick(), QStringList { u"LaegPaa by the menu"_s });
}

TEST_F(WatchTest, AutoConnectDialsOrMetersWhenItsWindowIsOpen)
{
    const std::array<QString, 3> cases[] = {
        // entry A|B|C|D|E, window, expected
        { u"netscape|B|1|0|1"_s, u"Netscape Navigator"_s, u"Dial 1 0 1"_s },
        { u"netscape|B|0|0|0"_s, u"Netscape Navigator"_s, u"Dial 1 1 0"_s },
        { u"netscape|B|||"_s, u"Netscape Navigator"_s, u"Dial 1 1 0"_s }, // empty fields count as 0
        { u"netscape|B|ja|0|0"_s, u"Netscape Navigator"_s, u"Dial 1 1 0"_s },
        { u"netscape|B|1|0|1"_s, u"Mail"_s, {} },
        { u"netscape|X|1|0|1"_s, u"Netscape Navigator"_s, {} }, // no scheme X
        { u"|B|1|0|1"_s, u"Netscape Navigator"_s, {} }, // an empty text watches nothing
    };
    for (const auto& [entry, window, expected] : cases) {
        reset();
        addAutoConnect(entry.split(u'|'));
        openWindows({ window });
        EXPECT_EQ(tick().join(u", "), expected) << entry.toStdString() << " " << window.toStdString();
    }
}

TEST_F(WatchTest, OnceACallStartsTheRestOfTheTickLeavesItAlone)
{
    // Both windows are open and the live line is in no autolog entry: metering starts once,
    // without a second call or the selection window.
    addAutoConnect({ u"Mail"_s, u"A"_s, u"0"_s, u"0"_s, u"0"_s });
    addAutoConnect({ u"News"_s, u"B"_s, u"1"_s, u"0"_s, u"0"_s });
    openWindows({ u"Mail"_s, u"News"_s });
    lineUp(u"Net"_s);
    EXPECT_EQ(tick(), QStringList { u"Dial 0 1 0"_s });
}

TEST_F(WatchTest, AnAutoConnectCallEndsWhenItsWindowGoes)
{
    enum After { Closed, StillOpen, ListingFails };
    const std::tuple<QString, After, QString> cases[] = {
        // field D, then the window, expected
        { u"1"_s, Closed, u"LaegPaa Log"_s },
        { u"1"_s, StillOpen, {} },
        { u"1"_s, ListingFails, {} }, // not known to have gone
        { u"0"_s, Closed, {} },
        { u""_s, Closed, {} },
    };
    for (const auto& [d, after, expected] : cases) {
        reset();
        addAutoConnect({ u"Mail"_s, u"B"_s, u"0"_s, d, u"0"_s });
        openWindows({ u"Mail - Inbox"_s });
        ASSERT_EQ(tick(), QStringList { u"Dial 1 1 0"_s });
        if (after == Closed)
            openWindows({ u"Terminal"_s });
        if (after == ListingFails)
            windows.failure = u"no display"_s;
        EXPECT_EQ(tick().join(u", "), expected) << d.toStdString() << " " << after;
    }
}

TEST_F(WatchTest, AnAutoConnectHangUpIsDisarmedWhenTheCallEnds)
{
    for (const bool ended : { true, false }) {
        reset();
        addAutoConnect({ u"Mail"_s, u"B"_s, u"0"_s, u"1"_s, u"0"_s });
        openWindows({ u"Mail"_s });
        tick(); // metered with scheme B; its window is seen, so its end will hang up
        state.meter.GlblOnline = 0; // the user hangs up
        if (ended)
            watch.callEnded();
        openWindows({});
        state.meter.GlblOnline = 1; // a later call with scheme B, dialed by hand, connects
        state.meter.CurrentScheme = 1;
        EXPECT_EQ(tick(), ended ? QStringList() : QStringList { u"LaegPaa Log"_s }) << ended;
    }
}

TEST_F(WatchTest, AutologMetersListedConnectionsAndAsksForOthers)
{
    const std::pair<std::optional<QString>, QString> cases[] = {
        // the line, what two ticks do
        { u"Net"_s, u"Dial 1 1 1"_s }, // the first of two entries for Net
        { u"Work"_s, {} }, // never logged
        { u"Other"_s, u"Select, Select"_s }, // asked every tick until answered
        { std::nullopt, {} },
    };
    for (const auto& [line, expected] : cases) {
        reset();
        addAutolog({ u"Net"_s, u"B"_s, u"1"_s });
        addAutolog({ u"Net"_s, u"C"_s, u"0"_s });
        addAutolog({ u"Work"_s, u" --- "_s, u"0"_s });
        if (line)
            lineUp(*line);
        EXPECT_EQ(tick(2).join(u", "), expected) << line.value_or(u"offline"_s).toStdString();
    }
}

TEST_F(WatchTest, ASwitchedOffSchemeIsNeverDialed)
{
    state.settings.Schemes[1].Name.clear();
    state.settings.KeyboardShortcut = { 0, 5, 0 };
    keys.holdHotkey({ 5 });
    addAutoConnect({ u"Mail"_s, QString(), u"1"_s, u"0"_s, u"0"_s });
    openWindows({ u"Mail"_s });
    EXPECT_EQ(tick(), QStringList());
}

TEST_F(WatchTest, NothingHappensWhileTheSplashIsVisible)
{
    lineUp(u"Net"_s);
    state.settings.KeyboardShortcut = { 1, 0, 0 };
    keys.holdHotkey({ 1 });
    splash = true;
    EXPECT_EQ(tick(), QStringList());
    splash = false;
    EXPECT_EQ(tick(), (QStringList { u"Select"_s, u"Dial 0 0 0"_s }));
}

TEST_F(WatchTest, ATickInsideDialDoesNothing)
{
    // Dial's message box runs the timer inside it, before the call has started.
    int nested = 0;
    whileDialing = [&] {
        if (nested++ == 0)
            watch.KeyBoardDetect_Timer();
    };
    state.settings.KeyboardShortcut = { 1, 0, 0 };
    keys.holdHotkey({ 1 });
    EXPECT_EQ(tick(), QStringList { u"Dial 0 0 0"_s });
    EXPECT_EQ(nested, 1);
}

} // namespace
} // namespace ringtally
