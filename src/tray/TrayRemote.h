#pragma once

#include "remote/RemoteControl.h"

#include <QObject>

namespace ringtally {

class MainFrm;
class MeterWindows;

/// The program's side of the outside control: each operation is the tray menu's command for it,
/// and the meter's call start, tick and end are passed on as signals.
class TrayRemote : public QObject, public RemoteControl {
    Q_OBJECT

public:
    TrayRemote(const ProgramState& state, MainFrm& mainFrm, MeterWindows& meter);

    RemoteStatus status() const override;
    bool schemeOffered(int scheme) const override;
    std::optional<int> cheapestScheme() override;
    void dial(int scheme) override;
    void hangUp(bool log) override;
    void showMainWindow() override;
    void showStatusWindow() override;
    void showConfiguration() override;
    void showLog() override;

signals:
    /// The meter may have gone online or offline: the tray menu has been switched.
    void stateChanged();
    /// The meter has ticked and its figures are new.
    void ticked();

private:
    const ProgramState& state_;
    MainFrm& mainFrm_;
    MeterWindows& meter_;
};

} // namespace ringtally
