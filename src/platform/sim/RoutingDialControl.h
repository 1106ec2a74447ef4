#pragma once

#include "platform/DialControl.h"

#include <functional>

namespace ringtally {

/// The dial control the program uses: a dial of the simulated line's entry goes to the simulated
/// control, every other dial to the system's; or, with a chooser, the entries it picks go to the
/// second control. The four properties are copied to the control that dials, and its states come
/// back as this control's.
class RoutingDialControl : public DialControl {
    Q_OBJECT

public:
    /// Routes between the system's control and the simulated line's; both outlive this one.
    RoutingDialControl(DialControl& system, DialControl& simulated, QObject* parent = nullptr);
    /// Routes the entries takesSecond picks to second, the others to first.
    RoutingDialControl(DialControl& first, DialControl& second,
        std::function<bool(const QString&)> takesSecond, QObject* parent = nullptr);

    /// Copies the properties to the control for EntryName and starts its dial.
    qint32 StartDial() override;
    /// Hangs up the control that dialed last.
    void HangUp() override;
    /// The state of the control that dialed last; Disconnected before the first dial.
    qint32 ConnState() const override;

private:
    void forward(const DialControl& from, qint32 state, qint32 error);

    DialControl& system_;
    DialControl& simulated_;
    std::function<bool(const QString&)> takesSimulated_;
    DialControl* dialing_ = nullptr; // the control that dialed last; only its states are forwarded
};

} // namespace ringtally
