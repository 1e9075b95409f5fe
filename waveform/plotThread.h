// One waveform request: decodes the audio of a file, or of a time range of
// it, on a thread of its own and draws the 561 × 40 loudness picture.
#pragma once

#include "decoder/AudioDecoder.h"

#include <QImage>
#include <QThread>

#include <atomic>
#include <memory>

class Columns;

class plotThread : public QThread {
    Q_OBJECT
public:
    explicit plotThread(QObject* parent = nullptr);
    ~plotThread() override;

    // GUI thread, before start(). False when the file cannot be opened: the
    // worker then delivers a black picture, so no view waits for it forever.
    bool openSource(const QByteArray& path);
    // Seconds from the start of the sound; start -1 is the whole file, end -1
    // the end of the file.
    void setRange(float start, float end);
    // 2 lets a whole-file request decode its second half on a helper thread.
    void setParts(int parts) { m_parts = parts; }
    // Container duration in seconds, -1 when unknown or not opened.
    double fileDuration() const { return m_decoder.durationSeconds(); }

    // Any thread: the worker ends at its next check, without sigThreadDone.
    void requestStop() { m_stopRequested.store(true); }
    // Whether sigThreadDone was emitted; the picture is complete once true.
    bool isDelivered() const { return m_delivered.load(std::memory_order_acquire); }
    // After sigThreadDone and wait().
    QImage picture() const { return m_picture; }
    // After the thread has ended.
    void closeSource();

signals:
    // Emitted from the worker thread once the picture is complete.
    void sigThreadDone();

protected:
    void run() override;

private:
    struct Part;

    double samplesPerColumn();
    bool drawSound(double samplesPerColumn);
    std::unique_ptr<Part> startSecondPart(double samplesPerColumn);
    bool decode(AudioDecoder& decoder, Columns& columns, int64_t origin);

    AudioDecoder m_decoder;
    QByteArray m_path;
    double m_start = -1; // seconds of the sound, -1 unset
    double m_end = -1;
    int m_parts = 1;
    QImage m_picture;
    std::atomic<bool> m_stopRequested{false}; // written by the owner, read by the workers
    std::atomic<bool> m_delivered{false};     // written by the worker before sigThreadDone
    std::atomic<bool> m_runEnded{false};      // last write of run(): the decoder is free again
};
