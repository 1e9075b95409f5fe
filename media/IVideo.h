// The video surface: shows the converted pictures of the playing media one
// after another, paced by the wall clock and the pictures' timestamps.
// Pictures arrive from video threads through a ring of four slots, which
// share their pixels rather than copy them; a picture whose successor is
// already due when its turn comes is dropped, so that a surface held up
// catches up with the clock. An OpenGL canvas inside draws the pictures
// where the platform allows, else the surface stays black.
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
    // Pictures bring their own size and format: only `on` matters here.
    void setFormat(int width, int height, int pixelFormat, bool on) override;
    void resetClock() override;

    bool isOn() const { return m_on.load(); }
    bool hasCanvas() const { return m_canvas != nullptr; }
    // Pictures put on show since construction.
    int shownPictures() const { return m_shown.load(); }
    // Pictures pushed but never shown because they were late, since construction.
    int droppedPictures() const { return m_dropped.load(); }
    // What the surface shows, as drawn: the picture shown last.
    QImage grabPicture();

public slots:
    void doUpdateFrame();

private:
    static constexpr int kSlots = 4;
    void resetRingLocked();
    // Lets go of the picture at the read index.
    void advance();

    VideoCanvas* m_canvas = nullptr;
    std::array<VideoPicture, kSlots> m_ring;
    // Guards m_count, m_writeIndex, m_readIndex and the slots outside those
    // counted: a counted slot is read by the GUI thread without the lock.
    std::mutex m_mutex;
    std::condition_variable m_pictureShown;
    int m_count = 0; // pictures waiting to be shown
    int m_writeIndex = 0;
    int m_readIndex = 0;
    // Written by the GUI thread, read by the video threads.
    std::atomic<bool> m_on{false};
    std::atomic<int> m_shown{0};
    std::atomic<int> m_dropped{0};

    // GUI thread only.
    QTimer m_refresh;
    double m_lastPts = 0.0; // seconds: of the picture last shown or dropped
    double m_frameDelay = 0.0; // seconds: the last regular step between pictures
    double m_frameTimer = 0.0; // seconds of the monotonic clock when that picture was due
};
