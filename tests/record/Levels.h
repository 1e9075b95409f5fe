// Levels that a recording should decode to.
#pragma once

#include <cmath>

namespace levels {
// The gain that maps PortAudio's -1..1 floats onto LAME's 16-bit range.
constexpr float kUnityGain = 32767.0f;
// LAME's defaults scale its input by 0.95 before encoding.
inline const double kLameScaleDb = 20 * std::log10(0.95);

inline double gainDb(double gain)
{
    return 20 * std::log10(gain / kUnityGain);
}
} // namespace levels
