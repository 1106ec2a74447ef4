#pragma once

#include "platform/DialControl.h"

#include <QTimer>

namespace ringtally {

class SimulatedLine;

/// Dials the simulated line: the states of a modem dial in about three seconds, then the line is
/// up. The phone number "0" answers busy and "1" does not answer, both after ConnectDevice. The
/// line's end is noticed also when it is brought down from outside.
class SimulatedDialControl : public DialControl {
    Q_OBJECT

public:
    /// The time between two states: the seven states up to Connected take about three seconds.
    static constexpr int kStepMs = 430;
    /// How often a connection looks whether its line was brought down from outside.
    static constexpr int kLineWatchMs = 1000;

    /// The error numbers of the simulated line. Busy and no answer are the system's; the others lie
    /// above the system's numbers, so they hide none of its texts.
    static constexpr qint32 kErrorBusy = 676;
    static constexpr qint32 kErrorNoAnswer = 678;
    static constexpr qint32 kErrorLineInUse = 760;
    static constexpr qint32 kErrorLineNotWritten = 761;

    /// A control on line whose states come stepMs apart.
    explicit SimulatedDialControl(SimulatedLine& line, int stepMs = kStepMs, QObject* parent = nullptr);

    /// Starts the dial: 0, or kErrorLineInUse while this control dials or the line is up already.
    qint32 StartDial() override;
    /// Brings the line down; Disconnected (error 0) follows when a dial or connection was running.
    void HangUp() override;
    qint32 ConnState() const override { return state_; }

    /// What one of the simulated line's error numbers means, in words that tell the user what to
    /// do, in Danish or, when english, English; empty for any other number.
    static QString errorText(qint32 error, bool english);

    /// The dial's timer: reports the dial's next state.
    void onDialStep();
    /// The connection's timer: ends the connection when the line was brought down from outside.
    void onLineWatchTick();

private:
    void end(qint32 error);

    SimulatedLine& line_;
    QTimer dialStep_;
    QTimer lineWatch_;
    qint32 state_ = RasConnState::Disconnected;
    qint32 failure_ = 0; // what ends the dial after ConnectDevice; 0 lets it connect
};

} // namespace ringtally
