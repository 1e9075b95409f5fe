#include "VoiceActivity.h"

#include <algorithm>
#include <cmath>

namespace {

// Below the speech band: hum, rumble, brown noise and handling bumps.
constexpr double kHighPassHz = 100.0;
// Keeps the logarithm finite on digital silence; far under any floor.
constexpr double kSilentEnergy = 1e-12;

} // namespace

VoiceActivity::VoiceActivity(double sampleRate)
    : m_sampleRate(sampleRate)
    , m_frameLength(std::max(1, int(std::lround(sampleRate * kFrameSeconds))))
    , m_windowFrames(int(std::lround(kFloorWindowSeconds / kFrameSeconds)))
    , m_hangoverFrames(std::lround(kHangoverSeconds / kFrameSeconds))
    , m_shortestFrames(std::lround(kShortestSpeechSeconds / kFrameSeconds))
{
    // Audio EQ cookbook high-pass, Q = 1/sqrt(2); the cut-off stays well under
    // the Nyquist frequency at any rate.
    const double cutoff = std::min(kHighPassHz, sampleRate / 4);
    const double w0 = 2 * M_PI * cutoff / sampleRate;
    const double alpha = std::sin(w0) / std::sqrt(2.0);
    const double a0 = 1 + alpha;
    m_b0 = (1 + std::cos(w0)) / 2 / a0;
    m_b1 = -(1 + std::cos(w0)) / a0;
    m_b2 = m_b0;
    m_a1 = -2 * std::cos(w0) / a0;
    m_a2 = (1 - alpha) / a0;
}

void VoiceActivity::push(const float* mono, int count)
{
    for (int i = 0; i < count; ++i) {
        const double x = mono[i];
        const double y = m_b0 * x + m_b1 * m_x1 + m_b2 * m_x2 - m_a1 * m_y1 - m_a2 * m_y2;
        m_x2 = m_x1;
        m_x1 = x;
        m_y2 = m_y1;
        m_y1 = y;
        m_energy += y * y;
        if (++m_filled == m_frameLength)
            endFrame();
    }
}

void VoiceActivity::endFrame()
{
    // Stored as float, and added as stored: removing it later must hit the
    // same bin.
    const float level = float(10 * std::log10(m_energy / m_frameLength + kSilentEnergy));
    m_energy = 0;
    m_filled = 0;
    m_levels.push_back(level);
    m_floor.add(level);
    // The frame to decide needs kFloorWindowSeconds of look-ahead.
    while (m_firstLevel + int64_t(m_levels.size()) - m_decided > m_windowFrames)
        decideFrame();
}

void VoiceActivity::finish()
{
    // A partial last frame is too short to judge; it ends the sound.
    while (m_decided < m_firstLevel + int64_t(m_levels.size()))
        decideFrame();
    endRun(m_decided);
    flushPending();
}

void VoiceActivity::decideFrame()
{
    // Slide the window's back edge to kFloorWindowSeconds behind the frame.
    while (m_decided - m_firstLevel > m_windowFrames) {
        m_floor.remove(m_levels.front());
        m_levels.pop_front();
        ++m_firstLevel;
    }
    const double level = m_levels[size_t(m_decided - m_firstLevel)];
    const double floor = std::max(m_floor.value(), kQuietestFloorDbFs);
    const int64_t frame = m_decided++;

    if (level > floor + kHoldMarginDb) {
        if (m_aboveHoldSince < 0)
            m_aboveHoldSince = frame;
    } else {
        m_aboveHoldSince = -1;
        endRun(frame);
        return;
    }
    // Speech began where the level first left the floor's neighbourhood, not
    // where it crossed the onset margin: the soft start of a fricative counts.
    if (m_speechSince < 0 && level > floor + kOnsetMarginDb)
        m_speechSince = m_aboveHoldSince;
}

void VoiceActivity::endRun(int64_t endFrame)
{
    if (m_speechSince < 0)
        return;
    if (m_pendingStart >= 0 && m_speechSince - m_pendingEnd <= m_hangoverFrames) {
        m_pendingEnd = endFrame;
    } else {
        flushPending();
        m_pendingStart = m_speechSince;
        m_pendingEnd = endFrame;
    }
    m_speechSince = -1;
}

void VoiceActivity::flushPending()
{
    if (m_pendingStart >= 0 && m_pendingEnd - m_pendingStart >= m_shortestFrames)
        m_spans.push_back(SpeechSpan{frameTime(m_pendingStart), frameTime(m_pendingEnd)});
    m_pendingStart = -1;
}
