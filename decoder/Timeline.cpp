#include "Timeline.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mathematics.h>
}

#include <cmath>

namespace {

// Delay of LAME's encoder (576 samples) and of the MP3 synthesis filter
// (529): where a container has no LAME header, nothing removes it.
constexpr int kMp3DelaySamples = 1105;
// AC-3 frames overlap by one block.
constexpr int kAc3DelaySamples = 256;

// One WMA frame primes the decoder's overlap; its length follows from the
// sample rate as the format defines it.
int wmaFrameSamples(int sampleRate, bool firstVersion)
{
    if (sampleRate <= 16000)
        return 512;
    if (sampleRate <= 22050 || (firstVersion && sampleRate <= 32000))
        return 1024;
    return 2048;
}

int untrimmedDelaySamples(const AVStream* stream, const AVCodecContext* decoder)
{
    switch (stream->codecpar->codec_id) {
    case AV_CODEC_ID_MP3:
        // The MP3 demuxer reads the LAME header and reports the delay as the
        // start time; other containers leave it in the sound.
        return stream->start_time > 0 ? 0 : kMp3DelaySamples;
    case AV_CODEC_ID_WMAV1:
    case AV_CODEC_ID_WMAV2:
        return wmaFrameSamples(decoder->sample_rate, stream->codecpar->codec_id == AV_CODEC_ID_WMAV1);
    case AV_CODEC_ID_AC3:
        return kAc3DelaySamples;
    default:
        return 0;
    }
}

} // namespace

std::int64_t Timeline::toTimestamp(double seconds) const
{
    if (seconds < 0)
        return kNoTimestamp;
    // Nearest rather than truncated: float seconds such as 4.35f lie a hair
    // below their value and would land one tick early.
    return std::llround((seconds + origin) * timeBase.den / timeBase.num);
}

double Timeline::toSeconds(std::int64_t timestamp) const
{
    if (timestamp == kNoTimestamp)
        return -1.0;
    const double seconds = double(timestamp) * av_q2d(timeBase) - origin;
    return seconds > 0 ? seconds : 0.0;
}

std::int64_t Timeline::rescale(std::int64_t timestamp, AVRational to) const
{
    if (timestamp == kNoTimestamp)
        return kNoTimestamp;
    return av_rescale_q(timestamp, timeBase, to);
}

double soundOrigin(const AVStream* stream, const AVCodecContext* decoder)
{
    double origin = 0.0;
    if (stream->start_time != AV_NOPTS_VALUE && stream->start_time > 0)
        origin = double(stream->start_time) * av_q2d(stream->time_base);
    if (decoder->sample_rate > 0)
        origin += double(untrimmedDelaySamples(stream, decoder)) / decoder->sample_rate;
    return origin;
}
