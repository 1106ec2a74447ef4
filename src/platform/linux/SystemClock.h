#pragma once

#include "platform/Clock.h"

namespace ringtally {

/// The real clock: the system's local time, its monotonic clock, and a nested event loop.
class SystemClock : public Clock {
public:
    QDateTime now() const override;
    qint64 steadyMs() const override;
    void runEventsFor(int ms) override;
};

} // namespace ringtally
