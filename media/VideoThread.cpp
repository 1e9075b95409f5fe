#include "VideoThread.h"

#include "MediaLog.h"

#include "controller/Contracts.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

videoThread::videoThread(const DecoderSetup& setup, VideoDev* surface, int targetWidth, int targetHeight,
                         double frameDuration, QObject* parent)
    : DecodingThread(setup, parent)
    , m_surface(surface)
    , m_targetWidth(targetWidth)
    , m_targetHeight(targetHeight)
    , m_frameDuration(frameDuration)
{
    setObjectName(QStringLiteral("videoThread"));
}

videoThread::~videoThread() { sws_freeContext(m_scaler); }

void videoThread::run()
{
    AVPacket* packet = av_packet_alloc();
    if (packet && !m_picture.allocated)
        m_picture.allocate(m_targetWidth, m_targetHeight, AV_PIX_FMT_RGBA);
    while (packet && m_picture.allocated) {
        if (isStopping() || !holdWhilePaused())
            break;
        if (!takePacket(packet)) {
            if (!isStopping())
                decode(nullptr); // the pictures the decoder still holds
            break;
        }
        bool going = true;
        if (PacketQueue::isFlushMarker(packet))
            avcodec_flush_buffers(m_setup.decoder);
        else if (packet->stream_index == m_setup.streamIndex)
            going = decode(packet);
        av_packet_unref(packet);
        if (!going)
            break;
    }
    av_packet_free(&packet);
    finish();
}

bool videoThread::decode(const AVPacket* packet)
{
    if (avcodec_send_packet(m_setup.decoder, packet) < 0)
        return true; // a broken packet is skipped
    AVFrame* frame = av_frame_alloc();
    if (!frame)
        return false;
    while (!isStopping() && avcodec_receive_frame(m_setup.decoder, frame) == 0) {
        showFrame(frame);
        av_frame_unref(frame);
    }
    av_frame_free(&frame);
    return !isStopping();
}

void videoThread::showFrame(const AVFrame* frame)
{
    const std::int64_t timestamp = frame->best_effort_timestamp;
    double t = timestamp == AV_NOPTS_VALUE ? 0.0 : double(timestamp) * av_q2d(m_setup.timeBase);
    if (t != 0.0)
        m_clock = t;
    else
        t = m_clock;
    m_clock = t + m_frameDuration + m_frameDuration * 0.5 * frame->repeat_pict;

    const std::int64_t discard = discardBefore();
    if (discard != kNoTimestamp && t < double(discard) * av_q2d(m_setup.timeBase))
        return; // decoded for the pictures after it, not shown
    // The decoder may change the picture size mid-stream; the scaler follows.
    m_scaler = sws_getCachedContext(m_scaler, frame->width, frame->height, AVPixelFormat(frame->format),
                                    m_targetWidth, m_targetHeight, AV_PIX_FMT_RGBA, SWS_FAST_BILINEAR, nullptr,
                                    nullptr, nullptr);
    if (!m_scaler) {
        qCWarning(lcMedia) << "cannot convert pictures of format" << frame->format;
        return;
    }
    sws_scale(m_scaler, frame->data, frame->linesize, 0, frame->height, m_picture.planes, m_picture.lineSizes);
    m_picture.pts = t;
    m_surface->pushFrame(m_picture);
}
