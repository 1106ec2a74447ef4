#include "tray/ConnectionWatch.h"

#include "support/WatchWorld.h"

#include <gtest/gtest.h>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;
using namespace test;

class WatchTest : public ::testing::Test, public WatchWorld { };

TEST_F(WatchTest, HotkeysDialOfflineAndHangUpWhileMetering)
{
    // F-keys held with Ctrl, Shift held, shortcuts, a call of scheme 0 metered, dial window shown, expected
    const std::tuple<std::vector<int>, bool, std::array<qint16, 3>, quint8, bool, QString> cases[] = {
        { { 5 }, true, { 0, 5, 0 }, 0, false, u"Dial 1 0 0"_s },
        { { 5 }, true, { 0, 5, 0 }, 1, false, u"hangUp 1"_s }, // any scheme's key hangs up
        { { 5 }, true, { 0, 5, 0 }, 0, true, {} }, { { 5 }, true, { 0, 5, 0 }, 1, true, {} },
        { { 5 }, false, { 0, 5, 0 }, 0, false, {} }, { { 6 }, true, { 0, 5, 0 }, 0, false, {} },
        { { 3, 7 }, true, { 3, 7, 0 }, 0, false, u"Dial 1 0 0"_s }, // the highest F-key wins
        { { 4 }, true, { 4, 4, 0 }, 0, false, u"Dial 0 0 0"_s }, // one key, two schemes: the lower
        { { 9 }, true, { 0, 0, 9 }, 0, false, {} }, // the switched-off scheme's key, offline
        { { 9 }, true, { 0, 0, 9 }, 1, false, u"hangUp 1"_s }, // yet hangs up, as any scheme's key
    };
    for (const auto& [held, shift, shortcuts, online, dialWindowShown, expected] : cases) {
        reset();
        keys.holdHotkey(held);
        keys.down.shift = shift;
        state.settings.KeyboardShortcut = shortcuts;
        setOnline(online != 0);
        dialWindow = dialWindowShown;
        EXPECT_EQ(tick().join(u", "), expected) << held.back() << int(online) << dialWindowShown << shift;
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
    EXPECT_EQ(tick(), QStringList { u"hangUp 1"_s });
}

TEST_F(WatchTest, AutoConnectDialsOrMetersWhenItsWindowIsOpen)
{
    const std::array<QString, 3> cases[] = {
        // entry A|B|C|D|E, window, expected
        { u"netscape|B|1|0|1"_s, u"Netscape Navigator"_s, u"Dial 1 0 1"_s },
        { u"netscape|B|0|0|0"_s, u"Netscape Navigator"_s, u"Dial 1 1 0"_s },
        { u"netscape|B|||"_s, u"Netscape Navigator"_s, u"Dial 1 1 0"_s }, // empty fields count as 0
        { u"netscape|B|1|0|1"_s, u"Mail"_s, {} },
        { u"netscape|X|1|0|1"_s, u"Netscape Navigator"_s, {} }, // no scheme X
        { u"netscape||1|0|1"_s, u"Netscape Navigator"_s, {} }, // nor the switched-off one
        { u"|B|1|0|1"_s, u"Netscape Navigator"_s, {} }, // an empty text watches nothing
    };
    for (const auto& [entry, window, expected] : cases) {
        reset();
        add(WatchKeys::AutoConnect, entry);
        openWindows({ window });
        EXPECT_EQ(tick().join(u", "), expected) << entry.toStdString() << " " << window.toStdString();
    }
}

TEST_F(WatchTest, OnceACallStartsTheRestOfTheTickLeavesItAlone)
{
    // Both windows are open and the line is in no autolog entry: one call, and no selection window.
    add(WatchKeys::AutoConnect, u"Mail|A|0|0|0"_s);
    add(WatchKeys::AutoConnect, u"News|B|1|0|0"_s);
    openWindows({ u"Mail"_s, u"News"_s });
    lineUp(u"Net"_s);
    EXPECT_EQ(tick(), QStringList { u"Dial 0 1 0"_s });
}

TEST_F(WatchTest, AnAutoConnectCallEndsWhenItsWindowGoesAndOnlyThatCall)
{
    enum After { Closed, StillOpen, ListingFails, CallEnded };
    const std::tuple<QString, After, QString> cases[] = {
        // field D, then, expected
        { u"1"_s, Closed, u"hangUp 1"_s },
        { u"1"_s, StillOpen, {} },
        { u"1"_s, ListingFails, {} }, // not known to have gone
        { u"0"_s, Closed, {} },
        // The call ended, the window closed, and a later call of the same scheme, dialed by hand, is up.
        { u"1"_s, CallEnded, {} },
    };
    for (const auto& [d, after, expected] : cases) {
        reset();
        add(WatchKeys::AutoConnect, u"Mail|B|0|%1|0"_s.arg(d));
        openWindows({ u"Mail - Inbox"_s });
        ASSERT_EQ(tick(), QStringList { u"Dial 1 1 0"_s });
        if (after == CallEnded)
            watch.callEnded();
        if (after == Closed || after == CallEnded)
            openWindows({ u"Terminal"_s });
        if (after == ListingFails)
            windows.failure = u"no display"_s;
        EXPECT_EQ(tick().join(u", "), expected) << d.toStdString() << " " << after;
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
        add(WatchKeys::Autolog, u"Net|B|1"_s);
        add(WatchKeys::Autolog, u"Net|A|0"_s);
        add(WatchKeys::Autolog, u"Work| --- |0"_s);
        if (line)
            lineUp(*line);
        EXPECT_EQ(tick(2).join(u", "), expected) << line.value_or(u"offline"_s).toStdString();
    }
}

TEST_F(WatchTest, NothingHappensWhileTheSplashIsVisibleOrACallEnds)
{
    lineUp(u"Net"_s);
    state.settings.KeyboardShortcut = { 1, 0, 0 };
    keys.holdHotkey({ 1 });
    splash = true;
    EXPECT_EQ(tick(), QStringList());
    splash = false;
    // The line of a call that is ending is still up until its hang-up has waited for it.
    state.meter.phase = CallPhase::Ending;
    EXPECT_EQ(tick(), QStringList());
    keys.down = {};
    tick();
    keys.holdHotkey({ 1 });
    state.meter.phase = CallPhase::Idle;
    EXPECT_EQ(tick(), (QStringList { u"Select"_s, u"Dial 0 0 0"_s }));
}

TEST_F(WatchTest, ATickInsideDialDoesNothing)
{
    // Dial's message box runs the timer inside it, before the call has started.
    int nested = 0;
    whileDialing = [&] {
        if (nested++ == 0)
            watch.onWatchTick();
    };
    add(WatchKeys::AutoConnect, u"Mail|A|1|0|0"_s); // a held hotkey would not act twice anyway
    openWindows({ u"Mail"_s });
    EXPECT_EQ(tick(), QStringList { u"Dial 0 0 0"_s });
    EXPECT_EQ(nested, 1);
}

} // namespace
} // namespace ringtally
