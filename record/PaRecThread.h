// Records the default input device into an MP3 file opened by the owner.
// Three threads meet here: the owner's (configures, starts, asks to finish),
// this thread's run(), and PortAudio's callback thread, which encodes and
// writes while the stream runs. run() writes the file only once the stream
// is closed, so the two never write at the same time.
#pragma once

#include "Mp3Encoder.h"

#include <QThread>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>

class PaRecThread : public QThread {
    Q_OBJECT
public:
    explicit PaRecThread(QObject* parent = nullptr);
    ~PaRecThread() override;

    // Before each start: the file of the next recording (not owned, left
    // open). Also drops a finish request left over from an earlier recording
    // (run() does not, so a request made right after start() is never lost)
    // and the counts of the earlier recording.
    void setOutputFile(std::FILE* file);
    // Factor on every captured sample; taken when the thread starts.
    void setGain(float gain) { m_gain.store(gain); }
    // The stream completes after the block being captured, then the encoder
    // is flushed and the thread ends.
    void requestFinish();

    // The latest recording's outcome; read it after finished().
    QString errorText() const { return m_errorText; }
    bool succeeded() const { return m_errorText.isEmpty(); }

    // Progress of the running or latest recording, from any thread.
    qint64 framesCaptured() const { return m_encoder.framesEncoded(); }
    qint64 bytesWritten() const { return m_encoder.bytesWritten(); }

protected:
    void run() override;

private:
    friend struct PaCallbacks;

    bool record();
    bool captureFromDefaultInput();
    // Returns when the stream has ended; aborts it when the device leaves a
    // finish request unanswered.
    void waitForStreamEnd(void* stream);
    bool fail(const QString& text);

    std::FILE* m_file = nullptr;         // owner writes before start, run() reads
    std::atomic<float> m_gain{65534.0f}; // owner writes any time, run() reads at start
    // 1 completes the stream. Written by the owner, read by the capture callback.
    std::atomic<int> m_finish{0};
    Mp3Encoder m_encoder; // capture callback while the stream runs, run() otherwise
    QString m_errorText;  // run() writes, the owner reads after finished()

    // m_streamEnded changes under m_endMutex, so that the wait misses no wake.
    std::mutex m_endMutex;
    std::condition_variable m_streamEndedChanged; // also woken by requestFinish()
    // Set by PortAudio's finished callback, read by run(). Atomic as well:
    // after an abort that callback runs in a thread being cancelled, whose
    // locking ThreadSanitizer no longer follows.
    std::atomic<bool> m_streamEnded{false};

    // Held by the capture callback while it encodes (it never waits for it).
    // Guards m_abandoned, which run() sets before aborting a stalled stream.
    std::mutex m_callbackMutex;
    bool m_abandoned = false;
};
