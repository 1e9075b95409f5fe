// Decodes one media's video packets, converts each picture to RGBA at its own
// size (made smaller only where it passes 1280×720, keeping its shape) and
// hands it to the surface, which paces the display.
#pragma once

#include "DecodingThread.h"
#include "VideoPicture.h"

#include <atomic>

class VideoDev;
struct AVFrame;
struct SwsContext;

class videoThread : public DecodingThread {
public:
    // frameDuration: seconds of one picture at the stream's nominal rate.
    videoThread(const DecoderSetup& setup, VideoDev* surface, double frameDuration, QObject* parent);
    ~videoThread() override;

    // Pictures follow the sound's speed: their times are divided by it.
    // Set by the engine in the GUI thread.
    void setSpeed(double speed) { m_speed.store(speed); }

protected:
    void run() override;

private:
    bool decode(const AVPacket* packet);
    void showFrame(const AVFrame* frame);
    // Points the converter at this frame's size, format and colours; false
    // when FFmpeg cannot convert them.
    bool prepareConverter(const AVFrame* frame);

    // What m_scaler was made for.
    struct SourceFormat {
        int width = 0;
        int height = 0;
        int pixelFormat = -1;
        int colours = -1; // matrix and range
        bool operator==(const SourceFormat& other) const;
    };

    VideoDev* const m_surface;
    const double m_frameDuration;
    SwsContext* m_scaler = nullptr;
    SourceFormat m_source;
    VideoPicture m_picture;
    double m_clock = 0.0; // seconds: where the next picture is due
    std::atomic<double> m_speed{1.0};
};
