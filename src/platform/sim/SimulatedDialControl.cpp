#include "platform/sim/SimulatedDialControl.h"

#include "platform/sim/SimulatedLine.h"

#include <algorithm>
#include <array>

namespace ringtally {

namespace {

constexpr std::array kDialStates {
    RasConnState::OpenPort,
    RasConnState::PortOpened,
    RasConnState::ConnectDevice,
    RasConnState::DeviceConnected,
    RasConnState::Authenticate,
    RasConnState::Authenticated,
    RasConnState::Connected,
};

} // namespace

SimulatedDialControl::SimulatedDialControl(SimulatedLine& line, int stepMs, QObject* parent)
    : DialControl(parent), line_(line)
{
    dialStep_.setInterval(stepMs);
    connect(&dialStep_, &QTimer::timeout, this, &SimulatedDialControl::onDialStep);
    lineWatch_.setInterval(kLineWatchMs);
    connect(&lineWatch_, &QTimer::timeout, this, &SimulatedDialControl::onLineWatchTick);
}

qint32 SimulatedDialControl::StartDial()
{
    // One line, one call: as a modem another dialer holds, a line up from outside cannot be dialed.
    // A file that cannot be read is found out when the line is brought up.
    const Result<SimulatedLineState> line = line_.read();
    if (dialStep_.isActive() || lineWatch_.isActive() || (line.ok() && line.value().up))
        return kErrorLineInUse;

    const QString number = PhoneNumber().trimmed();
    failure_ = number == u"0" ? kErrorBusy : number == u"1" ? kErrorNoAnswer : 0;
    state_ = RasConnState::Disconnected;
    dialStep_.start();
    return 0;
}

void SimulatedDialControl::HangUp()
{
    if (const Status down = line_.bringDown(); !down.ok())
        qWarning("Could not bring the simulated line down: %s", qPrintable(down.message()));
    if (dialStep_.isActive() || lineWatch_.isActive())
        end(0);
}

void SimulatedDialControl::onDialStep()
{
    if (!dialStep_.isActive())
        return;
    if (failure_ != 0 && state_ == RasConnState::ConnectDevice) {
        end(failure_);
        return;
    }
    const auto next = std::find(kDialStates.begin(), kDialStates.end(), state_);
    const qint32 state = next == kDialStates.end() ? kDialStates.front() : *(next + 1);
    if (state == RasConnState::Connected) {
        dialStep_.stop();
        const QString entry
            = EntryName().isEmpty() ? QString::fromUtf16(SimulatedLine::kEntryName) : EntryName();
        if (const Status up = line_.bringUp(entry); !up.ok()) {
            qWarning("Could not bring the simulated line up: %s", qPrintable(up.message()));
            end(kErrorLineNotWritten);
            return;
        }
        lineWatch_.start();
    }
    state_ = state;
    emit statusChanged(state, 0);
}

void SimulatedDialControl::onLineWatchTick()
{
    if (!lineWatch_.isActive())
        return;
    // A file that cannot be read says nothing about the line; the next look may.
    const Result<SimulatedLineState> line = line_.read();
    if (line.ok() && !line.value().up)
        end(0);
}

void SimulatedDialControl::end(qint32 error)
{
    dialStep_.stop();
    lineWatch_.stop();
    state_ = RasConnState::Disconnected;
    emit statusChanged(RasConnState::Disconnected, error);
}

QString SimulatedDialControl::errorText(qint32 error, bool english)
{
    const auto say = [english](const char16_t* danish, const char16_t* inEnglish) {
        return QString::fromUtf16(english ? inEnglish : danish);
    };
    switch (error) {
    case kErrorBusy:
        return say(u"Linjen er optaget. Vent et par minutter, og ring op igen.",
            u"The line is busy. Wait a few minutes and dial again.");
    case kErrorNoAnswer:
        return say(u"Der var intet svar. Kontrollér telefonnummeret, og ring op igen.",
            u"There was no answer. Check the phone number and dial again.");
    case kErrorLineInUse:
        return say(
            u"Den simulerede linje er allerede oppe. Læg den på (ringtally-demo-line down), og ring op "
            u"igen.",
            u"The simulated line is already up. Hang it up (ringtally-demo-line down) and dial again.");
    case kErrorLineNotWritten:
        return say(
            u"Den simulerede linje kunne ikke kobles op: dens tilstandsfil i din runtime-mappe kan ikke "
            u"skrives. Skaf plads der, eller ret filens rettigheder, og ring op igen.",
            u"The simulated line could not be brought up: its state file in your runtime folder cannot be "
            u"written. Make room there or fix its permissions, then dial again.");
    default:
        return QString();
    }
}

} // namespace ringtally
