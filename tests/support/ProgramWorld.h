#pragma once

#include "core/NumberFormat.h"
#include "core/ProfileFile.h"
#include "core/ProgramFolder.h"
#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "dialing/Dialup.h"
#include "launcher/StartList.h"
#include "launcher/WindowTitles.h"
#include "localisation/StringTable.h"
#include "metering/CallCheckpoint.h"
#include "metering/CallLog.h"
#include "metering/DialStatus.h"
#include "metering/MeterWindows.h"
#include "platform/Desktop.h"
#include "platform/DialControl.h"
#include "tray/CallOwner.h"
#include "tray/ConfigWindow.h"
#include "tray/ConnectionWatch.h"
#include "tray/EventSounds.h"
#include "tray/FileRegistry.h"
#include "tray/MainFrm.h"
#include "tray/RasServices.h"
#include "tray/RegistryRoutines.h"
#include "tray/SelectDUN.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDialUpNetwork.h"
#include "fakes/FakeKeyState.h"
#include "fakes/FakeProcessStarter.h"
#include "fakes/FakeSoundPlayer.h"
#include "fakes/FakeWindowList.h"
#include "support/TempFolder.h"

#include <functional>
#include <optional>

namespace ringtally::test {

/// A clock whose waits let the test act from inside them, as a user does while the program waits.
class WaitingClock : public FakeClock {
public:
    using FakeClock::FakeClock;
    void runEventsFor(int ms) override
    {
        if (duringWait)
            duringWait();
        FakeClock::runEventsFor(ms);
    }
    std::function<void()> duringWait;
};

/// A dial control whose dial the test connects or fails, and whose hang-up takes its time, as pppd
/// does: it goes on for hangUpMs after it was told to end, and refuses a new dial meanwhile.
class SlowDialControl : public DialControl {
public:
    SlowDialControl(const Clock& clock, FakeDialUpNetwork& network) : clock_(clock), network_(network) { }

    qint32 StartDial() override
    {
        if (ConnState() != RasConnState::Disconnected)
            return 633; // the modem is in use
        state_ = RasConnState::OpenPort;
        ++dials;
        hungUpAtDial.append(int(network_.hungUp().size()));
        return 0;
    }
    void HangUp() override
    {
        if (ConnState() != RasConnState::Disconnected && endsAtMs_ < 0)
            endsAtMs_ = clock_.steadyMs() + hangUpMs;
    }
    qint32 ConnState() const override
    {
        if (endsAtMs_ >= 0 && clock_.steadyMs() >= endsAtMs_) {
            endsAtMs_ = -1;
            state_ = RasConnState::Disconnected;
        }
        return state_;
    }
    /// The dial reaches the line, which the system then reports up.
    void connectLine()
    {
        if (ConnState() != RasConnState::OpenPort || endsAtMs_ >= 0)
            return;
        state_ = RasConnState::Connected;
        network_.setConnections({ { 1, EntryName() } });
        emit statusChanged(RasConnState::Connected, 0);
    }
    /// The dial ends with an error (676: the line is busy).
    void fail(qint32 error)
    {
        if (ConnState() != RasConnState::OpenPort || endsAtMs_ >= 0)
            return;
        state_ = RasConnState::Disconnected;
        emit statusChanged(RasConnState::Disconnected, error);
    }
    /// The line drops by itself; pppd ends with it.
    void drop()
    {
        network_.setConnections({});
        if (ConnState() == RasConnState::Connected)
            state_ = RasConnState::Disconnected;
    }

    int hangUpMs = 2500;
    int dials = 0;
    QList<int> hungUpAtDial; // the lines hung up before each dial

private:
    const Clock& clock_;
    FakeDialUpNetwork& network_;
    mutable qint32 state_ = RasConnState::Disconnected;
    mutable qint64 endsAtMs_ = -1;
};

/// A start list's starter that tells whether it started a program for a call that had ended.
class CheckingStarter : public FakeProcessStarter {
public:
    std::optional<StartFailure> start(const QString& commandLine, int showState) override
    {
        if (state && state->meter.phase != CallPhase::Dialing && state->meter.phase != CallPhase::Connected)
            ++startedOutsideACall;
        hungUpAtStart.append(int(network.hungUp().size()));
        return FakeProcessStarter::start(commandLine, showState);
    }
    explicit CheckingStarter(const FakeDialUpNetwork& network) : network(network) { }
    const FakeDialUpNetwork& network;
    const ProgramState* state = nullptr;
    int startedOutsideACall = 0;
    QList<int> hungUpAtStart; // the lines hung up before each start
};

/// The disk and the outside world of the program: the folder with its files, the clock, the line,
/// the keys and the windows of other programs. They outlive the program, which can be killed and
/// started again over them.
struct Outside {
    TempFolder temp;
    ProgramFolder folder { temp.file(QStringLiteral("ringtally")) };
    NumberFormat danish { QLocale(QLocale::Danish, QLocale::Denmark) };
    WaitingClock clock;
    FakeDialUpNetwork network;
    FakeKeyState keys;
    FakeWindowList windows;
    CheckingStarter starter { network };
    FakeSoundPlayer player;
    SlowDialControl control { clock, network };
};

/// The whole program as the composition root puts it together, over the outside world and a
/// prompter the test supplies. The load at start-up runs, recovering an interrupted call.
class ProgramWorld {
public:
    ProgramWorld(Outside& outside, Prompter& prompter) : o(outside), prompter(prompter)
    {
        o.starter.state = &state;
        frm.setMeterWindows(&meter);
        frm.setStartList(&startList);
        frm.setCallOwner(&owner);
        frm.setDialWindow(&dialup);
        owner.attach(&meter, &dialup, &startList);
        frm.setWatch(&watch, &selection);
        ras.setWatchTimer(&watch.KeyBoardDetect);
        frm.load(o.clock.now().date(), true);
    }
    ~ProgramWorld() { o.starter.state = nullptr; }

    struct NoDesktop : Desktop {
        Status open(const QString&) override { return Status::success(); }
    };
    struct NoConfigWindow : ConfigWindow {
        void showConfig(QWidget*) override { }
        void unload() override { }
    };

    Outside& o;
    Prompter& prompter;
    ProfileFile profile { o.folder.settingsFile() };
    SettingsFile settings { profile, o.danish };
    // Loaded before the windows are made, which take their language from it.
    ProgramState state { [this] {
        ProgramState loaded;
        settings.LoadSettings(loaded.settings);
        return loaded;
    }() };
    const StringTable strings = StringTable::english();
    CallLog log { o.folder.file(QStringLiteral("Ringtally.log")) };
    CallCheckpointFile checkpoint { o.folder.file(QStringLiteral("Ringtally.call")) };
    FileRegistry store { o.folder.file(QString::fromUtf16(FileRegistry::kFileName)) };
    RegistryRoutines registry { store, prompter };
    EventSounds sounds { registry, o.player, o.folder };
    RasServices ras { o.network, o.clock };
    WindowTitles titles { o.windows };
    NoDesktop desktop;
    NoConfigWindow config;
    CallOwner owner { state, settings, ras, o.clock, prompter, sounds };
    MainFrm frm { state, settings, o.danish, strings, prompter, sounds, ras, desktop, config, o.folder };
    StartList startList { settings, state, o.starter, titles, o.clock, prompter, sounds,
        frm.startListGate() };
    MeterWindows meter { state, settings, log, checkpoint, o.clock, prompter, strings, o.danish, frm };
    Dialup dialup { state, settings, o.control, o.network, frm, prompter, o.clock, strings };
    SelectDUN selection { state, settings, ras, frm.startListGate(), frm, prompter, strings };
    ConnectionWatch watch { state, settings, ras, titles, o.keys, frm, frm };
};

} // namespace ringtally::test
