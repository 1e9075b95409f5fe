#include "AudioThread.h"

#include "controller/Contracts.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <algorithm>
#include <cmath>

namespace {

constexpr int kBytesPerSample = 2;
// Bounds of the wait for the device to take more samples: long enough not
// to spin, short enough to keep its buffer (60 ms) from running dry.
constexpr int kMinWriteWaitMs = 1;
constexpr int kMaxWriteWaitMs = 20;
// Silence written after the last samples: once the device has taken it, the
// sound before it has left the device's buffer, which is shorter, and is
// heard in full even if the device is deleted at once.
constexpr int kTailSilenceMs = 100;
// How often a loop held at its end looks for the seek that ends the hold.
constexpr int kHeldPollMs = 10;
// Pieces of sound fed to the tempo stage: a change of speed waits behind one
// of them at most.
constexpr int kTempoPieceMs = 10;

} // namespace

audioThread::audioThread(const DecoderSetup& setup, const AVFormatContext* format, AudioDev* output, int channels,
                         Restart restart, QObject* parent)
    : DecodingThread(setup, parent)
    , m_output(output)
    , m_sampleRate(setup.decoder->sample_rate)
    , m_frameBytes(channels * kBytesPerSample)
    , m_restart(std::move(restart))
    , m_tempo(m_sampleRate, channels)
    , m_pieceFrames(std::max(1, m_sampleRate * kTempoPieceMs / 1000))
{
    setObjectName(QStringLiteral("audioThread"));
    m_blocks.open(format, setup.streamIndex, setup.decoder);
    m_blocks.converter().setOutput(0, channels, SampleFormat::Int16);
}

void audioThread::setMarks(std::int64_t markIn, std::int64_t markOut)
{
    m_markIn.store(markIn);
    m_markOut.store(markOut);
}

void audioThread::run()
{
    AVPacket* packet = av_packet_alloc();
    Outcome outcome = packet ? Outcome::Continue : Outcome::Stop;
    while (outcome == Outcome::Continue) {
        if (isStopping() || !holdWhilePaused())
            break;
        if (m_held)
            waitWhileHeld();
        if (!takePacket(packet)) {
            // The end of the data: what the decoder still holds is sound too.
            outcome = isStopping() ? Outcome::Stop : decode(nullptr);
            if (outcome == Outcome::Continue && m_tempo.isRunning() && !finishStretch(loopEnd()))
                outcome = Outcome::Stop;
            if (outcome == Outcome::Continue)
                outcome = Outcome::End;
            break;
        }
        outcome = handlePacket(packet);
        av_packet_unref(packet);
    }
    if (outcome == Outcome::End)
        writeSilence(kTailSilenceMs);
    av_packet_free(&packet);
    finish();
}

audioThread::Outcome audioThread::handlePacket(AVPacket* packet)
{
    if (PacketQueue::isFlushMarker(packet)) {
        avcodec_flush_buffers(m_setup.decoder);
        m_blocks.restart();
        m_tempo.stop();
        m_cut = false;
        m_afterJump = true;
        return Outcome::Continue;
    }
    if (packet->stream_index != m_setup.streamIndex || m_cut)
        return Outcome::Continue;
    return decode(packet);
}

audioThread::Outcome audioThread::decode(const AVPacket* packet)
{
    if (!holdWhilePaused())
        return Outcome::Stop;
    if (avcodec_send_packet(m_setup.decoder, packet) < 0)
        return Outcome::Continue; // a broken packet is skipped
    AVFrame* frame = av_frame_alloc();
    Outcome outcome = frame ? Outcome::Continue : Outcome::Stop;
    // Frames after a cut or the end are still received, so that the decoder
    // is empty for the next packet.
    while (frame && avcodec_receive_frame(m_setup.decoder, frame) == 0) {
        if (outcome == Outcome::Continue && !m_cut)
            outcome = writeFrame(frame);
        av_frame_unref(frame);
    }
    av_frame_free(&frame);
    return outcome;
}

void audioThread::checkMarks(std::int64_t first, std::int64_t end, bool looping)
{
    const auto within = [first, end](std::int64_t mark) { return mark != kNoSample && first <= mark && mark < end; };
    if (within(m_markIn.load()))
        emit sigMarkIn();
    // A loop reports its mark-out where it cuts the sound.
    if (!looping && within(m_markOut.load()))
        emit sigMarkOut();
}

std::int64_t audioThread::loopEnd() const
{
    if (!m_looping.load() || m_markIn.load() == kNoSample)
        return kNoSample;
    return m_markOut.load();
}

void audioThread::cutAtLoopEnd()
{
    m_cut = true;
    m_held = m_hold.load();
    m_heldAt = m_seeks.load();
    emit sigMarkOut();
    if (m_restart && !m_held)
        m_restart();
}

void audioThread::waitWhileHeld()
{
    // Nothing more is taken from the queue, which fills and so stops the
    // reading, until the seek that ends the hold.
    while (m_hold.load() && m_seeks.load() == m_heldAt && !isStopping())
        idle(kHeldPollMs);
    m_held = false;
}

audioThread::Outcome audioThread::writeFrame(const AVFrame* frame)
{
    // Before any seek, the sound starts at its first sample: a coding delay
    // that the container leaves in front of it is not played.
    const std::int64_t discard = std::max<std::int64_t>(discardBefore(), 0);
    SoundBlock block;
    if (!m_blocks.take(frame, discard, block))
        return Outcome::Continue;
    const std::int64_t end = loopEnd();
    // Stretched sound meets its marks as the stage puts it out.
    const bool plain = !m_tempo.isRunning() && speed::isNormal(m_speed.load());
    if (plain)
        checkMarks(block.first, block.first + block.frames, end != kNoSample);
    // A loop's end or the media's out-point inside this block: its samples
    // up to there are the last ones played. A loop whose end was set behind
    // playback is left to the controller's seek.
    const bool cut = end != kNoSample && block.first <= end && !block.keepBefore(end);
    const std::int64_t outPoint = m_outPoint.load();
    const bool ended = outPoint != kNoSample && !block.keepBefore(outPoint);
    if (!(plain ? writePlain(block, end) : writeStretched(block, end, cut || ended)))
        return Outcome::Stop;
    if (cut)
        cutAtLoopEnd();
    return ended ? Outcome::End : Outcome::Continue;
}

bool audioThread::writePlain(const SoundBlock& block, std::int64_t loopEnd)
{
    // A loop's clock never shows a time past its end, which would make the
    // controller seek back a second time.
    if (loopEnd == kNoSample || block.first < loopEnd)
        m_clock.store(block.first);
    m_afterJump = false;
    return writeAll(block.data, block.frames * m_frameBytes);
}

bool audioThread::writeStretched(SoundBlock block, std::int64_t loopEnd, bool last)
{
    while (block.frames > 0) {
        const double wanted = m_speed.load();
        if (!speed::isNormal(wanted))
            followSpeed(wanted, block.first);
        else if (m_tempo.isRunning() && !joinNormalSpeed(block, loopEnd))
            return false;
        if (!m_tempo.isRunning()) {
            // Normal speed again, or no stage to be had: the rest as decoded.
            checkMarks(block.first, block.first + block.frames, loopEnd != kNoSample);
            return writePlain(block, loopEnd);
        }
        const int frames = std::min(m_pieceFrames, block.frames);
        const double from = m_tempo.position();
        m_stretched.clear();
        // A failed stage is dropped; the next piece starts another.
        if (!m_tempo.process(block.data, frames, m_stretched))
            m_tempo.stop();
        if (!writeTempoOutput(from, loopEnd))
            return false;
        skipFrames(block, frames);
    }
    return !last || !m_tempo.isRunning() || finishStretch(loopEnd);
}

void audioThread::followSpeed(double wanted, std::int64_t next)
{
    if (m_tempo.isRunning())
        m_tempo.setTempo(wanted);
    else
        m_tempo.start(wanted, next, m_afterJump);
}

bool audioThread::joinNormalSpeed(SoundBlock& block, std::int64_t loopEnd)
{
    const double from = m_tempo.position();
    m_stretched.clear();
    // What the stage holds goes out at normal speed too.
    m_tempo.setTempo(speed::kNormal);
    skipFrames(block, m_tempo.finishInto(m_stretched, block.data, block.frames));
    return writeTempoOutput(from, loopEnd);
}

void audioThread::skipFrames(SoundBlock& block, int frames) const
{
    block.first += frames;
    block.data += size_t(frames) * size_t(m_frameBytes);
    block.frames -= frames;
}

bool audioThread::writeTempoOutput(double from, std::int64_t loopEnd)
{
    if (m_stretched.empty())
        return true;
    const auto first = std::int64_t(std::floor(from));
    checkMarks(first, std::int64_t(std::floor(m_tempo.position())), loopEnd != kNoSample);
    if (loopEnd == kNoSample || first < loopEnd)
        m_clock.store(first);
    m_afterJump = false;
    return writeAll(m_stretched.data(), int(m_stretched.size()));
}

bool audioThread::finishStretch(std::int64_t loopEnd)
{
    const double from = m_tempo.position();
    m_stretched.clear();
    m_tempo.finish(m_stretched);
    return writeTempoOutput(from, loopEnd);
}

void audioThread::writeSilence(int ms)
{
    m_silence.assign(size_t(m_sampleRate) * size_t(ms) / 1000 * size_t(m_frameBytes), 0);
    writeAll(m_silence.data(), int(m_silence.size()));
}

bool audioThread::writeAll(const std::uint8_t* data, int length)
{
    const int bytesPerMs = std::max(1, m_sampleRate * m_frameBytes / 1000);
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
