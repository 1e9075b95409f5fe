#include "IVideo.h"

#include "VideoCanvas.h"

extern "C" {
#include <libavutil/time.h>
}

#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

namespace {

constexpr int kMaxWaiting = 3; // pictures; one slot of the four is always free to fill
constexpr int kPushWaitMs = 100; // a surface switched off meanwhile frees the waiting thread
constexpr int kFirstRefreshMs = 40;
constexpr int kIdleRefreshMs = 10; // while no picture waits
constexpr double kDefaultFrameDelay = 0.04; // seconds: 25 pictures a second
constexpr double kLongestFrameDelay = 1.0; // seconds; longer steps are jumps in the stream
// A picture this close to its time is shown rather than waited for: timers
// wake a little early.
constexpr double kEarlyToleranceSeconds = 0.002;

double now() { return double(av_gettime_relative()) / 1e6; }

// Whether a step between two pictures' times is one of the stream's steps,
// not a jump (a seek, a broken timestamp, or no picture before).
bool isRegular(double delay) { return delay > 0 && delay < kLongestFrameDelay; }

int millisecondsUntil(double time) { return std::max(0, int(std::lround((time - now()) * 1000.0))); }

} // namespace

IVideo::IVideo(QWidget* parent)
    : QWidget(parent)
{
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    if (VideoCanvas::isAvailable()) {
        m_canvas = new VideoCanvas();
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(QWidget::createWindowContainer(m_canvas, this));
    }
    m_refresh.setSingleShot(true);
    // Coarse timers may fire a twentieth of their interval late: a frame
    // of 33 ms would be shown up to 2 ms after its time.
    m_refresh.setTimerType(Qt::PreciseTimer);
    connect(&m_refresh, &QTimer::timeout, this, &IVideo::doUpdateFrame);
}

IVideo::~IVideo()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_on.store(false);
    m_pictureShown.notify_all();
}

void IVideo::pushFrame(const VideoPicture& picture)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (m_count >= kMaxWaiting && m_on.load())
        m_pictureShown.wait_for(lock, std::chrono::milliseconds(kPushWaitMs));
    if (!m_on.load()) {
        resetRingLocked();
        return;
    }
    // Under the lock: several media may share the surface. The slot at the
    // write index is never one that waits to be shown.
    m_ring[size_t(m_writeIndex)].shareFrom(picture);
    m_writeIndex = (m_writeIndex + 1) % kSlots;
    ++m_count;
}

void IVideo::resetRingLocked()
{
    for (VideoPicture& slot : m_ring)
        slot.release();
    m_count = 0;
    m_writeIndex = m_readIndex;
}

void IVideo::advance()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_ring[size_t(m_readIndex)].release();
    m_readIndex = (m_readIndex + 1) % kSlots;
    --m_count;
    m_pictureShown.notify_all();
}

void IVideo::setAspect(float ratio)
{
    if (m_canvas)
        m_canvas->setAspect(ratio);
}

void IVideo::setFormat(int, int, int, bool on)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (on)
            resetRingLocked();
        m_on.store(on);
        m_pictureShown.notify_all();
    }
    if (on) {
        m_refresh.start(kFirstRefreshMs);
        m_frameTimer = now();
        m_frameDelay = kDefaultFrameDelay;
        m_lastPts = std::numeric_limits<double>::quiet_NaN(); // the first step is no regular one
    }
    if (m_canvas)
        m_canvas->setShowing(on);
}

void IVideo::resetClock() { m_frameTimer = now(); }

QImage IVideo::grabPicture()
{
    if (m_canvas)
        return m_canvas->grabPicture();
    QImage black(size(), QImage::Format_RGB32);
    black.fill(Qt::black);
    return black;
}

void IVideo::doUpdateFrame()
{
    if (!m_on.load())
        return;
    for (;;) {
        int waiting = 0;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            waiting = m_count;
        }
        if (waiting == 0) {
            m_refresh.start(kIdleRefreshMs);
            return;
        }
        // The waiting slots are ours to read until advance(): the video
        // threads fill only the others.
        const VideoPicture& picture = m_ring[size_t(m_readIndex)];
        const double delay = picture.pts - m_lastPts;
        const double time = now();
        // After a jump the picture is due one usual step after the last,
        // and never late.
        const double due = isRegular(delay) ? m_frameTimer + delay : std::max(m_frameTimer + m_frameDelay, time);
        if (due > time + kEarlyToleranceSeconds) {
            m_refresh.start(millisecondsUntil(due));
            return;
        }
        m_frameTimer = due;
        m_lastPts = picture.pts;
        if (isRegular(delay))
            m_frameDelay = delay;
        // Late: the picture after it is due already.
        const VideoPicture* next = waiting > 1 ? &m_ring[size_t((m_readIndex + 1) % kSlots)] : nullptr;
        if (next && isRegular(next->pts - picture.pts) && due + (next->pts - picture.pts) <= time) {
            m_dropped.fetch_add(1);
            advance();
            continue;
        }
        if (m_canvas)
            m_canvas->upload(picture);
        m_shown.fetch_add(1);
        advance();
        m_refresh.start(millisecondsUntil(m_frameTimer + m_frameDelay));
        return;
    }
}
