// Decodes one media's audio packets to interleaved signed 16-bit samples and
// pushes them into its audio device, paced by the device's free space. It
// keeps the media's audio clock and watches the two marks.
#pragma once

#include "DecodingThread.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

class AudioDev;
struct AVFrame;
struct SwrContext;

class audioThread : public DecodingThread {
    Q_OBJECT
public:
    // Called in this thread when a loop reaches its mark-out: playback is to
    // go on at the mark-in.
    using Restart = std::function<void()>;

    // Samples go out at the rate and channel count given to the device.
    audioThread(const DecoderSetup& setup, AudioDev* output, int sampleRate, int channels, Restart restart,
                QObject* parent);
    ~audioThread() override;

    // Timestamps of the audio stream; kNoTimestamp clears one. Set by the
    // engine in the GUI thread.
    void setMarks(std::int64_t markIn, std::int64_t markOut);
    std::int64_t markIn() const { return m_markIn.load(); }
    std::int64_t markOut() const { return m_markOut.load(); }
    // While looping with both marks set, the sound stops at the mark-out's
    // very sample, sigMarkOut() is emitted there, and nothing more is
    // played until the restart's seek arrives.
    void setLooping(bool on) { m_looping.store(on); }
    // Packets after the out-point end the thread.
    void setOutPoint(std::int64_t outPoint) { m_outPoint.store(outPoint); }
    // Decode timestamp of the packet being decoded.
    std::int64_t clock() const { return m_clock.load(); }

signals:
    void sigMarkIn();
    void sigMarkOut();

protected:
    void run() override;

private:
    enum class Outcome { Continue, End, Stop };
    Outcome handlePacket(AVPacket* packet, std::int64_t& previous);
    void checkMarks(std::int64_t previous, std::int64_t timestamp, bool looping);
    // The mark-out that ends a loop, or kNoTimestamp when not looping.
    std::int64_t loopEnd() const;
    void cutAtLoopEnd();
    // Sends one packet (null drains the decoder) and writes what comes out.
    bool decode(const AVPacket* packet);
    bool writeFrame(const AVFrame* frame);
    bool writeAll(const std::uint8_t* data, int length);
    void writeSilence(int ms);
    bool prepareResampler(const AVFrame* frame);

    AudioDev* const m_output;
    const int m_sampleRate;
    const int m_channels;
    const Restart m_restart;
    SwrContext* m_resampler = nullptr;
    int m_resamplerFormat = -1; // input sample format, rate and channels
    int m_resamplerRate = 0;
    int m_resamplerChannels = 0;
    std::vector<std::uint8_t> m_samples;
    std::int64_t m_nextSampleTime; // where a frame without a timestamp starts
    bool m_cut = false;            // at the loop's end, until the restart's flush

    // Written by the GUI thread, read by this thread.
    std::atomic<std::int64_t> m_markIn{kNoTimestamp};
    std::atomic<std::int64_t> m_markOut{kNoTimestamp};
    std::atomic<std::int64_t> m_outPoint{kNoTimestamp};
    std::atomic<bool> m_looping{false};
    // Written by this thread, read by the GUI thread.
    std::atomic<std::int64_t> m_clock{0};
};
