// Decodes one media's audio packets to interleaved signed 16-bit samples and
// pushes them into its audio device, paced by the device's free space. It
// keeps the media's audio clock and watches the two marks, all to the sample
// of the sound.
#pragma once

#include "DecodingThread.h"

#include "decoder/SoundBlocks.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

class AudioDev;
struct AVFormatContext;
struct AVFrame;

// A sample of the sound that is not set.
constexpr std::int64_t kNoSample = kNoTimestamp;

class audioThread : public DecodingThread {
    Q_OBJECT
public:
    // Called in this thread when a loop reaches its mark-out: playback is to
    // go on at the mark-in.
    using Restart = std::function<void()>;

    // Samples go out at the stream's rate with `channels`; the thread's
    // discard point counts samples of the sound at that rate.
    audioThread(const DecoderSetup& setup, const AVFormatContext* format, AudioDev* output, int channels,
                Restart restart, QObject* parent);

    // Samples of the sound; kNoSample clears one. Set by the engine in the
    // GUI thread.
    void setMarks(std::int64_t markIn, std::int64_t markOut);
    // While looping with both marks set, the sound stops at the mark-out's
    // very sample, sigMarkOut() is emitted there, and nothing more is
    // played until the restart's seek arrives.
    void setLooping(bool on) { m_looping.store(on); }
    // The sound ends at this sample, and with it the thread.
    void setOutPoint(std::int64_t outPoint) { m_outPoint.store(outPoint); }
    // The sample of the sound being written.
    std::int64_t clock() const { return m_clock.load(); }

signals:
    void sigMarkIn();
    void sigMarkOut();

protected:
    void run() override;

private:
    enum class Outcome { Continue, End, Stop };
    Outcome handlePacket(AVPacket* packet);
    // Sends one packet (null drains the decoder) and writes what comes out.
    Outcome decode(const AVPacket* packet);
    Outcome writeFrame(const AVFrame* frame);
    void checkMarks(const SoundBlock& block, bool looping);
    // The mark-out that ends a loop, or kNoSample when not looping.
    std::int64_t loopEnd() const;
    void cutAtLoopEnd();
    bool writeAll(const std::uint8_t* data, int length);
    void writeSilence(int ms);

    AudioDev* const m_output;
    const int m_sampleRate;
    const int m_frameBytes;
    const Restart m_restart;
    SoundBlocks m_blocks;
    std::vector<std::uint8_t> m_silence;
    bool m_cut = false; // at the loop's end, until the restart's flush

    // Written by the GUI thread, read by this thread.
    std::atomic<std::int64_t> m_markIn{kNoSample};
    std::atomic<std::int64_t> m_markOut{kNoSample};
    std::atomic<std::int64_t> m_outPoint{kNoSample};
    std::atomic<bool> m_looping{false};
    // Written by this thread, read by the GUI thread.
    std::atomic<std::int64_t> m_clock{0};
};
