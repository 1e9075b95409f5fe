#include "SoundBlocks.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/intreadwrite.h>
#include <libavutil/mathematics.h>
}

#include <algorithm>

namespace {

// AV_FRAME_DATA_SKIP_SAMPLES: samples to skip at the start (le32), then
// samples of padding to discard at the end (le32).
constexpr int kPaddingOffset = 4;
constexpr int kSkipDataSize = 8;

// Samples at the end of a frame that the encoder added to fill its last
// frame (MP3's LAME header, Ogg's last granule, MP4's edit list name them).
int endPadding(const AVFrame* frame)
{
    const AVFrameSideData* skip = av_frame_get_side_data(frame, AV_FRAME_DATA_SKIP_SAMPLES);
    if (!skip || skip->size < kSkipDataSize)
        return 0;
    return int(std::min<std::uint32_t>(AV_RL32(skip->data + kPaddingOffset), std::uint32_t(frame->nb_samples)));
}

} // namespace

bool SoundBlock::keepBefore(std::int64_t end)
{
    if (first + frames <= end)
        return true;
    frames = int(std::max<std::int64_t>(0, end - first));
    return false;
}

void SoundBlocks::open(const AVFormatContext* format, int stream, AVCodecContext* decoder)
{
    // The decoder would trim a stream's priming itself, moving the frame's
    // timestamp by a rounded amount, and only after the first packet it
    // decodes, even mid-stream after a seek. The clock trims it exactly: it
    // lies before sample 0.
    decoder->flags2 |= AV_CODEC_FLAG2_SKIP_MANUAL;
    m_clock = SoundClock(format, stream, decoder);
    restart();
}

std::int64_t SoundBlocks::toOutput(std::int64_t sample) const
{
    const int rate = m_clock.rate();
    const int output = outputRate();
    return rate == output || rate <= 0 ? sample : av_rescale(sample, output, rate);
}

void SoundBlocks::restart()
{
    m_clock.restart();
    m_converter.reset();
    m_sourceNext.reset();
}

bool SoundBlocks::take(const AVFrame* frame, std::int64_t from, SoundBlock& block)
{
    const int frames = frame->nb_samples - endPadding(frame);
    const std::optional<std::int64_t> placed = m_clock.place(frame->best_effort_timestamp, frame->nb_samples);
    if (!placed || frames <= 0)
        return false;
    // In doubles: a damaged file's timestamps may lie anywhere.
    const int skipped = int(std::clamp(double(from) - double(*placed), 0.0, double(frames)));
    if (skipped >= frames)
        return false;
    const std::int64_t start = *placed + skipped;
    // A resampler's output runs on by itself; it starts anew with the sound.
    const bool runsOn = m_sourceNext && *m_sourceNext == start;
    if (!runsOn)
        m_converter.reset();
    const int converted = m_converter.convert(frame, skipped, frames - skipped);
    if (converted < 0)
        return false;
    m_sourceNext = *placed + frames;
    block.first = runsOn ? m_outputNext : toOutput(start);
    block.frames = converted;
    block.data = m_converter.data();
    m_outputNext = block.first + converted;
    return converted > 0;
}
