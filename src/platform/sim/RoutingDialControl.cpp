#include "platform/sim/RoutingDialControl.h"

#include "platform/sim/SimulatedLine.h"

namespace ringtally {

RoutingDialControl::RoutingDialControl(DialControl& system, DialControl& simulated, QObject* parent)
    : RoutingDialControl(
        system, simulated,
        [](const QString& entry) { return entry == QStringView(SimulatedLine::kEntryName); }, parent)
{
}

RoutingDialControl::RoutingDialControl(
    DialControl& first, DialControl& second, std::function<bool(const QString&)> takesSecond, QObject* parent)
    : DialControl(parent), system_(first), simulated_(second), takesSimulated_(std::move(takesSecond))
{
    connect(&system_, &DialControl::statusChanged, this,
        [this](qint32 state, qint32 error) { forward(system_, state, error); });
    connect(&simulated_, &DialControl::statusChanged, this,
        [this](qint32 state, qint32 error) { forward(simulated_, state, error); });
}

qint32 RoutingDialControl::StartDial()
{
    dialing_ = takesSimulated_(EntryName()) ? &simulated_ : &system_;
    dialing_->setEntryName(EntryName());
    dialing_->setUserName(UserName());
    dialing_->setPassword(Password());
    dialing_->setPhoneNumber(PhoneNumber());
    return dialing_->StartDial();
}

void RoutingDialControl::HangUp()
{
    if (dialing_)
        dialing_->HangUp();
}

qint32 RoutingDialControl::ConnState() const
{
    return dialing_ ? dialing_->ConnState() : RasConnState::Disconnected;
}

void RoutingDialControl::forward(const DialControl& from, qint32 state, qint32 error)
{
    // The other control's line may end while this one dials: that is not the dial's state.
    if (&from == dialing_)
        emit statusChanged(state, error);
}

} // namespace ringtally
