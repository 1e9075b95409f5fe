// The audio output of one media: Qt's audio sink in push mode, with the volume
// applied to the samples before they are handed over. Without a usable sink
// (no sound server, no supported format) it plays silence at the speed of the
// wall clock, so that a media still runs its course.
#pragma once

#include "controller/Contracts.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QByteArray>
#include <QElapsedTimer>

#include <atomic>
#include <mutex>

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
    // True while samples go to a real sink rather than the silent clock.
    bool hasOutput();

private:
    void stopLocked();
    int writeSilentlyLocked(int length);

    QAudioDevice m_device;
    std::mutex m_mutex; // guards every field below it except the gains
    QByteArray m_scratch;
    QAudioFormat m_format;
    QAudioSink* m_output = nullptr;
    QIODevice* m_sink = nullptr;
    // The silent clock: bytes taken since it started.
    QElapsedTimer m_silentClock;
    qint64 m_silentBytes = 0;
    // Written by the GUI thread, read by the audio thread.
    std::atomic<float> m_leftGain{0.5f};
    std::atomic<float> m_rightGain{0.5f};
};
