// What the audio and the video decoding thread of a media have in common:
// their packet queue and decoder, the engine's pause and stop commands, the
// discard-before timestamp, and when to end.
#pragma once

#include "MediaFlags.h"
#include "PacketQueue.h"
#include "decoder/Timeline.h"
#include "Waker.h"

#include <QThread>

#include <atomic>
#include <cstdint>

struct AVCodecContext;
struct AVPacket;

struct DecoderSetup {
    PacketQueue* queue = nullptr;
    AVCodecContext* decoder = nullptr; // opened; owned by the demultiplexing thread
    int streamIndex = -1;
    AVRational timeBase{1, 1000000}; // of the stream's packets
    MediaFlags* flags = nullptr;
    std::atomic<bool>* active = nullptr; // the flag that this thread clears when it ends
};

class DecodingThread : public QThread {
public:
    DecodingThread(const DecoderSetup& setup, QObject* parent);

    // Called by the engine in the GUI thread.
    void setPaused(bool on);
    bool isPaused() const { return m_paused.load(); }
    void requestStop();
    bool isStopping() const { return m_stop.load(); }
    // Waits for run() to return.
    void join();
    // Data before this point is dropped: a timestamp of the stream for
    // video, a sample of the sound for audio; kNoTimestamp for none.
    void setDiscardBefore(std::int64_t timestamp) { m_discardBefore.store(timestamp); }
    std::int64_t discardBefore() const { return m_discardBefore.load(); }

protected:
    // Waits for the next packet; false when the thread should end: stopped,
    // or its queue is empty and the file has nothing more to give.
    bool takePacket(AVPacket* packet);
    // Holds while paused; false once stopped.
    bool holdWhilePaused();
    // Waits at most timeoutMs, ended early by the engine's commands.
    void idle(int timeoutMs) { m_waker.wait(timeoutMs); }
    // Marks the thread as ended for the demultiplexing thread; run()'s
    // last step.
    void finish();

    const DecoderSetup m_setup;

private:
    Waker m_waker;
    // Written by the GUI thread, read by this thread.
    std::atomic<bool> m_paused{false};
    std::atomic<bool> m_stop{false};
    std::atomic<std::int64_t> m_discardBefore{kNoTimestamp};
    std::atomic<bool> m_ended{false}; // see join()
};
