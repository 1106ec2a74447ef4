#include "platform/sim/SimulatedClock.h"

#include <limits>

namespace ringtally {

SimulatedClock::SimulatedClock(const QDateTime& start)
{
    setNow(start);
}

QDateTime SimulatedClock::now() const
{
    return now_;
}

qint64 SimulatedClock::steadyMs() const
{
    return steadyMs_;
}

void SimulatedClock::runEventsFor(int ms)
{
    advanceMs(ms);
}

void SimulatedClock::advanceMs(qint64 ms)
{
    // A steady clock never goes back, whatever the caller passes.
    if (ms <= 0)
        return;
    utcMs_ += ms;
    steadyMs_ += ms;
    update();
}

void SimulatedClock::setNow(const QDateTime& now)
{
    utcMs_ = now.toMSecsSinceEpoch();
    offsetValidFromMs_ = offsetValidUntilMs_ = 0; // look the offset up afresh
    update();
}

// Local times are converted through the C library's time zone functions, which can cost a file
// check each; a simulated day asks for the time hundreds of thousands of times. So the offset is
// looked up once per stretch between two of the zone's transitions, and the time is handed out
// with that fixed offset: the same instant, the same local date and time.
void SimulatedClock::update()
{
    if (utcMs_ < offsetValidFromMs_ || utcMs_ >= offsetValidUntilMs_) {
        const QDateTime utc = QDateTime::fromMSecsSinceEpoch(utcMs_, Qt::UTC);
        if (zone_.isValid()) {
            offsetSeconds_ = zone_.offsetFromUtc(utc);
            const QTimeZone::OffsetData previous = zone_.previousTransition(utc.addMSecs(1));
            const QTimeZone::OffsetData next = zone_.nextTransition(utc);
            offsetValidFromMs_ = previous.atUtc.isValid() ? previous.atUtc.toMSecsSinceEpoch()
                                                          : std::numeric_limits<qint64>::min();
            offsetValidUntilMs_
                = next.atUtc.isValid() ? next.atUtc.toMSecsSinceEpoch() : std::numeric_limits<qint64>::max();
        } else {
            // No zone data to know the transitions by: ask again at every move.
            offsetSeconds_ = QDateTime::fromMSecsSinceEpoch(utcMs_).offsetFromUtc();
            offsetValidFromMs_ = offsetValidUntilMs_ = utcMs_;
        }
    }
    now_ = QDateTime::fromMSecsSinceEpoch(utcMs_, Qt::OffsetFromUTC, offsetSeconds_);
}

} // namespace ringtally
