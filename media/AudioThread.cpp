#include "AudioThread.h"

#include "MediaLog.h"

#include "controller/Contracts.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mathematics.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>

namespace {

// The decoder's output buffer; it grows only for frames larger than this.
constexpr int kSampleBufferBytes = 192000;
constexpr int kBytesPerSample = 2;
// Bounds of the wait for the device to take more samples: long enough not
// to spin, short enough to keep its buffer (60 ms) from running dry.
constexpr int kMinWriteWaitMs = 1;
constexpr int kMaxWriteWaitMs = 20;
// Silence written after the last samples: once the device has taken it, the
// sound before it has left the device's buffer, which is shorter, and is
// heard in full even if the device is deleted at once.
constexpr int kTailSilenceMs = 100;

std::int64_t packetTime(const AVPacket* packet)
{
    if (packet->dts != AV_NOPTS_VALUE)
        return packet->dts;
    return packet->pts != AV_NOPTS_VALUE ? packet->pts : kNoTimestamp;
}

} // namespace

audioThread::audioThread(const DecoderSetup& setup, AudioDev* output, int sampleRate, int channels,
                         Restart restart, QObject* parent)
    : DecodingThread(setup, parent)
    , m_output(output)
    , m_sampleRate(sampleRate)
    , m_channels(channels)
    , m_restart(std::move(restart))
    , m_nextSampleTime(kNoTimestamp)
{
    setObjectName(QStringLiteral("audioThread"));
}

audioThread::~audioThread() { swr_free(&m_resampler); }

void audioThread::setMarks(std::int64_t markIn, std::int64_t markOut)
{
    m_markIn.store(markIn);
    m_markOut.store(markOut);
}

void audioThread::run()
{
    m_samples.assign(kSampleBufferBytes, 0);
    AVPacket* packet = av_packet_alloc();
    std::int64_t previous = kNoTimestamp;
    Outcome outcome = packet ? Outcome::Continue : Outcome::Stop;
    while (outcome == Outcome::Continue) {
        if (isStopping() || !holdWhilePaused())
            break;
        if (!takePacket(packet)) {
            // The end of the data: what the decoder still holds is sound too.
            outcome = isStopping() || !decode(nullptr) ? Outcome::Stop : Outcome::End;
            break;
        }
        outcome = handlePacket(packet, previous);
        av_packet_unref(packet);
    }
    if (outcome == Outcome::End)
        writeSilence(kTailSilenceMs);
    av_packet_free(&packet);
    m_samples.clear();
    m_samples.shrink_to_fit();
    finish();
}

audioThread::Outcome audioThread::handlePacket(AVPacket* packet, std::int64_t& previous)
{
    if (PacketQueue::isFlushMarker(packet)) {
        avcodec_flush_buffers(m_setup.decoder);
        m_nextSampleTime = kNoTimestamp;
        m_cut = false;
        return Outcome::Continue;
    }
    if (packet->stream_index != m_setup.streamIndex || m_cut)
        return Outcome::Continue;
    const std::int64_t timestamp = packetTime(packet);
    const std::int64_t discard = discardBefore();
    // A packet before the discard point is still decoded, for the decoder's
    // memory of earlier frames, but none of its sound before that point is
    // written.
    const bool beforeDiscard = discard != kNoTimestamp && timestamp != kNoTimestamp && timestamp < discard;
    if (!beforeDiscard && timestamp != kNoTimestamp) {
        const std::int64_t end = loopEnd();
        checkMarks(previous, timestamp, end != kNoTimestamp);
        const std::int64_t outPoint = m_outPoint.load();
        if (outPoint != kNoTimestamp && timestamp > outPoint)
            return Outcome::End;
        // A loop's clock never shows a time past its end, which would make
        // the controller seek back a second time.
        if (end == kNoTimestamp || timestamp < end)
            m_clock.store(timestamp);
    }
    if (timestamp != kNoTimestamp)
        previous = timestamp;
    return decode(packet) ? Outcome::Continue : Outcome::Stop;
}

void audioThread::checkMarks(std::int64_t previous, std::int64_t timestamp, bool looping)
{
    if (previous == kNoTimestamp)
        return;
    const std::int64_t markIn = m_markIn.load();
    if (markIn != kNoTimestamp && previous < markIn && markIn <= timestamp)
        emit sigMarkIn();
    // A loop reports its mark-out where it cuts the sound.
    const std::int64_t markOut = m_markOut.load();
    if (!looping && markOut != kNoTimestamp && previous < markOut && markOut <= timestamp)
        emit sigMarkOut();
}

std::int64_t audioThread::loopEnd() const
{
    if (!m_looping.load() || m_markIn.load() == kNoTimestamp)
        return kNoTimestamp;
    return m_markOut.load();
}

void audioThread::cutAtLoopEnd()
{
    m_cut = true;
    emit sigMarkOut();
    if (m_restart)
        m_restart();
}

bool audioThread::decode(const AVPacket* packet)
{
    if (!holdWhilePaused())
        return false;
    if (avcodec_send_packet(m_setup.decoder, packet) < 0)
        return true; // a broken packet is skipped
    AVFrame* frame = av_frame_alloc();
    bool going = frame != nullptr;
    while (going && avcodec_receive_frame(m_setup.decoder, frame) == 0) {
        going = writeFrame(frame);
        av_frame_unref(frame);
    }
    av_frame_free(&frame);
    return going;
}

bool audioThread::prepareResampler(const AVFrame* frame)
{
    const int channels = frame->ch_layout.nb_channels;
    if (m_resampler && frame->format == m_resamplerFormat && frame->sample_rate == m_resamplerRate &&
        channels == m_resamplerChannels)
        return true;
    swr_free(&m_resampler);
    AVChannelLayout in;
    AVChannelLayout out;
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&in, channels);
    else if (av_channel_layout_copy(&in, &frame->ch_layout) < 0)
        return false;
    av_channel_layout_default(&out, m_channels);
    const int result = swr_alloc_set_opts2(&m_resampler, &out, AV_SAMPLE_FMT_S16, m_sampleRate, &in,
                                           AVSampleFormat(frame->format), frame->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    if (result < 0 || swr_init(m_resampler) < 0) {
        qCWarning(lcMedia) << "cannot convert audio of format" << frame->format;
        swr_free(&m_resampler);
        return false;
    }
    m_resamplerFormat = frame->format;
    m_resamplerRate = frame->sample_rate;
    m_resamplerChannels = channels;
    return true;
}

bool audioThread::writeFrame(const AVFrame* frame)
{
    if (frame->sample_rate <= 0 || !prepareResampler(frame))
        return true; // undecodable sound is left out
    const AVRational sampleTime{1, frame->sample_rate};
    std::int64_t start = frame->best_effort_timestamp;
    if (start == AV_NOPTS_VALUE)
        start = m_nextSampleTime;
    if (start != kNoTimestamp)
        m_nextSampleTime = start + av_rescale_q(frame->nb_samples, sampleTime, m_setup.timeBase);

    const int capacity = swr_get_out_samples(m_resampler, frame->nb_samples);
    if (capacity < 0)
        return true;
    const int bytesNeeded = capacity * m_channels * kBytesPerSample;
    if (int(m_samples.size()) < bytesNeeded)
        m_samples.resize(size_t(bytesNeeded));
    std::uint8_t* out = m_samples.data();
    const int converted = swr_convert(m_resampler, &out, capacity, const_cast<const std::uint8_t**>(frame->extended_data),
                                      frame->nb_samples);
    if (converted <= 0)
        return true;

    // Samples before the discard point are dropped one by one, so that a
    // seek starts at its very sample.
    int skipped = 0;
    const std::int64_t discard = discardBefore();
    if (discard != kNoTimestamp && start != kNoTimestamp && start < discard) {
        const std::int64_t late = av_rescale_q_rnd(discard - start, m_setup.timeBase, {1, m_sampleRate},
                                                   AVRounding(AV_ROUND_UP | AV_ROUND_PASS_MINMAX));
        skipped = int(std::min<std::int64_t>(late, converted));
    }
    // A loop's end inside this frame: its samples up to that point are the
    // last ones played before the restart.
    int kept = converted;
    const std::int64_t end = loopEnd();
    if (end != kNoTimestamp && start != kNoTimestamp && start <= end) {
        const std::int64_t cut = av_rescale_q(end - start, m_setup.timeBase, {1, m_sampleRate});
        kept = int(std::min<std::int64_t>(cut, converted));
    }
    const int frameBytes = m_channels * kBytesPerSample;
    const bool written =
        kept <= skipped || writeAll(out + skipped * frameBytes, (kept - skipped) * frameBytes);
    if (written && kept < converted)
        cutAtLoopEnd();
    return written;
}

void audioThread::writeSilence(int ms)
{
    const int bytes = m_sampleRate * ms / 1000 * m_channels * kBytesPerSample;
    if (int(m_samples.size()) < bytes)
        m_samples.resize(size_t(bytes));
    std::fill_n(m_samples.begin(), bytes, std::uint8_t(0));
    writeAll(m_samples.data(), bytes);
}

bool audioThread::writeAll(const std::uint8_t* data, int length)
{
    const int bytesPerMs = std::max(1, m_sampleRate * m_channels * kBytesPerSample / 1000);
    while (length > 0) {
        if (!holdWhilePaused())
            return false;
        const int accepted = std::max(0, m_output->write(reinterpret_cast<const char*>(data), length));
        data += accepted;
        length -= accepted;
        if (length > 0) // the device is full: it frees space as it plays
            idle(std::clamp(length / bytesPerMs, kMinWriteWaitMs, kMaxWriteWaitMs));
    }
    return true;
}
