#pragma once

namespace ringtally {

class Clock;

/// Returns after seconds of elapsed time on clock, letting pending events run meanwhile (timers
/// fire, windows repaint, user commands run). Measured on the steady clock, so the wait also ends
/// on time across midnight or when the wall clock is changed. Zero or less returns at once.
void WaitSeconds(Clock& clock, float seconds);

} // namespace ringtally
