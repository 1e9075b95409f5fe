#include "IAudio.h"

#include <QAudioSink>
#include <QMediaDevices>
#include <QMutexLocker>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// Gains have no upper limit, so products are clamped to the sample range
// instead of overflowing.
template <typename Sample>
Sample scaled(Sample sample, float gain)
{
    const float product = static_cast<float>(sample) * gain;
    const float low = static_cast<float>(std::numeric_limits<Sample>::min());
    const float high = static_cast<float>(std::numeric_limits<Sample>::max());
    return static_cast<Sample>(std::clamp(product, low, high)); // truncates toward zero
}

template <typename Sample>
void scaleSamples(char* bytes, int length, int channels, float left, float right)
{
    const int count = length / int(sizeof(Sample));
    for (int i = 0; i < count; ++i) {
        Sample sample;
        std::memcpy(&sample, bytes + i * sizeof(Sample), sizeof(Sample));
        const float gain = (channels == 2 && i % 2 == 1) ? right : left;
        sample = scaled(sample, gain);
        std::memcpy(bytes + i * sizeof(Sample), &sample, sizeof(Sample));
    }
}

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

QAudioFormat IAudio::format()
{
    QMutexLocker lock(&m_mutex);
    return m_format;
}

bool IAudio::setFormat(int sampleRate, int sampleSize, int channels)
{
    QMutexLocker lock(&m_mutex);
    if (m_output && m_format.sampleRate() == sampleRate && m_format.channelCount() == channels &&
        m_format.bytesPerSample() * 8 == sampleSize)
        return true;
    QAudioFormat wanted;
    wanted.setSampleRate(sampleRate);
    wanted.setChannelCount(channels);
    wanted.setSampleFormat(sampleFormatFor(sampleSize));
    if (m_device.isNull())
        return false;
    // Qt 6 has no nearest format: the device's preferred one stands in.
    if (!m_device.isFormatSupported(wanted))
        wanted = m_device.preferredFormat();
    if (!m_device.isFormatSupported(wanted))
        return false;
    stopLocked();
    m_format = wanted;
    m_output = new QAudioSink(m_device, m_format);
    m_sink = m_output->start();
    return m_sink != nullptr;
}

int IAudio::write(const char* data, int length)
{
    QMutexLocker lock(&m_mutex);
    if (!m_output || !m_sink)
        return 0;
    const QAudio::State state = m_output->state();
    if (state == QAudio::SuspendedState || state == QAudio::StoppedState)
        return 0;
    const int bytes = std::min<qsizetype>(length, m_output->bytesFree());
    if (bytes <= 0)
        return 0;
    // Scaled in a copy: the caller's samples stay as decoded.
    m_scratch.resize(bytes);
    char* samples = m_scratch.data();
    std::memcpy(samples, data, size_t(bytes));
    const float left = m_leftGain.load(std::memory_order_relaxed);
    const float right = m_rightGain.load(std::memory_order_relaxed);
    if (m_format.sampleFormat() == QAudioFormat::UInt8)
        scaleSamples<quint8>(samples, bytes, m_format.channelCount(), left, right);
    else
        scaleSamples<qint16>(samples, bytes, m_format.channelCount(), left, right);
    return static_cast<int>(m_sink->write(samples, bytes));
}

void IAudio::stop()
{
    QMutexLocker lock(&m_mutex);
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
