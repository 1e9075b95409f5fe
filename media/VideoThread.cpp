#include "VideoThread.h"

#include "MediaLog.h"

#include "controller/Contracts.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>

namespace {

// Larger pictures are made smaller to fit: a learner's window shows no more,
// and each picture costs the display's software renderer by its size.
constexpr int kLargestWidth = 1280; // pixels
constexpr int kLargestHeight = 720;
// Pictures this tall and without a colour matrix of their own are HD ones,
// whose matrix is BT.709; smaller ones keep BT.601.
constexpr int kHdHeight = 720;
// Only for pictures that must be made smaller; at their own size the
// converter takes its unscaled path whatever the flag.
constexpr int kScalerFlags = SWS_BILINEAR;

struct Size {
    int width;
    int height;
};

Size shownSize(int width, int height)
{
    if (width <= kLargestWidth && height <= kLargestHeight)
        return {width, height};
    const double scale = std::min(double(kLargestWidth) / width, double(kLargestHeight) / height);
    return {std::max(1, int(std::lround(width * scale))), std::max(1, int(std::lround(height * scale)))};
}

AVColorSpace colourMatrix(const AVFrame* frame)
{
    if (frame->colorspace != AVCOL_SPC_UNSPECIFIED && frame->colorspace != AVCOL_SPC_RESERVED)
        return frame->colorspace;
    return frame->height >= kHdHeight ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
}

bool isFullRange(const AVFrame* frame)
{
    const auto format = AVPixelFormat(frame->format);
    return frame->color_range == AVCOL_RANGE_JPEG || format == AV_PIX_FMT_YUVJ420P ||
           format == AV_PIX_FMT_YUVJ422P || format == AV_PIX_FMT_YUVJ444P;
}

int colourKey(const AVFrame* frame) { return int(colourMatrix(frame)) * 2 + (isFullRange(frame) ? 1 : 0); }

} // namespace

bool videoThread::SourceFormat::operator==(const SourceFormat& other) const
{
    return width == other.width && height == other.height && pixelFormat == other.pixelFormat &&
           colours == other.colours;
}

videoThread::videoThread(const DecoderSetup& setup, VideoDev* surface, double frameDuration, QObject* parent)
    : DecodingThread(setup, parent)
    , m_surface(surface)
    , m_frameDuration(frameDuration)
{
    setObjectName(QStringLiteral("videoThread"));
}

videoThread::~videoThread() { sws_freeContext(m_scaler); }

void videoThread::run()
{
    AVPacket* packet = av_packet_alloc();
    while (packet) {
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
    if (!prepareConverter(frame))
        return;
    // The pixels of the picture before may still wait in the surface's ring.
    if (!m_picture.makeWritable()) {
        qCWarning(lcMedia) << "no memory for a picture of" << m_picture.width << "x" << m_picture.height;
        return;
    }
    sws_scale(m_scaler, frame->data, frame->linesize, 0, frame->height, m_picture.planes, m_picture.lineSizes);
    m_picture.pts = t / m_speed.load();
    m_surface->pushFrame(m_picture);
}

bool videoThread::prepareConverter(const AVFrame* frame)
{
    const SourceFormat source{frame->width, frame->height, frame->format, colourKey(frame)};
    if (m_scaler && source == m_source)
        return true;
    // The decoder may change the picture size mid-stream; the picture and
    // the converter follow.
    const Size size = shownSize(frame->width, frame->height);
    if (!m_picture.allocated || m_picture.width != size.width || m_picture.height != size.height) {
        if (!m_picture.allocate(size.width, size.height, AV_PIX_FMT_RGBA)) {
            qCWarning(lcMedia) << "cannot make pictures of" << size.width << "x" << size.height;
            return false;
        }
    }
    m_scaler = sws_getCachedContext(m_scaler, frame->width, frame->height, AVPixelFormat(frame->format), size.width,
                                    size.height, AV_PIX_FMT_RGBA, kScalerFlags, nullptr, nullptr, nullptr);
    if (!m_scaler) {
        qCWarning(lcMedia) << "cannot convert pictures of format" << frame->format;
        return false;
    }
    // RGB comes out in full range; brightness, contrast and saturation stay neutral.
    sws_setColorspaceDetails(m_scaler, sws_getCoefficients(colourMatrix(frame)), isFullRange(frame) ? 1 : 0,
                             sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
    m_source = source;
    return true;
}
