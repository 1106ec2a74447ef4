#include "core/WaitSeconds.h"

#include "platform/Clock.h"

#include <algorithm>
#include <cmath>

namespace ringtally {

namespace {

// The wait's end is measured on the clock rather than trusted to one long step, so it looks at
// the clock again at least this often.
constexpr qint64 kStepMs = 50;
// Far beyond any wait the program makes; keeps the conversion to milliseconds defined.
constexpr double kLongestMs = 1e12;

} // namespace

void WaitSeconds(Clock& clock, float seconds)
{
    // Written so that NaN counts as no wait too.
    if (!(seconds > 0.0f))
        return;
    // The steady clock, not the time of day: a wait across midnight or a changed system time
    // still lasts what it was asked to.
    const qint64 end
        = clock.steadyMs() + std::llround(std::min(static_cast<double>(seconds) * 1000.0, kLongestMs));
    for (qint64 remaining = end - clock.steadyMs(); remaining > 0; remaining = end - clock.steadyMs())
        clock.runEventsFor(static_cast<int>(std::min(remaining, kStepMs)));
}

} // namespace ringtally
