// The video surface: shows the converted pictures of the playing media one
// after another, paced by the wall clock and the pictures' timestamps.
// Pictures arrive from video threads through a ring of four slots; an OpenGL
// canvas inside draws them where the platform allows, else it stays black.
#pragma once

#include "VideoPicture.h"

#include "controller/Contracts.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <array>
#include <atomic>
#include <condition_variable>
#include <mutex>

class VideoCanvas;

class IVideo : public QWidget, public VideoDev {
    Q_OBJECT
public:
    explicit IVideo(QWidget* parent = nullptr);
    ~IVideo() override;

    // Called by a video thread; waits while three pictures are waiting.
    void pushFrame(const VideoPicture& picture) override;
    // The rest is called in the GUI thread.
    void setAspect(float ratio) override;
    void setFormat(int width, int height, int pixelFormat, bool on) override;
    void resetClock() override;

    bool isOn() const { return m_on.load(); }
    bool hasCanvas() const { return m_canvas != nullptr; }
    // Pictures put on show since construction.
    int shownPictures() const { return m_shown.load(); }
    // What the surface shows, as drawn.
    QImage grabPicture();

public slots:
    void doUpdateFrame();

private:
    static constexpr int kSlots = 4;
    void resetRingLocked();

    VideoCanvas* m_canvas = nullptr;
    std::array<VideoPicture, kSlots> m_ring;
    std::mutex m_mutex; // guards m_count, m_writeIndex, m_readIndex and the slots being filled
    std::condition_variable m_pictureShown;
    int m_count = 0; // pictures waiting to be shown
    int m_writeIndex = 0;
    int m_readIndex = 0;
    // Written by the GUI thread, read by the video threads.
    std::atomic<bool> m_on{false};
    std::atomic<int> m_shown{0};

    // GUI thread only.
    QTimer m_refresh;
    double m_lastPts = 0.0; // seconds: of the picture on show
    double m_frameDelay = 0.0;
    double m_frameTimer = 0.0; // seconds of the monotonic clock when the current picture is due
};
