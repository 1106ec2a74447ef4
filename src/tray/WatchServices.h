#pragma once

#include <QString>

namespace ringtally {

/// What the connection watch asks of the windows around it; the main window supplies it.
class WatchServices {
public:
    virtual ~WatchServices() = default;

    /// Whether the splash window is on screen: the watch waits until it has gone.
    virtual bool splashVisible() const = 0;
    /// Whether the dial window is on screen, dialing or showing a dial's result.
    virtual bool dialWindowVisible() const = 0;
    /// Ends the running call, logged or not.
    virtual void hangUp(bool log) = 0;
    /// Shows the scheme selection window for the connection that is up, unless it is on screen
    /// already (the watch asks every tick until the user answers).
    virtual void showSelectionWindow() = 0;
};

} // namespace ringtally
