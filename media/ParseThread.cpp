#include "ParseThread.h"

#include "AudioThread.h"
#include "MediaLog.h"
#include "VideoThread.h"

#include "controller/Contracts.h"
#include "decoder/Seeking.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mathematics.h>
}

#include <algorithm>

namespace {

// The sound goes to its device as signed 16-bit samples.
constexpr int kSampleSizeBits = 16;
// Reading pauses while either queue holds more compressed data than this.
constexpr std::int64_t kQueueLimitBytes = 1310720;
// Polling steps of the loop while paused, and while a queue is full or the
// file has nothing to give; commands from the engine end them early.
constexpr int kPausedPollMs = 100;
constexpr int kBusyPollMs = 10;
// After the end of the file only a seek, a stop or the end of a decoding
// thread matters, and each of them rings: the poll can be slow.
constexpr int kEndPollMs = 100;
constexpr double kDefaultFrameDuration = 0.04; // seconds, for streams without a rate

AVCodecContext* openDecoder(const AVStream* stream)
{
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec)
        return nullptr;
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    if (!decoder)
        return nullptr;
    decoder->pkt_timebase = stream->time_base;
    if (avcodec_parameters_to_context(decoder, stream->codecpar) < 0 || avcodec_open2(decoder, codec, nullptr) < 0) {
        qCWarning(lcMedia) << "cannot open decoder" << avcodec_get_name(stream->codecpar->codec_id);
        avcodec_free_context(&decoder);
    }
    return decoder;
}

double aspectRatio(const AVStream* stream, const AVCodecContext* decoder)
{
    AVRational sample = stream->sample_aspect_ratio;
    if (sample.num == 0)
        sample = decoder->sample_aspect_ratio;
    double ratio = sample.num != 0 ? av_q2d(sample) : 1.0;
    if (ratio <= 0)
        ratio = 1.0;
    return decoder->height > 0 ? ratio * decoder->width / decoder->height : ratio;
}

} // namespace

parseThread::parseThread(QObject* parent)
    : QThread(parent)
{
    setObjectName(QStringLiteral("parseThread"));
}

parseThread::~parseThread()
{
    stopSequence();
    close();
}

bool parseThread::open(const QByteArray& path, AudioDev* audio, VideoDev* video)
{
    if (avformat_open_input(&m_format, path.constData(), nullptr, nullptr) < 0) {
        qCWarning(lcMedia) << "cannot open" << path;
        m_format = nullptr;
        return false;
    }
    if (avformat_find_stream_info(m_format, nullptr) < 0)
        qCWarning(lcMedia) << "no stream information in" << path;
    for (unsigned i = 0; i < m_format->nb_streams && (m_audioStream < 0 || m_videoStream < 0); ++i) {
        const AVStream* stream = m_format->streams[i];
        const AVMediaType type = stream->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_AUDIO && m_audioStream < 0)
            m_audioStream = int(i);
        // Cover art is a still picture, not video: such a media is sound only.
        else if (type == AVMEDIA_TYPE_VIDEO && m_videoStream < 0 &&
                 !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
            m_videoStream = int(i);
    }
    if (m_audioStream >= 0)
        openAudio(audio);
    if (m_videoStream >= 0)
        openVideo(video);
    return true;
}

void parseThread::openAudio(AudioDev* device)
{
    const AVStream* stream = m_format->streams[m_audioStream];
    m_audioDecoder = openDecoder(stream);
    if (!m_audioDecoder) {
        m_audioStream = -1;
        return;
    }
    m_soundClock = SoundClock(m_format, m_audioStream, m_audioDecoder);
    const int rate = m_audioDecoder->sample_rate;
    const int channels = m_audioDecoder->ch_layout.nb_channels;
    // Without a device there is nobody to play to, nor a clock to keep.
    if (!device || rate <= 0 || channels <= 0)
        return;
    device->setFormat(rate, kSampleSizeBits, channels);
    DecoderSetup setup{&m_audioQueue, m_audioDecoder, m_audioStream, stream->time_base, &m_flags, &m_flags.audioActive};
    // The audio thread restarts a loop itself, the moment it cuts the sound.
    m_audioThread = new audioThread(
        setup, m_format, device, channels, [this] { requestSeek(m_markIn.load()); }, this);
    m_audioThread->setMarks(toSample(m_markIn.load()), toSample(m_markOut.load()));
    m_audioThread->setLooping(m_looping.load());
    m_audioThread->setLoopHold(m_loopHold.load());
    m_audioThread->setSpeed(m_speed.load());
}

void parseThread::openVideo(VideoDev* device)
{
    AVStream* stream = m_format->streams[m_videoStream];
    m_videoDecoder = openDecoder(stream);
    if (!m_videoDecoder) {
        m_videoStream = -1;
        return;
    }
    m_videoTimeline.timeBase = stream->time_base;
    if (m_audioStream >= 0)
        m_videoTimeline.origin = m_soundClock.timeline().origin;
    else if (stream->start_time != AV_NOPTS_VALUE)
        m_videoTimeline.origin = double(stream->start_time) * av_q2d(stream->time_base);
    // Its packets are still read but dropped when nobody shows them.
    if (!device)
        return;
    m_videoDevice = device;
    // Pictures keep their own size (the video thread shrinks them only above 720p).
    device->setFormat(stream->codecpar->width, stream->codecpar->height, AV_PIX_FMT_RGBA, true);
    device->setAspect(float(aspectRatio(stream, m_videoDecoder)));
    const AVRational rate = av_guess_frame_rate(m_format, stream, nullptr);
    const double frameDuration = rate.num > 0 && rate.den > 0 ? av_q2d(av_inv_q(rate)) : kDefaultFrameDuration;
    DecoderSetup setup{&m_videoQueue, m_videoDecoder, m_videoStream, stream->time_base, &m_flags, &m_flags.videoActive};
    m_videoThread = new videoThread(setup, device, frameDuration, this);
    m_videoThread->setSpeed(m_speed.load());
}

std::int64_t parseThread::toSample(double seconds) const
{
    return seconds < 0 ? kNoSample : m_soundClock.sampleAt(seconds);
}

void parseThread::setRange(double inPoint, double outPoint)
{
    m_inPoint.store(inPoint);
    m_outPoint.store(outPoint);
    if (m_audioThread)
        m_audioThread->setOutPoint(toSample(outPoint));
}

void parseThread::setMarks(double markIn, double markOut)
{
    m_markIn.store(markIn);
    m_markOut.store(markOut);
    if (m_audioThread)
        m_audioThread->setMarks(toSample(markIn), toSample(markOut));
}

void parseThread::setLoopHold(bool on)
{
    m_loopHold.store(on);
    if (m_audioThread)
        m_audioThread->setLoopHold(on);
}

void parseThread::setLooping(bool on)
{
    m_looping.store(on);
    if (m_audioThread)
        m_audioThread->setLooping(on);
}

void parseThread::setSpeed(double speed)
{
    m_speed.store(speed);
    if (m_audioThread)
        m_audioThread->setSpeed(speed);
    if (m_videoThread)
        m_videoThread->setSpeed(speed);
}

void parseThread::requestSeek(double seconds)
{
    m_seekRequest.store(seconds);
    if (m_audioThread) {
        m_audioThread->setDiscardBefore(toSample(seconds));
        m_audioThread->seekRequested();
    }
    if (m_videoThread)
        m_videoThread->setDiscardBefore(m_videoTimeline.toTimestamp(seconds));
    m_flags.parser.ring();
}

void parseThread::setPaused(bool on)
{
    m_paused.store(on);
    m_flags.parser.ring();
}

void parseThread::startOnce()
{
    if (m_started)
        return;
    m_started = true;
    start(QThread::InheritPriority);
}

double parseThread::audioClock() const
{
    if (!m_audioThread)
        return m_finalClock;
    return std::max(0.0, m_soundClock.secondsAt(m_audioThread->clock()));
}

double parseThread::duration() const
{
    if (!m_format || m_format->duration == AV_NOPTS_VALUE)
        return -1.0;
    return double(m_format->duration) / AV_TIME_BASE;
}

void parseThread::run()
{
    // A file that could not be opened ends at once, without a report.
    if (m_format)
        demultiplex();
    m_ended.store(true, std::memory_order_release);
}

void parseThread::demultiplex()
{
    m_flags.reading.store(true);
    // Each flag is up before its thread starts, which may clear it at once.
    if (m_audioThread) {
        m_flags.audioActive.store(true);
        m_audioThread->start(QThread::InheritPriority);
    }
    if (m_videoThread) {
        m_flags.videoActive.store(true);
        m_videoThread->start(QThread::InheritPriority);
    }
    const double in = m_inPoint.load();
    if (in >= 0) {
        if (m_audioThread && m_audioThread->discardBefore() == kNoSample)
            m_audioThread->setDiscardBefore(toSample(in));
        if (m_videoThread && m_videoThread->discardBefore() == kNoTimestamp)
            m_videoThread->setDiscardBefore(m_videoTimeline.toTimestamp(in));
        seekTo(in);
    }

    AVPacket* packet = av_packet_alloc();
    while (packet) {
        if ((!m_flags.audioActive.load() && !m_flags.videoActive.load()) || m_stopping.load())
            break;
        if (m_paused.load()) {
            m_flags.parser.wait(kPausedPollMs);
            continue;
        }
        // Taken in one step: a request made meanwhile stays for the next pass.
        const double target = m_seekRequest.exchange(kNoTime);
        if (target >= 0)
            seekTo(target);
        if (queuesFull()) {
            m_flags.parser.wait(kBusyPollMs);
            continue;
        }
        if (m_flags.reading.load() && m_flags.seekPending.load() &&
            (m_audioQueue.bytes() > 0 || m_videoQueue.bytes() > 0))
            m_flags.seekPending.store(false);
        readPacket(packet);
    }
    av_packet_free(&packet);
    emit sigThreadDone();
}

void parseThread::join()
{
    wait();
    // As DecodingThread::join(): shows ThreadSanitizer the order wait() makes.
    m_ended.load(std::memory_order_acquire);
}

void parseThread::seekTo(double seconds)
{
    m_flags.reading.store(true);
    m_flags.seekPending.store(true);
    // Video that is shown leads, so that its decoder starts on a keyframe.
    const bool video = m_videoThread != nullptr;
    if (!seekBefore(m_format, video ? m_videoStream : m_audioStream,
                    video ? m_videoTimeline : m_soundClock.timeline(), seconds)) {
        // Reading goes on from where it was; the decoding threads drop what
        // lies before the target.
        qCWarning(lcMedia) << "seek to" << seconds << "s did not move";
        m_flags.seekPending.store(false);
        return;
    }
    // The decoding threads reset their decoders when the marker reaches
    // them: a decoder is only ever touched by its own thread.
    if (m_audioThread)
        m_audioQueue.flush();
    if (m_videoThread)
        m_videoQueue.flush();
    // A keyframe may lie seconds before the target: the sound before the
    // decoder's pre-roll need not even be decoded.
    m_audioSkipBefore = prerollStart(m_soundClock.timeline(), seconds);
}

bool parseThread::queuesFull() const
{
    return m_audioQueue.bytes() > kQueueLimitBytes || m_videoQueue.bytes() > kQueueLimitBytes;
}

void parseThread::readPacket(AVPacket* packet)
{
    const int result = av_read_frame(m_format, packet);
    if (result < 0) {
        const bool atEnd = result == AVERROR_EOF || (m_format->pb && avio_feof(m_format->pb));
        if (atEnd) {
            m_flags.reading.store(false);
            // A seek to the end finds no packet; the decoding threads must
            // not wait for one.
            m_flags.seekPending.store(false);
        }
        m_flags.parser.wait(atEnd ? kEndPollMs : kBusyPollMs);
        return;
    }
    m_flags.reading.store(true);
    dispatch(packet);
}

bool parseThread::beforeAudioPreroll(const AVPacket* packet)
{
    if (m_audioSkipBefore == kNoSkip || packet->pts == AV_NOPTS_VALUE || packet->duration <= 0)
        return false;
    if (packet->pts + packet->duration < m_audioSkipBefore)
        return true;
    m_audioSkipBefore = kNoSkip; // from here on every packet counts
    return false;
}

void parseThread::dispatch(AVPacket* packet)
{
    bool queued = false;
    if (packet->stream_index == m_audioStream && m_audioThread && !beforeAudioPreroll(packet))
        queued = m_audioQueue.put(packet);
    else if (packet->stream_index == m_videoStream && m_videoThread)
        queued = m_videoQueue.put(packet);
    if (!queued)
        av_packet_unref(packet);
}

void parseThread::stopSequence()
{
    // Stopped before their queues are flushed: the flush marker would
    // otherwise let a thread cut at a loop's end decode packets read after
    // it, which are not the loop's sound.
    if (m_audioThread) {
        m_audioThread->requestStop();
        m_audioQueue.flush();
    }
    if (m_videoThread) {
        m_videoDevice->setFormat(-1, -1, -1, false);
        m_videoThread->requestStop();
        m_videoQueue.flush();
    }
    m_stopping.store(true);
    m_flags.parser.ring();
    join();
    if (m_audioThread) {
        m_audioThread->join();
        m_finalClock = audioClock();
        delete m_audioThread;
        m_audioThread = nullptr;
    }
    if (m_videoThread) {
        m_videoThread->join();
        delete m_videoThread;
        m_videoThread = nullptr;
    }
}

void parseThread::close()
{
    avcodec_free_context(&m_audioDecoder);
    avcodec_free_context(&m_videoDecoder);
    avformat_close_input(&m_format);
}
