#pragma once

#include "core/Splash.h"

#include <QPointer>

#include <functional>

namespace ringtally {

class Clock;
class Prompter;
class SettingsFile;
class SingleInstance;
class Welcome;
struct Settings;

/// The start-up routine: one instance per user, the optional splash window, the first run's
/// language choice, then the main window's load, which continues the start-up.
class StartUp {
public:
    /// loadMainWindow loads the hidden main window; it runs once, at once on a later run, after
    /// the language choice on the first run. memory receives the chosen Language.
    StartUp(SingleInstance& instance, SettingsFile& settings, Settings& memory, Clock& clock,
        Prompter& prompter, ProgramVersion version, std::function<void()> loadMainWindow);
    ~StartUp();
    StartUp(const StartUp&) = delete;
    StartUp& operator=(const StartUp&) = delete;

    /// Runs the routine; false when another instance runs, and this one is to end at once,
    /// silently. On true the program goes on in the event loop.
    bool run();

    /// The splash window while it exists (also when it is not shown), else null.
    Splash* splash() const { return splash_; }
    /// Whether the splash window is on screen: the tray and the watch timer wait for it.
    bool splashVisible() const { return splash_ && splash_->isVisible(); }
    /// The language window while it waits for the choice, else null.
    Welcome* welcome() const;

private:
    void waitForPaint();

    SingleInstance& instance_;
    SettingsFile& settings_;
    Settings& memory_;
    Clock& clock_;
    Prompter& prompter_;
    ProgramVersion version_;
    std::function<void()> loadMainWindow_;
    QPointer<Splash> splash_;
    QPointer<QWidget> welcome_;
};

} // namespace ringtally
