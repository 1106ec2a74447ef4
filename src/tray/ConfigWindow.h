#pragma once

class QWidget;

namespace ringtally {

/// The configuration window as the main window opens it.
class ConfigWindow {
public:
    virtual ~ConfigWindow() = default;

    /// Shows the configuration window (not modal); owner stays disabled until it closes.
    virtual void showConfig(QWidget* owner) = 0;
    /// Hides the window for good, as the program ends.
    virtual void unload() = 0;
};

} // namespace ringtally
