#include "AudioDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

namespace {

// How far before a range start a seek aims, so that the MP3 bit reservoir and
// the overlap of the previous frame are decoded before the first kept sample.
constexpr double kSeekPrerollSeconds = 0.1;
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
    return true;
}

void AudioDecoder::close()
{
    swr_free(&m_resampler);
    avcodec_free_context(&m_codec);
    av_frame_free(&m_frame);
    av_packet_free(&m_packet);
    avformat_close_input(&m_format);
    m_stream = -1;
    m_resamplerInput = {};
    m_dropBeforeTs = INT64_MIN;
    m_endTs = -1;
    m_nextTs = INT64_MIN;
    m_draining = false;
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
    if (m_stream < 0)
        return 0;
    const int64_t start = m_format->streams[m_stream]->start_time;
    return start == AV_NOPTS_VALUE ? 0 : start;
}

int AudioDecoder::sampleRate() const { return m_codec ? m_codec->sample_rate : 0; }

int AudioDecoder::channels() const { return m_codec ? m_codec->ch_layout.nb_channels : 0; }

int64_t AudioDecoder::timestampOfFrame(int64_t frame) const
{
    if (!hasAudio())
        return 0;
    return startTimestamp() + av_rescale_q_rnd(frame, AVRational{1, m_codec->sample_rate},
                                               m_format->streams[m_stream]->time_base, AV_ROUND_DOWN);
}

int64_t AudioDecoder::frameAtTimestamp(int64_t ts) const
{
    if (!hasAudio())
        return 0;
    return av_rescale_q(ts - startTimestamp(), m_format->streams[m_stream]->time_base,
                        AVRational{1, m_codec->sample_rate});
}

void AudioDecoder::startAt(int64_t fromTs)
{
    if (!hasAudio())
        return;
    const AVRational timeBase = m_format->streams[m_stream]->time_base;
    const int64_t preroll = av_rescale_q(int64_t(kSeekPrerollSeconds * AV_TIME_BASE), AVRational{1, AV_TIME_BASE}, timeBase);
    if (avformat_seek_file(m_format, m_stream, INT64_MIN, fromTs - preroll, INT64_MAX, 0) >= 0) {
        avcodec_flush_buffers(m_codec);
        m_nextTs = INT64_MIN;
        m_draining = false;
    }
    m_dropBeforeTs = fromTs;
}

AudioDecoder::Step AudioDecoder::next(SampleBlock& block)
{
    if (!m_format)
        return Step::End;
    if (hasAudio() && receiveFrame(block))
        return Step::Samples;
    if (m_draining)
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
    if (m_endTs != -1 && m_packet->dts != AV_NOPTS_VALUE && m_packet->dts > m_endTs) {
        av_packet_unref(m_packet);
        return Step::End;
    }
    // A packet the decoder refuses is skipped; reading goes on.
    avcodec_send_packet(m_codec, m_packet);
    av_packet_unref(m_packet);
    return receiveFrame(block) ? Step::Samples : Step::Nothing;
}

bool AudioDecoder::receiveFrame(SampleBlock& block)
{
    // A delivered frame stays referenced until the next receive: the block may
    // point into it.
    while (avcodec_receive_frame(m_codec, m_frame) == 0) {
        if (convertFrame(block))
            return true;
    }
    return false;
}

int AudioDecoder::framesToDrop(int64_t frameTs) const
{
    if (m_dropBeforeTs == INT64_MIN || frameTs >= m_dropBeforeTs)
        return 0;
    const AVRational timeBase = m_format->streams[m_stream]->time_base;
    return int(qMin<int64_t>(av_rescale_q(m_dropBeforeTs - frameTs, timeBase, AVRational{1, m_codec->sample_rate}),
                             m_frame->nb_samples));
}

bool AudioDecoder::convertFrame(SampleBlock& block)
{
    const AVRational timeBase = m_format->streams[m_stream]->time_base;
    const AVRational sampleTime{1, m_frame->sample_rate > 0 ? m_frame->sample_rate : m_codec->sample_rate};
    const int frames = m_frame->nb_samples;
    const int channelCount = m_frame->ch_layout.nb_channels;
    if (frames <= 0 || channelCount <= 0)
        return false;

    int64_t frameTs = m_frame->best_effort_timestamp;
    if (frameTs == AV_NOPTS_VALUE)
        frameTs = m_nextTs == INT64_MIN ? startTimestamp() : m_nextTs;
    m_nextTs = frameTs + av_rescale_q(frames, sampleTime, timeBase);
    const int drop = framesToDrop(frameTs);
    if (drop >= frames)
        return false;
    m_dropBeforeTs = INT64_MIN; // past the range start: everything from here on counts
    m_blockTs = frameTs + av_rescale_q(drop, sampleTime, timeBase);

    const int16_t* samples = nullptr;
    if (m_frame->format == AV_SAMPLE_FMT_S16) {
        samples = reinterpret_cast<const int16_t*>(m_frame->data[0]);
    } else {
        const ResamplerInput input{m_frame->format, channelCount, sampleTime.den};
        if (!(m_resamplerInput == input)) {
            swr_free(&m_resampler);
            if (swr_alloc_set_opts2(&m_resampler, &m_frame->ch_layout, AV_SAMPLE_FMT_S16, sampleTime.den,
                                    &m_frame->ch_layout, AVSampleFormat(m_frame->format), sampleTime.den, 0,
                                    nullptr) < 0 ||
                swr_init(m_resampler) < 0) {
                swr_free(&m_resampler);
                m_resamplerInput = {};
                return false;
            }
            m_resamplerInput = input;
        }
        m_converted.resize(size_t(frames) * size_t(channelCount));
        uint8_t* out = reinterpret_cast<uint8_t*>(m_converted.data());
        const int converted = swr_convert(m_resampler, &out, frames,
                                          const_cast<const uint8_t**>(m_frame->extended_data), frames);
        if (converted < frames)
            return false;
        samples = m_converted.data();
    }
    block.samples = samples + size_t(drop) * size_t(channelCount);
    block.count = (frames - drop) * channelCount;
    return true;
}
