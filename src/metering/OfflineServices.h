#pragma once

#include <QString>

namespace ringtally {

/// The services a call end and the meter's windows ask of the rest of the program: the start
/// list, the dial window and its control, the tray, sounds and the system's connections. Each does
/// nothing here; the program's main window supplies the real ones.
class OfflineServices {
public:
    virtual ~OfflineServices() = default;

    /// Closes the start list's programs by their window titles, when they were started.
    virtual void closeStartedPrograms() { }
    /// Hides the dial window when it is visible.
    virtual void hideDialWindow() { }
    /// Tells the dial window's dial-up control to hang up.
    virtual void hangUpDialControl() { }
    /// Stops the dial window's line watch (its Disconnected timer).
    virtual void stopLineWatch() { }
    /// Puts the tray icon, its tooltip and its menu into the state GlblOnline asks for.
    virtual void switchTrayMenu() { }
    /// Plays a sound event ("Disconnect", "Error").
    virtual void playEventSound(const QString& event) { Q_UNUSED(event); }
    /// A hang-up item of the meter's windows was chosen: the call's owner ends the call, logged
    /// or not.
    virtual void requestHangUp(bool log) { Q_UNUSED(log); }
    /// Opens the help contents.
    virtual void openHelpIndex() { }
    /// Shows the about box.
    virtual void showAbout() { }
};

} // namespace ringtally
