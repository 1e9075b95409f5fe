// An audio device that keeps every sample the engine writes, as fast as it
// comes: for checks to the sample of what a media puts out. What is heard
// through the real device is tested on the null sink.
#pragma once

#include "SoundAnalysis.h"

#include "controller/Contracts.h"

#include <QByteArray>

class CaptureDevice : public AudioDev {
public:
    int write(const char* data, int length) override
    {
        m_bytes.append(data, length);
        return length;
    }
    bool setFormat(int sampleRate, int sampleSize, int channels) override
    {
        m_rate = sampleRate;
        m_channels = channels;
        return sampleSize == 16;
    }
    void stop() override {}
    void setVolume(float) override {}

    // Everything written so far; read once the media has stopped.
    Pcm pcm() const { return pcmFromBytes(m_bytes, m_rate, m_channels); }

private:
    QByteArray m_bytes;
    // Until the engine names its format: nothing was written either.
    int m_rate = 44100;
    int m_channels = 2;
};
