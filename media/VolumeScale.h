// The volume of IAudio: samples times a gain, in place, every product
// truncated toward zero and held to the sample range.
#pragma once

#include <algorithm>
#include <cstring>
#include <limits>

namespace volume {

template <typename Sample>
Sample scaled(Sample sample, float gain)
{
    // Gains have no upper limit: a product beyond the sample range is clamped
    // instead of wrapping around.
    const float product = static_cast<float>(sample) * gain;
    const float low = static_cast<float>(std::numeric_limits<Sample>::min());
    const float high = static_cast<float>(std::numeric_limits<Sample>::max());
    return static_cast<Sample>(std::clamp(product, low, high));
}

// Two channels take the left and the right gain in turn; any other channel
// count takes the left gain for every sample.
template <typename Sample>
void scaleSamples(char* bytes, int length, int channels, float left, float right)
{
    const int count = length / int(sizeof(Sample));
    for (int i = 0; i < count; ++i) {
        Sample sample;
        std::memcpy(&sample, bytes + i * sizeof(Sample), sizeof(Sample));
        const float gain = (channels == 2 && i % 2 == 1) ? right : left;
        sample = scaled(sample, gain);
        std::memcpy(bytes + i * sizeof(Sample), &sample, sizeof(Sample));
    }
}

} // namespace volume
