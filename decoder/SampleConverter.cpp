#include "SampleConverter.h"

#include "DecoderLog.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

namespace {

AVSampleFormat avFormat(SampleFormat format)
{
    return format == SampleFormat::Float ? AV_SAMPLE_FMT_FLT : AV_SAMPLE_FMT_S16;
}

} // namespace

SampleConverter::~SampleConverter() { swr_free(&m_resampler); }

void SampleConverter::setOutput(int rate, int channels, SampleFormat format)
{
    m_rate = rate;
    m_channels = channels;
    m_format = format;
    swr_free(&m_resampler);
    m_inputFormat = -1;
}

int SampleConverter::bytesPerFrame(int sourceChannels) const
{
    return outputChannels(sourceChannels) * av_get_bytes_per_sample(avFormat(m_format));
}

void SampleConverter::reset()
{
    // A resampler keeps the end of the previous frame for its filter; a
    // conversion without one keeps nothing.
    if (m_resampler && m_inputRate != outputRate(m_inputRate))
        swr_init(m_resampler);
}

bool SampleConverter::prepare(const AVFrame* frame)
{
    const int channels = frame->ch_layout.nb_channels;
    if (m_resampler && frame->format == m_inputFormat && frame->sample_rate == m_inputRate &&
        channels == m_inputChannels)
        return true;
    swr_free(&m_resampler);
    m_inputFormat = -1;
    AVChannelLayout in{};
    AVChannelLayout out{};
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&in, channels);
    else if (av_channel_layout_copy(&in, &frame->ch_layout) < 0)
        return false;
    if (m_channels > 0 && m_channels != channels)
        av_channel_layout_default(&out, m_channels);
    else if (av_channel_layout_copy(&out, &in) < 0)
        av_channel_layout_default(&out, channels);
    const int result = swr_alloc_set_opts2(&m_resampler, &out, avFormat(m_format), outputRate(frame->sample_rate), &in,
                                           AVSampleFormat(frame->format), frame->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    // Mixed down, channels are averaged: the same sound in both channels of
    // a stereo file keeps its level in mono, as ffmpeg's own downmix does.
    if (result >= 0)
        av_opt_set_double(m_resampler, "rematrix_maxval", 1.0, 0);
    if (result < 0 || swr_init(m_resampler) < 0) {
        qCWarning(lcDecoder) << "cannot convert audio of format" << frame->format;
        swr_free(&m_resampler);
        return false;
    }
    m_inputFormat = frame->format;
    m_inputRate = frame->sample_rate;
    m_inputChannels = channels;
    return true;
}

int SampleConverter::convert(const AVFrame* frame, int first, int frames)
{
    if (frame->sample_rate <= 0 || frame->ch_layout.nb_channels <= 0 || first < 0 || frames <= 0 ||
        first + frames > frame->nb_samples || !prepare(frame))
        return -1;
    const auto input = AVSampleFormat(frame->format);
    const int bytesPerSample = av_get_bytes_per_sample(input);
    const bool planar = av_sample_fmt_is_planar(input);
    const int planes = planar ? frame->ch_layout.nb_channels : 1;
    // Where the first converted sample lies in each plane.
    m_planes.resize(size_t(planes));
    const int skip = first * bytesPerSample * (planar ? 1 : frame->ch_layout.nb_channels);
    for (int plane = 0; plane < planes; ++plane)
        m_planes[size_t(plane)] = frame->extended_data[plane] + skip;

    const int capacity = swr_get_out_samples(m_resampler, frames);
    if (capacity < 0)
        return -1;
    m_buffer.resize(size_t(capacity) * size_t(bytesPerFrame(frame->ch_layout.nb_channels)));
    std::uint8_t* out = m_buffer.data();
    return swr_convert(m_resampler, &out, capacity, m_planes.data(), frames);
}
