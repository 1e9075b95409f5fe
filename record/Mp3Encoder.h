// MP3 encoding of captured stereo floats into a stdio file that the owner
// opened. Runs on whichever thread feeds it; one feeder at a time.
#pragma once

#include <QString>

#include <atomic>
#include <cstdio>
#include <memory>

struct lame_global_struct;

class Mp3Encoder {
public:
    // Frames in one encoder call; longer captures are cut into such blocks.
    static constexpr unsigned long kBlockFrames = 512;
    static constexpr int kSampleRateHz = 44100;
    // Enough for one block and for the final flush (LAME asks for 7200).
    static constexpr int kMp3BufferBytes = 147456;

    Mp3Encoder() = default;
    ~Mp3Encoder();
    Mp3Encoder(const Mp3Encoder&) = delete;
    Mp3Encoder& operator=(const Mp3Encoder&) = delete;

    // Starts a new stream into file; every sample is multiplied by gain
    // (32767 maps -1..1 onto LAME's 16-bit float range). Allocates all that
    // encode() and flush() use.
    bool open(std::FILE* file, float gain);
    // Interleaved left/right floats, any frame count. Allocates nothing.
    bool encode(const float* interleaved, unsigned long frames);
    // Writes the frames LAME still holds and pushes stdio's buffer to the file.
    bool flush();
    void close();

    // Why the latest open, encode or flush failed; empty if none did.
    QString errorText() const;
    bool failed() const { return m_failure != nullptr; }
    // MP3 bytes written and frames taken since open() or clearCounts();
    // readable from any thread.
    qint64 bytesWritten() const { return m_bytesWritten.load(); }
    qint64 framesEncoded() const { return m_framesEncoded.load(); }
    void clearCounts();

private:
    bool ready();
    bool encodeBlock(const float* interleaved, int frames);
    bool write(int bytes);
    bool fail(const char* message, int error = 0);

    std::FILE* m_file = nullptr; // not owned
    float m_gain = 0;
    lame_global_struct* m_lame = nullptr;
    std::unique_ptr<float[]> m_left;
    std::unique_ptr<float[]> m_right;
    std::unique_ptr<unsigned char[]> m_mp3;
    // A static message and the errno of a failed write, so that the capture
    // thread records a failure without allocating.
    const char* m_failure = nullptr;
    int m_failureErrno = 0;
    std::atomic<qint64> m_bytesWritten{0};
    std::atomic<qint64> m_framesEncoded{0};
};
