#pragma once

#include <QDateTime>

namespace ringtally {

/// The passage of time as the program sees it: the wall clock, a steady clock for measuring
/// waits, and letting the event loop run while time passes. Tests use a fake they advance.
class Clock {
public:
    virtual ~Clock() = default;

    /// The local date and time now.
    virtual QDateTime now() const = 0;
    /// Milliseconds on a steady clock that never goes back; only differences mean anything.
    virtual qint64 steadyMs() const = 0;
    /// Lets pending events run (timers fire, windows repaint, commands run) for up to ms milliseconds.
    virtual void runEventsFor(int ms) = 0;
};

} // namespace ringtally
