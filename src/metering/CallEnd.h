#pragma once

#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "metering/CallLog.h"

#include <QString>

#include <vector>

namespace ringtally {

class Clock;
class Prompter;

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
    virtual void SkiftPopupMenu() = 0;
    /// Stops the meter's timer and the dial window's line watch.
    virtual void stopTimers() = 0;
    /// Hides the status window.
    virtual void hideStatusWindow() = 0;
    /// Plays a sound event ("Disconnect", "Error").
    virtual void playEventSound(const QString& event) = 0;
    /// Hangs up every dial-up connection of the system.
    virtual void HangUpAll() = 0;
    /// Removes the call's checkpoint, so the next start does not bring the call back; a missing
    /// one is no failure.
    virtual Status removeCheckpoint() = 0;
};

/// Ends a metered call: with "Log" it stores the day and total counters from the status window's
/// texts, saves the settings and appends the call-end line; with or without logging it removes the
/// call's checkpoint, then puts the program into its offline state.
class CallEnd {
public:
    CallEnd(ProgramState& state, SettingsFile& settings, const CallLog& log, const Clock& clock,
        Prompter& prompter, CallEndSteps& steps);

    /// mode "Log" or "NoLog", any letter case; any other text does nothing. The meter stops first.
    /// "Log" stores and logs the call only while one is metered (GlblOnline 1), so a call is
    /// never counted twice; mode then becomes "NoLog". Either way the program goes offline.
    void LaegPaa(QString& mode);
    /// What logging a call stores: today's date, and the day and total counters read from the
    /// status window's texts; a text that does not read as its figure leaves that figure as it was.
    /// Returns the figures that did not fit their 16-bit counter (which keeps its old value).
    [[nodiscard]] static std::vector<qint64> takeOverShownFigures(
        Settings& settings, const StatusTexts& texts, const NumberFormat& format, const QDate& today);

    /// For callers with a literal mode.
    void LaegPaa(const QString& mode)
    {
        QString copy = mode;
        LaegPaa(copy);
    }
    /// Whether the last call end stored and logged a call ("Log" while one was metered); read by
    /// those told of the end while it goes offline.
    bool lastEndLogged() const { return lastEndLogged_; }

private:
    void logCall();
    void goOffline();
    void reportFileError(int number, const QString& description);

    ProgramState& state_;
    SettingsFile& settings_;
    const CallLog& log_;
    const Clock& clock_;
    Prompter& prompter_;
    CallEndSteps& steps_;
    bool lastEndLogged_ = false;
};

} // namespace ringtally
