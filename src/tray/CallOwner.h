#pragma once

#include "core/ProgramState.h"
#include "platform/Prompter.h"
#include "tray/Dialer.h"

#include <QObject>

#include <optional>
#include <vector>

namespace ringtally {

class Clock;
class Dialup;
class EventSounds;
class MeterWindows;
class Prompter;
class RasServices;
class SettingsFile;
class StartList;

/// The one owner of a call's life. Every door into a call (the dial buttons and the tray menu,
/// the hotkeys, auto-connect and autolog, the selection window, the dial window, the outside
/// control, the exit) asks it, and it moves the call through its phases: idle, dialing, connected,
/// ending. A door that does not fit the phase is refused. The phase changes before anything
/// waits: the start list's pauses and the wait for the line to drop run events, and a door opened
/// in them finds the door shut, while the steps after a wait look whether their call still runs.
/// The connection watch stands still while a call ends, and a box that only informs comes once
/// the call is over. Nothing else starts or ends the meter.
class CallOwner : public QObject, public Dialer {
    Q_OBJECT

public:
    /// How long the exit waits for the line and the dial to end: the program ends soon whatever
    /// the modem does.
    static constexpr int kExitWaitSeconds = 1;

    CallOwner(ProgramState& state, SettingsFile& settings, RasServices& ras, Clock& clock, Prompter& prompter,
        EventSounds& sounds);

    /// The windows and the start list the call's steps use; made after the owner.
    void attach(MeterWindows* meter, Dialup* dialup, StartList* startList);
    /// The words in front of the scheme's name in the status window's caption while it dials.
    void setDialingPrefix(const QString& prefix) { dialingPrefix_ = prefix; }

    CallPhase phase() const { return state_.meter.phase; }
    /// The number of the running (or last) call, counted from 1 since the program started.
    quint64 call() const { return call_; }
    /// Whether call is the one running, dialing or connected.
    bool running(quint64 call) const;

    /// Starts a call with scheme: dials it, or takes over the line another dialer brought up
    /// (alreadyOnline); startPrograms 1 runs the start list for a taken-over line even when its
    /// switch is off. Refused unless idle, for a scheme out of range, and for a line to take over
    /// that is down; a dial asked for while a call ends runs once it has ended.
    void Dial(qint16 scheme, bool alreadyOnline, quint8 startPrograms) override;
    /// Ends the running call, logged or not; refused (false) when no call runs. The meter stops,
    /// the call goes into the log when it connected and log is asked for, the windows go offline,
    /// then the lines are hung up with the watch held off, and the boxes come last.
    bool hangUp(bool log);
    /// The dial reached the line: from now the call is charged, logged and kept on disk.
    void dialConnected();
    /// The dial window dials again: the call is a dial again, its time from now.
    void dialingAgain();
    /// Hangs up every line and waits until they are down and the dial control has ended (at most
    /// limitSeconds), the watch held off meanwhile.
    void hangUpLines(int limitSeconds);
    /// The start list's pass for the running call; it stops when the call ends during its waits.
    void runStartList(bool connected, bool force);
    /// The exit's part: no door opens a call from now on; a running call is ended and logged, the
    /// lines waited for kExitWaitSeconds at most, and what could not be saved tried once more.
    void endForExit();

signals:
    /// A call has just started: the main window hides.
    void callStarted();
    /// A call has ended: whether it had connected, and whether its end asked for a log.
    void callEnded(quint64 call, bool connected, bool log);

private:
    bool dialRefused(qint16 scheme, bool alreadyOnline) const;
    void show(const std::vector<Prompt>& boxes);

    ProgramState& state_;
    SettingsFile& settings_;
    RasServices& ras_;
    Clock& clock_;
    Prompter& prompter_;
    EventSounds& sounds_;
    MeterWindows* meter_ = nullptr;
    Dialup* dialup_ = nullptr;
    StartList* startList_ = nullptr;
    QString dialingPrefix_ = QStringLiteral("Ringer op med:");
    quint64 call_ = 0;
    bool exiting_ = false;
    qint64 exitDeadlineMs_ = 0; // when the exit stops waiting for anything, on the steady clock
    struct AskedDial {
        qint16 scheme;
        quint8 startPrograms;
    };
    std::optional<AskedDial> asked_; // a dial asked for while a call ended
};

} // namespace ringtally
