#include "IAudio.h"

#include "MediaLog.h"
#include "VolumeScale.h"

#include <QAudioSink>
#include <QMediaDevices>

#include <algorithm>
#include <cstring>

namespace {

// How far ahead of what is heard the sink accepts samples. It bounds the
// delay of a seek and how far the audio clock runs ahead of the ear; much
// less and a busy machine starts to drop out.
constexpr int kSinkBufferMs = 60;
// Writes of less than this wait for more room: every write is a message to
// the sound server, and slivers cost as much as full blocks.
constexpr int kSmallestWriteMs = 10;

QAudioFormat::SampleFormat sampleFormatFor(int sampleSize)
{
    return sampleSize == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16;
}

} // namespace

IAudio::IAudio()
{
    m_format.setSampleRate(48000);
    m_format.setChannelCount(2);
    m_format.setSampleFormat(QAudioFormat::Int16);
}

IAudio::~IAudio() { stop(); }

void IAudio::setDevice(const QAudioDevice& device) { m_device = device; }

void IAudio::useDefaultOutput() { setDevice(QMediaDevices::defaultAudioOutput()); }

bool IAudio::hasOutput()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_output && m_output->state() != QAudio::StoppedState;
}

bool IAudio::setFormat(int sampleRate, int sampleSize, int channels)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_output && m_format.sampleRate() == sampleRate && m_format.channelCount() == channels &&
        m_format.bytesPerSample() * 8 == sampleSize)
        return true;
    QAudioFormat wanted;
    wanted.setSampleRate(sampleRate);
    wanted.setChannelCount(channels);
    wanted.setSampleFormat(sampleFormatFor(sampleSize));
    if (!m_output)
        m_format = wanted; // the silent clock runs at this rate
    if (m_device.isNull()) {
        qCWarning(lcMedia) << "no audio output device; playing silently";
        return false;
    }
    // Qt 6 has no nearest format: the device's preferred one stands in.
    if (!m_device.isFormatSupported(wanted))
        wanted = m_device.preferredFormat();
    if (!m_device.isFormatSupported(wanted))
        return false;
    stopLocked();
    m_format = wanted;
    m_output = new QAudioSink(m_device, m_format);
    m_output->setBufferSize(m_format.bytesForDuration(kSinkBufferMs * 1000));
    m_sink = m_output->start();
    if (!m_sink || m_output->state() == QAudio::StoppedState) {
        qCWarning(lcMedia) << "audio sink did not start:" << m_output->error();
        stopLocked();
        return false;
    }
    return true;
}

int IAudio::write(const char* data, int length)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_output || !m_sink || m_output->state() == QAudio::StoppedState)
        return writeSilentlyLocked(length);
    if (m_output->state() == QAudio::SuspendedState)
        return 0;
    const int bytes = int(std::min<qsizetype>(length, m_output->bytesFree()));
    if (bytes <= 0 || (bytes < length && bytes < m_format.bytesForDuration(kSmallestWriteMs * 1000)))
        return 0;
    // Scaled in a copy: the caller's samples stay as decoded.
    m_scratch.resize(bytes);
    char* samples = m_scratch.data();
    std::memcpy(samples, data, size_t(bytes));
    const float left = m_leftGain.load(std::memory_order_relaxed);
    const float right = m_rightGain.load(std::memory_order_relaxed);
    if (m_format.sampleFormat() == QAudioFormat::UInt8)
        volume::scaleSamples<quint8>(samples, bytes, m_format.channelCount(), left, right);
    else
        volume::scaleSamples<qint16>(samples, bytes, m_format.channelCount(), left, right);
    return static_cast<int>(m_sink->write(samples, bytes));
}

// Takes what a sink of kSinkBufferMs would have room for by now, so the
// writer keeps the pace of real playback.
int IAudio::writeSilentlyLocked(int length)
{
    const qint64 frameBytes = std::max(1, m_format.bytesPerFrame());
    if (!m_silentClock.isValid()) {
        m_silentClock.start();
        m_silentBytes = 0;
    }
    const qint64 played = m_format.bytesForDuration(m_silentClock.nsecsElapsed() / 1000);
    const qint64 room = played + m_format.bytesForDuration(kSinkBufferMs * 1000) - m_silentBytes;
    const qint64 taken = std::clamp<qint64>(room, 0, length) / frameBytes * frameBytes;
    m_silentBytes += taken;
    return int(taken);
}

void IAudio::stop()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    stopLocked();
}

void IAudio::stopLocked()
{
    if (!m_output)
        return;
    m_output->stop();
    delete m_output;
    m_output = nullptr;
    m_sink = nullptr;
}

void IAudio::setVolume(float gain)
{
    m_leftGain.store(gain, std::memory_order_relaxed);
    m_rightGain.store(gain, std::memory_order_relaxed);
}
