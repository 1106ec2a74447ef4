#pragma once

#include <QString>

#include <functional>

namespace ringtally {

class Clock;
class EventSounds;
class ProcessStarter;
class Prompter;
class SettingsFile;
class WindowTitles;
struct ProgramState;

/// Whether the start list runs when a call does not force it: the main window's check box
/// "RunProgramsInList" (and the tray menu item that mirrors it).
class StartListGate {
public:
    virtual ~StartListGate() = default;

    /// Whether the check box is ticked now.
    virtual bool RunProgramsInList() const = 0;
};

/// The start list: programs started around a call, some when dialing begins, others when the
/// connection is made, and closed again by their window titles when the call ends. Each pass
/// reads the list from the settings file afresh.
class StartList {
public:
    /// Seconds between two starts, so that each program is up before the next one comes.
    static constexpr float kSecondsBetweenStarts = 3;

    StartList(const SettingsFile& settings, ProgramState& state, ProcessStarter& starter,
        WindowTitles& titles, Clock& clock, Prompter& prompter, EventSounds& sounds,
        const StartListGate& gate);

    /// Starts the entries for the moment: connected false, those started when dialing; true,
    /// those started once connected. force runs the pass also when the gate is off. The pass
    /// stops at the first entry whose program already shows a window with its title, and as soon
    /// as stillWanted says no (the call ended during a wait between two starts).
    void RunStartList(bool connected, bool force, const std::function<bool()>& stillWanted = {});
    /// At call end, when a pass started anything in this call: asks every window whose title
    /// holds an entry's title line to close.
    void closeStartedPrograms();

private:
    int count() const;

    const SettingsFile& settings_;
    ProgramState& state_;
    ProcessStarter& starter_;
    WindowTitles& titles_;
    Clock& clock_;
    Prompter& prompter_;
    EventSounds& sounds_;
    const StartListGate& gate_;
};

} // namespace ringtally
