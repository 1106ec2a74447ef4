#pragma once

#include <cmath>

namespace ringtally {

/// Twips per screen pixel at 96 dpi; positions and sizes are stored in twips.
inline constexpr int kTwipsPerPixel = 15;

/// The nearest whole number of pixels for a length in twips.
inline int twipsToPixels(double twips)
{
    return int(std::lround(twips / kTwipsPerPixel));
}

/// A length in pixels as twips.
inline double pixelsToTwips(int px)
{
    return double(px) * kTwipsPerPixel;
}

} // namespace ringtally
