// Decodes one media's video packets, converts each picture to the surface's
// format and size, and hands it to the surface, which paces the display.
#pragma once

#include "DecodingThread.h"
#include "VideoPicture.h"

class VideoDev;
struct AVFrame;
struct SwsContext;

class videoThread : public DecodingThread {
public:
    // frameDuration: seconds of one picture at the stream's nominal rate.
    videoThread(const DecoderSetup& setup, VideoDev* surface, int targetWidth, int targetHeight,
                double frameDuration, QObject* parent);
    ~videoThread() override;

protected:
    void run() override;

private:
    bool decode(const AVPacket* packet);
    void showFrame(const AVFrame* frame);

    VideoDev* const m_surface;
    const int m_targetWidth;
    const int m_targetHeight;
    const double m_frameDuration;
    SwsContext* m_scaler = nullptr;
    VideoPicture m_picture;
    double m_clock = 0.0; // seconds: where the next picture is due
};
