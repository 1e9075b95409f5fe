// Decoded sound to what VoiceActivity needs: one channel at 8-11 kHz. The
// channels are summed and every `factor` samples averaged in one pass over the
// decoder's 16-bit samples. The average is a box filter whose response falls
// to -3 dB near 0.44 of the output rate (3.9 kHz from 44.1 kHz): the top of
// the speech band, at the cost of an addition per input sample.
#pragma once

#include <cstdint>
#include <vector>

class MonoDecimator {
public:
    // The output rate is the lowest whole fraction of the input rate that
    // stays at or above this.
    static constexpr int kLowestRateHz = 8000;

    MonoDecimator(int inputRate, int channels);

    double outputRate() const { return double(m_inputRate) / m_factor; }
    // Input sample frames per output sample.
    int factor() const { return m_factor; }

    // Appends the mono, decimated samples of `frames` interleaved sample
    // frames to out; a group left incomplete carries over to the next call.
    void push(const int16_t* interleaved, int64_t frames, std::vector<float>& out);

private:
    int m_inputRate;
    int m_channels;
    int m_factor;
    float m_scale; // a group's sum to a mean in [-1, 1]
    int32_t m_partialSum = 0;
    int m_partialFrames = 0;
};
