#include "TempoStage.h"

#include "MediaLog.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr int kBytesPerSample = 2;
// Fades and cross-fades: long enough to be no click, short enough not to be
// heard as a fade.
constexpr int kFadeMs = 5;
// More than atempo holds back at any rate the engine plays (46 ms at 44.1
// and 48 kHz, 43 ms at 96 kHz).
constexpr int kHistoryMs = 100;
// The sound after a stretch's end repeats its last period, found between
// these lengths (voices and tones of 40 to 500 Hz) as the one whose previous
// window of kMatchWindowMs is most like the last.
constexpr int kShortestPeriodMs = 2;
constexpr int kLongestPeriodMs = 25;
constexpr int kMatchWindowMs = 10;
// Tempos go to the filter as a ratio of integers: its option parser reads a
// decimal point by the C library's locale, which Qt sets from the learner's.
constexpr int kTempoDenominator = 10000;

std::string tempoRatio(double tempo)
{
    return std::to_string(std::lround(tempo * kTempoDenominator)) + "/" + std::to_string(kTempoDenominator);
}

std::int16_t sampleAt(const std::uint8_t* bytes, size_t index)
{
    std::int16_t sample;
    std::memcpy(&sample, bytes + index * kBytesPerSample, sizeof sample);
    return sample;
}

void setSample(std::uint8_t* bytes, size_t index, double value)
{
    const auto sample = std::int16_t(std::lround(std::clamp(value, -32768.0, 32767.0)));
    std::memcpy(bytes + index * kBytesPerSample, &sample, sizeof sample);
}

// Rises from 0 at step 0 to 1 at step `length` along half a cosine.
double rising(int step, int length) { return 0.5 * (1.0 - std::cos(M_PI * double(step) / double(length))); }

} // namespace

TempoStage::TempoStage(int sampleRate, int channels)
    : m_rate(sampleRate)
    , m_channels(channels)
    , m_frameBytes(channels * kBytesPerSample)
    , m_fadeFrames(std::max(1, sampleRate * kFadeMs / 1000))
    , m_historyFrames(sampleRate * kHistoryMs / 1000)
{
}

TempoStage::~TempoStage()
{
    stop();
    av_frame_free(&m_frame);
}

void TempoStage::start(double tempo, std::int64_t first, bool fadeIn)
{
    stop();
    m_tempo = tempo;
    m_taken = 0;
    m_inputEnd = first;
    m_position = double(first);
    m_fadeInDone = fadeIn ? 0 : m_fadeFrames;
    m_history.clear();
    if (!m_frame)
        m_frame = av_frame_alloc();
    if (m_frame && build(tempo))
        return;
    qCWarning(lcMedia) << "cannot set up the tempo filter at" << tempo;
    stop();
}

bool TempoStage::build(double tempo)
{
    m_graph = avfilter_graph_alloc();
    if (!m_graph)
        return false;
    // atempo is light: the graph runs in the caller's thread, without a pool.
    m_graph->nb_threads = 1;
    AVChannelLayout layout;
    av_channel_layout_default(&layout, m_channels);
    char layoutName[64] = {};
    av_channel_layout_describe(&layout, layoutName, sizeof layoutName);
    av_channel_layout_uninit(&layout);
    const std::string sourceArgs = "sample_rate=" + std::to_string(m_rate) + ":sample_fmt=s16:channel_layout=" +
                                   layoutName + ":time_base=1/" + std::to_string(m_rate);
    const std::string tempoArgs = "tempo=" + tempoRatio(tempo);
    const AVSampleFormat formats[] = {AV_SAMPLE_FMT_S16};
    AVFilterContext* stretcher = nullptr;
    return avfilter_graph_create_filter(&m_source, avfilter_get_by_name("abuffer"), "source", sourceArgs.c_str(),
                                        nullptr, m_graph) >= 0 &&
           avfilter_graph_create_filter(&stretcher, avfilter_get_by_name("atempo"), "atempo", tempoArgs.c_str(),
                                        nullptr, m_graph) >= 0 &&
           avfilter_graph_create_filter(&m_sink, avfilter_get_by_name("abuffersink"), "sink", nullptr, nullptr,
                                        m_graph) >= 0 &&
           av_opt_set_bin(m_sink, "sample_fmts", reinterpret_cast<const std::uint8_t*>(formats), sizeof formats,
                          AV_OPT_SEARCH_CHILDREN) >= 0 &&
           avfilter_link(m_source, 0, stretcher, 0) >= 0 && avfilter_link(stretcher, 0, m_sink, 0) >= 0 &&
           avfilter_graph_config(m_graph, nullptr) >= 0;
}

void TempoStage::stop()
{
    avfilter_graph_free(&m_graph);
    m_source = nullptr;
    m_sink = nullptr;
}

void TempoStage::setTempo(double tempo)
{
    if (!m_graph || tempo == m_tempo)
        return;
    if (avfilter_graph_send_command(m_graph, "atempo", "tempo", tempoRatio(tempo).c_str(), nullptr, 0, 0) < 0)
        qCWarning(lcMedia) << "the tempo filter refused" << tempo;
    else
        m_tempo = tempo;
}

bool TempoStage::process(const std::uint8_t* data, int frames, std::vector<std::uint8_t>& out)
{
    if (!m_graph)
        return false;
    const bool taken = send(data, frames);
    if (taken) {
        keepHistory(data, frames);
        m_inputEnd += frames;
    }
    if (taken && collect(out))
        return true;
    qCWarning(lcMedia) << "the tempo filter failed";
    return false;
}

void TempoStage::finish(std::vector<std::uint8_t>& out)
{
    const int frames = drain(out);
    const int fade = std::min(m_fadeFrames, frames);
    std::uint8_t* tail = out.data() + out.size() - size_t(fade) * size_t(m_frameBytes);
    for (int i = 0; i < fade; ++i) {
        const double gain = rising(fade - 1 - i, m_fadeFrames);
        for (int channel = 0; channel < m_channels; ++channel) {
            const size_t at = size_t(i) * size_t(m_channels) + size_t(channel);
            setSample(tail, at, sampleAt(tail, at) * gain);
        }
    }
}

int TempoStage::finishInto(std::vector<std::uint8_t>& out, const std::uint8_t* next, int frames)
{
    const int overlap = std::min({m_fadeFrames, frames, drain(out)});
    std::uint8_t* tail = out.data() + out.size() - size_t(overlap) * size_t(m_frameBytes);
    for (int i = 0; i < overlap; ++i) {
        const double gain = rising(i + 1, overlap + 1);
        for (int channel = 0; channel < m_channels; ++channel) {
            const size_t at = size_t(i) * size_t(m_channels) + size_t(channel);
            setSample(tail, at, sampleAt(tail, at) * (1.0 - gain) + sampleAt(next, at) * gain);
        }
    }
    m_position += overlap;
    return overlap;
}

int TempoStage::drain(std::vector<std::uint8_t>& out)
{
    if (!m_graph)
        return 0;
    const auto owed = std::max<std::int64_t>(0, std::llround((double(m_inputEnd) - m_position) / m_tempo));
    const std::vector<std::uint8_t> tail = continuation();
    const size_t before = out.size();
    const bool drained = (tail.empty() || send(tail.data(), int(tail.size()) / m_frameBytes)) &&
                         av_buffersrc_add_frame(m_source, nullptr) >= 0 && collect(out, owed);
    if (!drained)
        qCWarning(lcMedia) << "the tempo filter failed at the end of a stretch";
    // A stretch shorter than atempo's window may give less than it owes.
    out.resize(before + size_t(owed) * size_t(m_frameBytes), 0);
    m_position = double(m_inputEnd);
    stop();
    return int(owed);
}

bool TempoStage::send(const std::uint8_t* data, int frames)
{
    m_frame->nb_samples = frames;
    m_frame->format = AV_SAMPLE_FMT_S16;
    m_frame->sample_rate = m_rate;
    m_frame->pts = m_taken;
    av_channel_layout_default(&m_frame->ch_layout, m_channels);
    if (av_frame_get_buffer(m_frame, 0) < 0)
        return false;
    std::memcpy(m_frame->data[0], data, size_t(frames) * size_t(m_frameBytes));
    m_taken += frames;
    // The source takes the frame's buffer and leaves it blank.
    const int result = av_buffersrc_add_frame(m_source, m_frame);
    av_frame_unref(m_frame);
    return result >= 0;
}

bool TempoStage::collect(std::vector<std::uint8_t>& out, std::int64_t limit)
{
    std::int64_t put = 0;
    int result = 0;
    while ((result = av_buffersink_get_frame(m_sink, m_frame)) >= 0) {
        const int frames = int(std::min<std::int64_t>(m_frame->nb_samples, limit < 0 ? INT64_MAX : limit - put));
        if (frames > 0) {
            const size_t first = out.size() / kBytesPerSample;
            out.insert(out.end(), m_frame->data[0], m_frame->data[0] + size_t(frames) * size_t(m_frameBytes));
            for (int i = 0; i < frames && m_fadeInDone < m_fadeFrames; ++i, ++m_fadeInDone) {
                const double gain = rising(m_fadeInDone, m_fadeFrames);
                for (int channel = 0; channel < m_channels; ++channel) {
                    const size_t at = first + size_t(i) * size_t(m_channels) + size_t(channel);
                    setSample(out.data(), at, sampleAt(out.data(), at) * gain);
                }
            }
            m_position += frames * m_tempo;
            put += frames;
        }
        av_frame_unref(m_frame);
    }
    return result == AVERROR(EAGAIN) || result == AVERROR_EOF;
}

std::vector<std::uint8_t> TempoStage::continuation() const
{
    const int frames = int(m_history.size()) / m_frameBytes;
    const int window = m_rate * kMatchWindowMs / 1000;
    const int shortest = std::max(1, m_rate * kShortestPeriodMs / 1000);
    const int longest = std::min(m_rate * kLongestPeriodMs / 1000, frames - window);
    if (longest < shortest)
        return {};
    std::vector<double> mono(size_t(frames), 0.0);
    for (size_t i = 0; i < mono.size(); ++i)
        for (int channel = 0; channel < m_channels; ++channel)
            mono[i] += sampleAt(m_history.data(), i * size_t(m_channels) + size_t(channel));
    // The period whose previous window is most like the last one.
    int period = longest;
    double best = -1.0;
    for (int lag = shortest; lag <= longest; ++lag) {
        double product = 0.0;
        double energy = 0.0;
        for (int i = frames - window; i < frames; ++i) {
            product += mono[size_t(i)] * mono[size_t(i - lag)];
            energy += mono[size_t(i - lag)] * mono[size_t(i - lag)];
        }
        const double likeness = energy > 0.0 ? product / std::sqrt(energy) : 0.0;
        if (likeness > best) {
            best = likeness;
            period = lag;
        }
    }
    std::vector<std::uint8_t> tail(size_t(m_historyFrames) * size_t(m_frameBytes));
    const std::uint8_t* repeated = m_history.data() + size_t(frames - period) * size_t(m_frameBytes);
    for (int i = 0; i < m_historyFrames; ++i)
        std::memcpy(tail.data() + size_t(i) * size_t(m_frameBytes), repeated + size_t(i % period) * size_t(m_frameBytes),
                    size_t(m_frameBytes));
    return tail;
}

void TempoStage::keepHistory(const std::uint8_t* data, int frames)
{
    m_history.insert(m_history.end(), data, data + size_t(frames) * size_t(m_frameBytes));
    const size_t keep = size_t(m_historyFrames) * size_t(m_frameBytes);
    if (m_history.size() > keep)
        m_history.erase(m_history.begin(), m_history.end() - std::ptrdiff_t(keep));
}
