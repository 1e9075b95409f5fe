// The demultiplexing thread of one open media. It opens the file, chooses
// its first audio and first video stream, opens their decoders and creates
// their decoding threads; in its own thread it reads packets into their
// queues, seeks, and notices the end of the file. It reports sigThreadDone()
// when both decoding threads have ended or it was told to stop.
#pragma once

#include "MediaFlags.h"
#include "PacketQueue.h"

#include "controller/PracticeSpeed.h"
#include "decoder/SoundClock.h"

#include <QByteArray>
#include <QThread>

#include <atomic>
#include <cstdint>

class AudioDev;
class VideoDev;
class audioThread;
class videoThread;
struct AVCodecContext;
struct AVFormatContext;
struct AVStream;

// A time in seconds that is not set.
constexpr double kNoTime = -1.0;

class parseThread : public QThread {
    Q_OBJECT
public:
    explicit parseThread(QObject* parent);
    ~parseThread() override;

    // In the GUI thread, before start(). False when the file cannot be
    // opened; the thread then has no streams and run() returns at once.
    bool open(const QByteArray& path, AudioDev* audio, VideoDev* video);
    // Stops and flushes the decoding threads, switches the video surface
    // off, stops this thread and waits for all three. Idempotent.
    void stopSequence();
    // Waits for run() to return.
    void join();
    // Closes the decoders and the file; after the thread has ended.
    void close();

    // Times are seconds of the sound; kNoTime clears one.
    // The media's own range.
    void setRange(double inPoint, double outPoint);
    double inPoint() const { return m_inPoint.load(); }
    double outPoint() const { return m_outPoint.load(); }
    // Mark-in and mark-out.
    void setMarks(double markIn, double markOut);
    double markIn() const { return m_markIn.load(); }
    double markOut() const { return m_markOut.load(); }
    // Whether playback that reaches the mark-out goes on at the mark-in.
    void setLooping(bool on);
    void setLoopHold(bool on);
    // Playback speed on the grid of controller/PracticeSpeed.h.
    void setSpeed(double speed);
    double speed() const { return m_speed.load(); }
    // kNoTime cancels a pending seek; the decoding threads drop data older
    // than the target.
    void requestSeek(double seconds);
    void setPaused(bool on);
    bool isPaused() const { return m_paused.load(); }
    bool isStopping() const { return m_stopping.load(); }
    // Starts the thread once; a media that ran cannot run again.
    void startOnce();
    bool hasStarted() const { return m_started; }

    bool isOpen() const { return m_format != nullptr; }
    // The audio clock in seconds of the sound; -1 without an audio thread.
    double audioClock() const;
    double duration() const; // seconds; -1 when unknown
    audioThread* audio() const { return m_audioThread; }
    bool hasVideoThread() const { return m_videoThread != nullptr; }
    videoThread* video() const { return m_videoThread; }

signals:
    void sigThreadDone();

protected:
    void run() override;

private:
    void demultiplex();
    void openAudio(AudioDev* device);
    void openVideo(VideoDev* device);
    void seekTo(double seconds);
    // A sample of the sound at its own rate; kNoTime gives kNoSample.
    std::int64_t toSample(double seconds) const;
    bool queuesFull() const;
    void readPacket(AVPacket* packet);
    void dispatch(AVPacket* packet);
    // Whether an audio packet ends before the pre-roll of the last seek.
    bool beforeAudioPreroll(const AVPacket* packet);

    PacketQueue m_audioQueue;
    PacketQueue m_videoQueue;
    MediaFlags m_flags;

    // Set up by open() in the GUI thread; afterwards used only by this
    // thread until it has ended.
    AVFormatContext* m_format = nullptr;
    AVCodecContext* m_audioDecoder = nullptr;
    AVCodecContext* m_videoDecoder = nullptr;
    int m_audioStream = -1;
    int m_videoStream = -1;
    // The sound's samples against the audio stream; the video stream's
    // timestamps against the same seconds.
    SoundClock m_soundClock;
    Timeline m_videoTimeline;
    VideoDev* m_videoDevice = nullptr;
    audioThread* m_audioThread = nullptr;
    videoThread* m_videoThread = nullptr;
    bool m_started = false; // GUI thread only
    // This thread: audio packets ending before this timestamp are dropped
    // unread by the decoder.
    static constexpr std::int64_t kNoSkip = INT64_MIN;
    std::int64_t m_audioSkipBefore = kNoSkip;
    double m_finalClock = -1.0; // GUI thread: the audio clock when its thread was deleted

    // Written by the GUI thread, read by this thread.
    std::atomic<bool> m_paused{false};
    std::atomic<bool> m_stopping{false};
    std::atomic<double> m_seekRequest{kNoTime};
    std::atomic<double> m_inPoint{kNoTime};
    std::atomic<double> m_outPoint{kNoTime};
    std::atomic<double> m_markIn{kNoTime};
    std::atomic<double> m_markOut{kNoTime};
    std::atomic<bool> m_looping{false};
    std::atomic<bool> m_loopHold{false};
    std::atomic<double> m_speed{speed::kNormal};
    // Set last in run(): as DecodingThread::join().
    std::atomic<bool> m_ended{false};
};
