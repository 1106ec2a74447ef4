#pragma once

#include <QString>

namespace ringtally {

/// What the dial window asks of the rest of the program: the system's connections, sounds, the
/// start list, and the status window with its meter and its call end. The main window supplies
/// them.
class DialupServices {
public:
    virtual ~DialupServices() = default;

    /// Hangs up every dial-up connection of the system and waits for the line to drop and the
    /// dial control to end.
    virtual void HangUpAll() = 0;
    /// Whether the system reports a dial-up connection as up.
    virtual bool IsOnline() const = 0;
    /// Plays a sound event ("Connect", "Error").
    virtual void playEventSound(const QString& event) = 0;
    /// Runs the start list's pass for the moment: connected false, the programs started when
    /// dialing; true, those started once connected. force runs it also when the user switched the
    /// start list off.
    virtual void RunStartList(bool connected, bool force) = 0;
    /// Ends the running call, logged or not.
    virtual void hangUp(bool log) = 0;
    /// The dial has reached the line: the call is charged from now on.
    virtual void dialConnected() = 0;
    /// The dial window dials again: the call is a dial again.
    virtual void dialingAgain() = 0;
    /// The number of the running (or last) call.
    virtual quint64 currentCall() const = 0;
    /// Whether that call still runs, dialing or connected.
    virtual bool callRunning(quint64 call) const = 0;
    /// Starts the status window's meter timer.
    virtual void startMeterTimer() = 0;
    /// Stops the status window's meter timer; the figures stand still.
    virtual void stopMeterTimer() = 0;
    /// The status window's caption becomes caption.
    virtual void setStatusCaption(const QString& caption) = 0;
};

} // namespace ringtally
