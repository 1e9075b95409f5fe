#include "IVideo.h"

#include "VideoCanvas.h"

extern "C" {
#include <libavutil/time.h>
}

#include <QVBoxLayout>

#include <chrono>
#include <cmath>

namespace {

constexpr int kMaxWaiting = 3; // pictures; the fourth slot is the one on show
constexpr int kPushWaitMs = 100; // a surface switched off meanwhile frees the waiting thread
constexpr int kFirstRefreshMs = 40;
constexpr int kIdleRefreshMs = 10;
constexpr double kDefaultFrameDelay = 0.04; // seconds: 25 pictures a second
constexpr double kLongestFrameDelay = 1.0; // seconds; longer steps are jumps in the stream
constexpr double kShortestWait = 0.01; // seconds

double now() { return double(av_gettime_relative()) / 1e6; }

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
    // Copied under the lock: several media may share the surface, and the
    // slot on show is never this one while at most three wait.
    VideoPicture& slot = m_ring[size_t(m_writeIndex)];
    if (!slot.allocated)
        slot.allocate(picture.width, picture.height, picture.pixelFormat);
    slot.copyFrom(picture);
    m_writeIndex = (m_writeIndex + 1) % kSlots;
    ++m_count;
}

void IVideo::resetRingLocked()
{
    m_count = 0;
    m_writeIndex = m_readIndex;
}

void IVideo::setAspect(float ratio)
{
    if (m_canvas)
        m_canvas->setAspect(ratio);
}

void IVideo::setFormat(int width, int height, int pixelFormat, bool on)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (on) {
            if (!m_ring[0].allocated)
                for (VideoPicture& slot : m_ring)
                    slot.allocate(width, height, pixelFormat);
            resetRingLocked();
        }
        m_on.store(on);
        m_pictureShown.notify_all();
    }
    if (on) {
        m_refresh.start(kFirstRefreshMs);
        m_frameTimer = now();
        m_frameDelay = kDefaultFrameDelay;
        m_lastPts = 0.0;
    }
    if (m_canvas)
        m_canvas->setShowing(on);
}

void IVideo::resetClock() { m_frameTimer = now(); }

QImage IVideo::grabPicture()
{
    if (m_canvas)
        return m_canvas->grabFramebuffer();
    QImage black(size(), QImage::Format_RGB32);
    black.fill(Qt::black);
    return black;
}

void IVideo::doUpdateFrame()
{
    if (!m_on.load())
        return;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_count == 0) {
            m_refresh.start(kIdleRefreshMs);
            return;
        }
    }
    // The slot at the read index is ours until the count goes down.
    const VideoPicture& picture = m_ring[size_t(m_readIndex)];
    double delay = picture.pts - m_lastPts;
    if (delay <= 0 || delay >= kLongestFrameDelay)
        delay = m_frameDelay;
    else
        m_frameDelay = delay;
    m_lastPts = picture.pts;

    m_frameTimer += delay;
    const double wait = m_frameTimer - now();
    const int interval = wait < kShortestWait ? kIdleRefreshMs : int(std::floor(wait * 1000.0 + 0.5));
    if (m_canvas)
        m_canvas->upload(picture);
    m_refresh.start(interval);

    const std::lock_guard<std::mutex> lock(m_mutex);
    m_readIndex = (m_readIndex + 1) % kSlots;
    --m_count;
    m_shown.fetch_add(1);
    m_pictureShown.notify_all();
}
