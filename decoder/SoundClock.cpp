#include "SoundClock.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Delay of LAME's encoder (576 samples) and of the MP3 synthesis filter
// (529): where a container has no LAME header, nothing removes it.
constexpr int kMp3DelaySamples = 1105;
// AC-3 frames of six blocks overlap by one block.
constexpr int kAc3DelaySamples = 256;
constexpr int kAc3FrameSamples = 1536;
// Beyond any media: about 700 years at 48 kHz.
constexpr double kFarthestSamples = 1e15;
// Timestamps further than this from the count of samples decoded mark a
// break in the stream: the count starts again from them.
constexpr double kResyncSeconds = 0.5;
// Opus packets last 2.5 ms or a multiple of it, at 48 kHz.
constexpr int kOpusGridSamples = 120;
// The Vorbis identification header: its packet type and name, and where
// the byte with the two block sizes (as powers of two) follows them.
constexpr char kVorbisIdentification[] = "\x01vorbis";
constexpr std::size_t kVorbisIdentificationLength = sizeof kVorbisIdentification - 1;
constexpr std::size_t kVorbisBlockSizesOffset = 28;

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

// The short block of a Vorbis stream, from the identification header among
// the headers of its extradata; 0 when there is none.
int vorbisShortBlock(const AVCodecParameters* codec)
{
    const std::uint8_t* data = codec->extradata;
    const std::size_t size = codec->extradata ? std::size_t(codec->extradata_size) : 0;
    for (std::size_t at = 0; at + kVorbisBlockSizesOffset < size; ++at) {
        if (std::memcmp(data + at, kVorbisIdentification, kVorbisIdentificationLength) == 0)
            return 1 << (data[at + kVorbisBlockSizesOffset] & 0x0f);
    }
    return 0;
}

// Ogg stamps the packets that prime a decoder (Opus's pre-skip, Vorbis's
// first block) before time 0; other containers start their clock with them.
bool stampsPrimingBeforeZero(const AVFormatContext* format)
{
    return std::strcmp(format->iformat->name, "ogg") == 0;
}

// Samples from the start of the first packet to the first sample of the
// sound, where neither the demuxer nor the start time accounts for them.
int leadSamples(const AVFormatContext* format, const AVStream* stream, const AVCodecContext* decoder)
{
    const AVCodecParameters* codec = stream->codecpar;
    switch (codec->codec_id) {
    case AV_CODEC_ID_MP3:
        // The MP3 demuxer reads the LAME header and reports the delay as the
        // start time; other containers leave it in the sound.
        return stream->start_time > 0 ? 0 : kMp3DelaySamples;
    case AV_CODEC_ID_WMAV1:
    case AV_CODEC_ID_WMAV2:
        return wmaFrameSamples(decoder->sample_rate, codec->codec_id == AV_CODEC_ID_WMAV1);
    case AV_CODEC_ID_AC3:
        return kAc3DelaySamples;
    case AV_CODEC_ID_OPUS:
        return stampsPrimingBeforeZero(format) ? 0 : codec->initial_padding;
    case AV_CODEC_ID_VORBIS:
        // The first packet, a short block as encoders start, only primes.
        return stampsPrimingBeforeZero(format) ? 0 : vorbisShortBlock(codec) / 2;
    default:
        return 0;
    }
}

// The spacing of packet starts, in samples; 0 where packets vary freely.
int gridSamples(const AVStream* stream, const AVCodecContext* decoder)
{
    switch (stream->codecpar->codec_id) {
    case AV_CODEC_ID_WMAV1:
    case AV_CODEC_ID_WMAV2:
        return wmaFrameSamples(decoder->sample_rate, stream->codecpar->codec_id == AV_CODEC_ID_WMAV1);
    case AV_CODEC_ID_AC3:
        return kAc3FrameSamples;
    case AV_CODEC_ID_OPUS:
        return kOpusGridSamples;
    case AV_CODEC_ID_VORBIS:
        // Blocks overlap by halves: a packet gives a quarter of each of its
        // two blocks, so packets start on quarters of the short block.
        return vorbisShortBlock(stream->codecpar) / 4;
    default:
        return decoder->frame_size;
    }
}

} // namespace

SoundClock::SoundClock(const AVFormatContext* format, int stream, const AVCodecContext* decoder)
{
    const AVStream* audio = format->streams[stream];
    m_rate = decoder->sample_rate;
    if (m_rate <= 0)
        return;
    m_startTimestamp = audio->start_time != AV_NOPTS_VALUE ? audio->start_time : 0;
    m_lead = leadSamples(format, audio, decoder);
    m_samplesPerTick = av_q2d(audio->time_base) * m_rate;
    m_grid = gridSamples(audio, decoder);
    m_timeline.timeBase = audio->time_base;
    m_timeline.origin = double(m_startTimestamp) * av_q2d(audio->time_base) + double(m_lead) / m_rate;
}

std::int64_t SoundClock::sampleAt(double seconds) const { return std::llround(seconds * m_rate); }

double SoundClock::secondsAt(std::int64_t sample) const { return m_rate > 0 ? double(sample) / m_rate : 0.0; }

std::optional<std::int64_t> SoundClock::place(std::int64_t timestamp, int frames)
{
    std::optional<std::int64_t> at = m_next;
    if (timestamp != AV_NOPTS_VALUE && m_rate > 0) {
        // From the first packet, whose timestamp the muxer rounded like all;
        // in doubles, bounded, since a damaged file's timestamps lie anywhere.
        const double fromFirst = std::clamp((double(timestamp) - double(m_startTimestamp)) * m_samplesPerTick,
                                            -kFarthestSamples, kFarthestSamples);
        // Where a timestamp is coarser than a sample, the packet grid names
        // the one sample it can stand for.
        const std::int64_t placed = (m_samplesPerTick > 1 && m_grid > 0
                                         ? std::llround(fromFirst / double(m_grid)) * m_grid
                                         : std::llround(fromFirst)) -
                                    m_lead;
        const double off = m_next ? std::abs(double(placed) - double(*m_next)) : 0.0;
        const double rounding = m_samplesPerTick / 2 + 1;
        // Two frames that follow each other as their timestamps say fix the
        // count; from there the decoder's own frame lengths place every frame
        // as ffmpeg's decode does, past timestamps that a demuxer guessed
        // wrong (Ogg's at Vorbis's changes of block size).
        m_counting = m_next && off < m_rate * kResyncSeconds && (m_counting || off <= rounding);
        if (!m_counting)
            at = placed;
    }
    if (at)
        m_next = *at + frames;
    return at;
}
