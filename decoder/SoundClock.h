// Where the decoded frames of an audio stream lie on the timeline of its
// sound, to the sample. Sample 0 is the first sample of the sound in every
// container: after the coding delay that a container leaves in front of it,
// and however coarse the container's timestamps are (FLV, ASF, RM and
// Matroska count milliseconds, a sample is a 44th of one).
#pragma once

#include "Timeline.h"

#include <cstdint>
#include <optional>

struct AVCodecContext;
struct AVFormatContext;

class SoundClock {
public:
    SoundClock() = default;
    // For audio stream `stream` of an open file, with its opened decoder.
    SoundClock(const AVFormatContext* format, int stream, const AVCodecContext* decoder);

    int rate() const { return m_rate; }
    // Seconds of the sound against the stream's timestamps.
    const Timeline& timeline() const { return m_timeline; }
    std::int64_t sampleAt(double seconds) const;
    double secondsAt(std::int64_t sample) const;

    // After a seek or a flush of the decoder: the next frame is placed by
    // its timestamp alone.
    void restart()
    {
        m_next.reset();
        m_counting = false;
    }
    // The sample at which a decoded frame of `frames` samples starts, or
    // none for a frame without a timestamp that follows no placed frame.
    // Once two frames follow each other within the rounding of their
    // timestamps, the next ones are placed right after each other.
    std::optional<std::int64_t> place(std::int64_t timestamp, int frames);

private:
    Timeline m_timeline;
    int m_rate = 0;
    std::int64_t m_startTimestamp = 0; // of the first packet
    // From the first packet's start to the first sample of the sound.
    int m_lead = 0;
    double m_samplesPerTick = 0;
    // Packets start on this grid, counted from the first one; 0 unknown.
    std::int64_t m_grid = 0;
    std::optional<std::int64_t> m_next; // where the next frame starts
    bool m_counting = false;            // frames are placed by m_next
};
