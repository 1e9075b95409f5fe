// The audio output of one media: Qt's audio sink in push mode, with the volume
// applied to the samples before they are handed over.
#pragma once

#include "controller/Contracts.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QByteArray>
#include <QMutex>

#include <atomic>

class QAudioSink;
class QIODevice;

class IAudio : public AudioDev {
public:
    IAudio();
    virtual ~IAudio();

    int write(const char* data, int length) override;
    bool setFormat(int sampleRate, int sampleSize, int channels) override;
    void stop() override;
    void setVolume(float gain) override;

    void setDevice(const QAudioDevice& device);
    void useDefaultOutput();
    QAudioFormat format();

private:
    void stopLocked();

    QAudioDevice m_device;
    // m_mutex guards m_format, m_output, m_sink and m_scratch.
    QMutex m_mutex;
    QByteArray m_scratch;
    QAudioFormat m_format;
    QAudioSink* m_output = nullptr;
    QIODevice* m_sink = nullptr;
    // Written by the GUI thread, read by the audio thread.
    std::atomic<float> m_leftGain{0.5f};
    std::atomic<float> m_rightGain{0.5f};
};
