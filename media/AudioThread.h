// Decodes one media's audio packets to interleaved signed 16-bit samples and
// pushes them into its audio device, paced by the device's free space; away
// from normal speed they pass a tempo stage that keeps their pitch. It keeps
// the media's audio clock and watches the two marks, all to the sample of
// the sound.
#pragma once

#include "DecodingThread.h"
#include "TempoStage.h"

#include "controller/PracticeSpeed.h"
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
    // At the loop's next end the sound stops there, as a pause that only a
    // seek ends, instead of starting again.
    void setLoopHold(bool on) { m_hold.store(on); }
    // A seek is on its way; a held loop waits for it. Any thread.
    void seekRequested() { m_seeks.fetch_add(1); }
    // The sound ends at this sample, and with it the thread.
    void setOutPoint(std::int64_t outPoint) { m_outPoint.store(outPoint); }
    // Playback speed, already on the grid; at normal speed the samples go
    // out as decoded, otherwise through a tempo stage that keeps the pitch.
    // Set by the engine in the GUI thread.
    void setSpeed(double speed) { m_speed.store(speed); }
    // The sample of the sound being written, in the original's time at any
    // speed.
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
    // The block's samples to the device as they are.
    bool writePlain(const SoundBlock& block, std::int64_t loopEnd);
    // The block through the tempo stage in short pieces, following the
    // speed between them; `last` ends the stretch after it.
    bool writeStretched(SoundBlock block, std::int64_t loopEnd, bool last);
    // Starts or retunes the tempo stage before the sample `next` of the
    // sound; a stage that cannot start leaves the sound as decoded.
    void followSpeed(double wanted, std::int64_t next);
    // Back at normal speed: the stage's last sound cross-fades into the
    // block's first samples, which it takes from the block.
    bool joinNormalSpeed(SoundBlock& block, std::int64_t loopEnd);
    void skipFrames(SoundBlock& block, int frames) const;
    // Writes what the stage put out since its position was `from`.
    bool writeTempoOutput(double from, std::int64_t loopEnd);
    // Ends the stretch before a jump or the end, writing the rest of it.
    bool finishStretch(std::int64_t loopEnd);
    // Marks within the samples [first, end) of the sound.
    void checkMarks(std::int64_t first, std::int64_t end, bool looping);
    // The mark-out that ends a loop, or kNoSample when not looping.
    std::int64_t loopEnd() const;
    void cutAtLoopEnd();
    void waitWhileHeld();
    bool writeAll(const std::uint8_t* data, int length);
    void writeSilence(int ms);

    AudioDev* const m_output;
    const int m_sampleRate;
    const int m_frameBytes;
    const Restart m_restart;
    SoundBlocks m_blocks;
    std::vector<std::uint8_t> m_silence;
    bool m_cut = false; // at the loop's end, until the restart's flush
    // Away from normal speed only; its pieces are short, so that a change of
    // speed is heard soon (see TempoStage.h).
    TempoStage m_tempo;
    const int m_pieceFrames;
    std::vector<std::uint8_t> m_stretched; // the stage's latest output
    bool m_afterJump = true; // nothing written since the start or a flush

    // Written by the GUI thread, read by this thread.
    std::atomic<std::int64_t> m_markIn{kNoSample};
    std::atomic<std::int64_t> m_markOut{kNoSample};
    std::atomic<std::int64_t> m_outPoint{kNoSample};
    std::atomic<bool> m_looping{false};
    std::atomic<bool> m_hold{false};
    std::atomic<std::uint64_t> m_seeks{0}; // seeks requested so far
    // Held at a loop's end (this thread only), since the m_heldAt'th seek.
    bool m_held = false;
    std::uint64_t m_heldAt = 0;
    std::atomic<double> m_speed{speed::kNormal};
    // Written by this thread, read by the GUI thread.
    std::atomic<std::int64_t> m_clock{0};
};
