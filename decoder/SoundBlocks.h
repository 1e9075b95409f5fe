// Decoded frames of one audio stream as blocks of interleaved samples placed
// on the timeline of its sound: what the engine plays and what the sample
// decoder hands out are cut from the same place of the same decode.
#pragma once

#include "SampleConverter.h"
#include "SoundClock.h"

#include <cstdint>
#include <optional>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;

struct SoundBlock {
    std::int64_t first = 0; // sample of the sound at the output rate
    int frames = 0;
    const std::uint8_t* data = nullptr; // interleaved, in the converter's format
    // Keeps the samples before `end` (a sample at the output rate); false
    // when the block reaches past it.
    bool keepBefore(std::int64_t end);
};

class SoundBlocks {
public:
    // Before the decoder decodes anything: it is told to leave the trimming
    // of its priming and padding to this class, which trims by the clock.
    void open(const AVFormatContext* format, int stream, AVCodecContext* decoder);

    const SoundClock& clock() const { return m_clock; }
    SampleConverter& converter() { return m_converter; }
    const SampleConverter& converter() const { return m_converter; }
    int outputRate() const { return m_converter.outputRate(m_clock.rate()); }
    // A sample at the source rate as one at the output rate.
    std::int64_t toOutput(std::int64_t sample) const;

    // After a seek or a flush of the decoder.
    void restart();
    // The part of a decoded frame from sample `from` of the sound on (at
    // the source rate), converted. False when nothing of it is left: it
    // lies before `from`, cannot be placed or cannot be converted.
    bool take(const AVFrame* frame, std::int64_t from, SoundBlock& block);

private:
    SoundClock m_clock;
    SampleConverter m_converter;
    // Where the next block starts at each rate, while the sound runs on.
    std::optional<std::int64_t> m_sourceNext;
    std::int64_t m_outputNext = 0;
};
