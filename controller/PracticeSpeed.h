// The playback speed a learner chooses: one value for the original and the
// recording alike, kept on the 0.05 grid between half and one and a half.
#pragma once

#include <cmath>

namespace speed {

constexpr double kMin = 0.5;
constexpr double kMax = 1.5;
constexpr double kStep = 0.05;
constexpr double kNormal = 1.0;

// The nearest speed on the grid within the range.
inline double snapped(double value)
{
    if (!(value >= kMin)) // NaN too
        return kMin;
    if (value > kMax)
        return kMax;
    return std::round(value / kStep) * kStep;
}

inline bool isNormal(double value) { return std::abs(value - kNormal) < kStep / 2; }

inline bool inRange(double value) { return value >= kMin - 1e-9 && value <= kMax + 1e-9; }

} // namespace speed
