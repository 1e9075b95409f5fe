#include "MonoDecimator.h"

#include <algorithm>

namespace {

constexpr float kFullScale = 32768.0f;

} // namespace

MonoDecimator::MonoDecimator(int inputRate, int channels)
    : m_inputRate(inputRate)
    , m_channels(std::max(1, channels))
    , m_factor(std::max(1, inputRate / kLowestRateHz))
    , m_scale(1.0f / (kFullScale * float(m_factor * m_channels)))
{
}

void MonoDecimator::push(const int16_t* interleaved, int64_t frames, std::vector<float>& out)
{
    const int64_t groupValues = int64_t(m_factor) * m_channels;
    const int16_t* in = interleaved;
    const int16_t* end = interleaved + frames * m_channels;

    // Complete the group that the last call left open.
    if (m_partialFrames > 0) {
        const int64_t take = std::min<int64_t>(m_factor - m_partialFrames, frames);
        for (const int16_t* p = in; p < in + take * m_channels; ++p)
            m_partialSum += *p;
        in += take * m_channels;
        m_partialFrames += int(take);
        if (m_partialFrames < m_factor)
            return;
        out.push_back(float(m_partialSum) * m_scale);
        m_partialSum = 0;
        m_partialFrames = 0;
    }

    const int64_t groups = (end - in) / groupValues;
    const size_t first = out.size();
    out.resize(first + size_t(groups));
    float* o = out.data() + first;
    for (int64_t g = 0; g < groups; ++g, in += groupValues) {
        int32_t sum = 0;
        for (int64_t k = 0; k < groupValues; ++k)
            sum += in[k];
        o[g] = float(sum) * m_scale;
    }

    m_partialFrames = int((end - in) / m_channels);
    for (; in < end; ++in)
        m_partialSum += *in;
}
