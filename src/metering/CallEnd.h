#pragma once

#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "platform/Prompter.h"

#include <QString>

#include <vector>

namespace ringtally {

class CallLedger;
class Clock;

/// What ending a call asks of the windows and services around the meter. Each is one step of the
/// call end; an implementation ignores what it has nothing to do for.
class CallEndSteps {
public:
    virtual ~CallEndSteps() = default;

    /// Closes the start list's programs by their window titles (when they were started).
    virtual void closeStartedPrograms() = 0;
    /// Disables the status window's two hang-up menu items.
    virtual void disableHangUpItems() = 0;
    /// Stores the status window's position.
    virtual void storeStatusWindowPosition() = 0;
    /// Hides the task-bar window when it is visible.
    virtual void hideTaskbarWindow() = 0;
    /// Lets the floating window hide itself 5 seconds later when it is visible.
    virtual void startFloatingWindowHideTimer() = 0;
    /// Hides the dial window when it is visible.
    virtual void hideDialWindow() = 0;
    /// Tells the dial-up control to hang up.
    virtual void hangUpDialControl() = 0;
    /// Sets the status window's caption.
    virtual void setStatusCaption(const QString& caption) = 0;
    /// Puts the tray icon, its tooltip and its menu into the state GlblOnline asks for.
    virtual void switchTrayMenu() = 0;
    /// Stops the meter's timer and the dial window's line watch.
    virtual void stopTimers() = 0;
    /// Hides the status window.
    virtual void hideStatusWindow() = 0;
    /// Plays a sound event ("Disconnect", "Error").
    virtual void playEventSound(const QString& event) = 0;
};

/// How a call end went: whether it put its call into the log (or beside it), and the boxes that
/// say what went wrong, to be shown once the program is offline.
struct CallEndOutcome {
    bool logged = false;
    std::vector<Prompt> boxes;
};

/// Ends a metered call. A connected call ended with a log has its day and total counters taken
/// from the status window's texts and is closed into the ledger (its line logged, the counters
/// saved, its checkpoint removed); one ended without a log has its checkpoint dropped; a dial that
/// never connected is neither logged nor counted. Then the program's windows go offline. Shows no
/// box and waits for nothing: the call's owner does both once the call is over.
class CallEnd {
public:
    CallEnd(ProgramState& state, SettingsFile& settings, CallLedger& ledger, const Clock& clock,
        CallEndSteps& steps);

    /// Ends the running call, logging it when log is true and it connected; nothing while no call
    /// is metered (GlblOnline 0), so a call is never ended twice.
    CallEndOutcome end(bool log);
    /// Whether the last call end put its call into the log (or beside it); read by those told of
    /// the end while it goes offline.
    bool lastEndLogged() const { return lastEndLogged_; }
    /// What logging a call stores: today's date, and the day and total counters read from the
    /// status window's texts; a text that does not read as its figure leaves that figure as it was.
    /// Returns the figures that did not fit their 16-bit counter (which keeps its old value).
    [[nodiscard]] static std::vector<qint64> takeOverShownFigures(
        Settings& settings, const StatusTexts& texts, const NumberFormat& format, const QDate& today);

private:
    std::vector<Prompt> logCall(bool& logged);
    void goOffline();

    ProgramState& state_;
    SettingsFile& settings_;
    CallLedger& ledger_;
    const Clock& clock_;
    CallEndSteps& steps_;
    bool lastEndLogged_ = false;
};

} // namespace ringtally
