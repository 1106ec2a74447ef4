#pragma once

#include "core/ProgramState.h"

#include <QString>

#include <optional>

namespace ringtally {

/// What the meter shows at this moment, as numbers.
struct RemoteStatus {
    bool online = false; // a call is metered
    int scheme = -1; // the scheme that prices it (0..2), -1 offline
    QString schemeName; // its name, empty offline
    MeterFigures figures; // the status window's figures: the last call's while offline
    bool lastEndLogged = false; // the last call end stored and logged its call
    std::optional<ModemState> modem; // the modem behind the link that is up; none without one
};

/// The program's operations as the outside asks for them: the tray menu's commands and what the
/// meter shows. The program's windows implement it; tests pass a fake.
class RemoteControl {
public:
    virtual ~RemoteControl() = default;

    /// The meter's state and figures now.
    virtual RemoteStatus status() const = 0;
    /// Whether scheme (0..2) is offered for dialing, as the tray menu offers it: it has a name.
    virtual bool schemeOffered(int scheme) const = 0;
    /// The offered scheme with the lowest minute price now (0..2); none when none is offered.
    virtual std::optional<int> cheapestScheme() = 0;
    /// Dials scheme (0..2), as its tray menu item does.
    virtual void dial(int scheme) = 0;
    /// Hangs up the metered call, logging it or not, as the two hang-up items do.
    virtual void hangUp(bool log) = 0;
    /// Shows the main window.
    virtual void showMainWindow() = 0;
    /// Shows the status window in front.
    virtual void showStatusWindow() = 0;
    /// Opens the configuration window.
    virtual void showConfiguration() = 0;
    /// Opens the log viewer.
    virtual void showLog() = 0;
};

} // namespace ringtally
