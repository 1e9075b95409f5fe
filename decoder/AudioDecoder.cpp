#include "AudioDecoder.h"

#include "Seeking.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mathematics.h>
}

#include <cmath>

namespace {

// libavformat indexes the packets it reads, for seeking; capped at 1 MiB by
// default. A seek needs only a coarse index, and this keeps a request's
// memory from growing with the length of the file.
constexpr unsigned kSeekIndexBytes = 64 * 1024;

int interrupted(void* flag)
{
    return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0;
}

} // namespace

AudioDecoder::AudioDecoder() = default;

AudioDecoder::~AudioDecoder() { close(); }

bool AudioDecoder::open(const QByteArray& path, const std::atomic<bool>* interrupt)
{
    close();
    m_format = avformat_alloc_context();
    if (!m_format)
        return false;
    if (interrupt)
        m_format->interrupt_callback = AVIOInterruptCB{interrupted, const_cast<std::atomic<bool>*>(interrupt)};
    // On failure the context is freed and the pointer cleared.
    if (avformat_open_input(&m_format, path.constData(), nullptr, nullptr) < 0)
        return false;
    m_format->max_index_size = kSeekIndexBytes;
    if (avformat_find_stream_info(m_format, nullptr) < 0 || m_format->nb_streams == 0) {
        close();
        return false;
    }
    m_packet = av_packet_alloc();
    m_frame = av_frame_alloc();
    if (!m_packet || !m_frame) {
        close();
        return false;
    }
    for (unsigned i = 0; i < m_format->nb_streams; ++i) {
        AVStream* stream = m_format->streams[i];
        if (m_stream < 0 && stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
            m_stream = int(i);
        else
            stream->discard = AVDISCARD_ALL; // the demuxer then skips them cheaply
    }
    if (m_stream >= 0 && !openDecoder())
        m_format->streams[m_stream]->discard = AVDISCARD_ALL;
    return true;
}

bool AudioDecoder::openDecoder()
{
    const AVStream* stream = m_format->streams[m_stream];
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!decoder)
        return false;
    m_codec = avcodec_alloc_context3(decoder);
    if (!m_codec || avcodec_parameters_to_context(m_codec, stream->codecpar) < 0) {
        avcodec_free_context(&m_codec);
        return false;
    }
    m_codec->pkt_timebase = stream->time_base;
    m_codec->thread_count = 1; // every request already has a thread of its own
    if (avcodec_open2(m_codec, decoder, nullptr) < 0 || m_codec->sample_rate <= 0 ||
        m_codec->ch_layout.nb_channels <= 0) {
        avcodec_free_context(&m_codec);
        return false;
    }
    m_blocks.open(m_format, m_stream, m_codec);
    return true;
}

void AudioDecoder::close()
{
    avcodec_free_context(&m_codec);
    av_frame_free(&m_frame);
    av_packet_free(&m_packet);
    avformat_close_input(&m_format);
    m_stream = -1;
    m_blocks.converter().setOutput(0, 0, SampleFormat::Int16);
    m_dropBefore = 0;
    m_end = -1;
    m_blockFrame = 0;
    m_draining = false;
    m_ended = false;
}

void AudioDecoder::setOutput(int rate, int channels, SampleFormat format)
{
    m_blocks.converter().setOutput(rate, channels, format);
}

double AudioDecoder::durationSeconds() const
{
    if (!m_format || m_format->duration == AV_NOPTS_VALUE || m_format->duration <= 0)
        return -1;
    return double(m_format->duration) / AV_TIME_BASE;
}

double AudioDecoder::timeBaseSeconds() const
{
    return m_stream < 0 ? 0 : av_q2d(m_format->streams[m_stream]->time_base);
}

int64_t AudioDecoder::startTimestamp() const
{
    return hasAudio() ? m_blocks.clock().timeline().toTimestamp(0.0) : 0;
}

int AudioDecoder::sampleRate() const { return hasAudio() ? m_blocks.outputRate() : 0; }

int AudioDecoder::channels() const
{
    return hasAudio() ? m_blocks.converter().outputChannels(m_codec->ch_layout.nb_channels) : 0;
}

double AudioDecoder::secondsOfTimestamp(int64_t ts) const
{
    const Timeline& timeline = m_blocks.clock().timeline();
    return double(ts) * av_q2d(timeline.timeBase) - timeline.origin;
}

int64_t AudioDecoder::timestampOfFrame(int64_t frame) const
{
    if (!hasAudio())
        return 0;
    const Timeline& timeline = m_blocks.clock().timeline();
    const double seconds = double(frame) / sampleRate() + timeline.origin;
    return int64_t(std::floor(seconds / av_q2d(timeline.timeBase)));
}

int64_t AudioDecoder::frameAtTimestamp(int64_t ts) const
{
    return hasAudio() ? std::llround(secondsOfTimestamp(ts) * sampleRate()) : 0;
}

double AudioDecoder::blockSeconds() const { return hasAudio() ? double(m_blockFrame) / sampleRate() : 0.0; }

void AudioDecoder::startAtSeconds(double seconds)
{
    if (!hasAudio())
        return;
    if (seekBefore(m_format, m_stream, m_blocks.clock().timeline(), seconds)) {
        avcodec_flush_buffers(m_codec);
        m_blocks.restart();
        m_draining = false;
        m_ended = false;
    }
    m_dropBefore = m_blocks.clock().sampleAt(seconds);
}

void AudioDecoder::startAt(int64_t fromTs) { startAtSeconds(secondsOfTimestamp(fromTs)); }

void AudioDecoder::setEndSeconds(double seconds)
{
    m_end = seconds < 0 || !hasAudio() ? -1 : std::llround(seconds * sampleRate());
}

void AudioDecoder::setEnd(int64_t endTs) { setEndSeconds(endTs < 0 ? -1.0 : secondsOfTimestamp(endTs)); }

AudioDecoder::Step AudioDecoder::next(SampleBlock& block)
{
    if (!m_format || m_ended)
        return Step::End;
    if (hasAudio() && receiveFrame(block))
        return Step::Samples;
    if (m_draining || m_ended)
        return Step::End;

    if (av_read_frame(m_format, m_packet) < 0) {
        if (!hasAudio())
            return Step::End;
        // Decoders that hold frames back give them up now.
        avcodec_send_packet(m_codec, nullptr);
        m_draining = true;
        return Step::Nothing;
    }
    if (m_packet->stream_index != m_stream || !hasAudio()) {
        av_packet_unref(m_packet);
        return Step::Nothing;
    }
    // A packet the decoder refuses is skipped; reading goes on.
    avcodec_send_packet(m_codec, m_packet);
    av_packet_unref(m_packet);
    return receiveFrame(block) ? Step::Samples : Step::Nothing;
}

bool AudioDecoder::receiveFrame(SampleBlock& block)
{
    // The block points into the converter's buffer, which the next frame
    // overwrites: valid until the next call, as promised.
    SoundBlock sound;
    while (!m_ended && avcodec_receive_frame(m_codec, m_frame) == 0) {
        if (!m_blocks.take(m_frame, m_dropBefore, sound))
            continue;
        m_ended = m_end >= 0 && !sound.keepBefore(m_end);
        if (sound.frames <= 0)
            continue;
        m_blockFrame = sound.first;
        const int values = sound.frames * channels();
        const bool floats = m_blocks.converter().format() == SampleFormat::Float;
        block.samples = floats ? nullptr : reinterpret_cast<const int16_t*>(sound.data);
        block.floats = floats ? reinterpret_cast<const float*>(sound.data) : nullptr;
        block.count = values;
        return true;
    }
    return false;
}
