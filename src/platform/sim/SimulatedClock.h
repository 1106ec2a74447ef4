#pragma once

#include "platform/Clock.h"

#include <QTimeZone>

namespace ringtally {

/// A clock whose time only moves when its owner moves it: the what-if pricing tool and the
/// simulated line run the meter on it. Waiting on it lets the time pass without running events,
/// so a simulated day costs no real time.
class SimulatedClock : public Clock {
public:
    /// A clock standing at start (the local date and time given).
    explicit SimulatedClock(const QDateTime& start = QDateTime::currentDateTime());

    /// The local date and time, carrying the local offset from UTC in force at that moment.
    QDateTime now() const override;
    qint64 steadyMs() const override;
    /// Advances both clocks by ms milliseconds without processing any event.
    void runEventsFor(int ms) override;

    /// Moves both clocks forward by ms milliseconds (nothing happens for ms below 1).
    void advanceMs(qint64 ms);
    /// Sets the wall clock only; the steady clock keeps going from where it was.
    void setNow(const QDateTime& now);

private:
    void update();

    QTimeZone zone_ = QTimeZone::systemTimeZone();
    qint64 utcMs_ = 0;
    int offsetSeconds_ = 0;
    qint64 offsetValidFromMs_ = 0; // the local offset holds for utcMs_ in [from, until)
    qint64 offsetValidUntilMs_ = 0;
    QDateTime now_;
    qint64 steadyMs_ = 0;
};

} // namespace ringtally
