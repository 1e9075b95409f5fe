// The audio track of one media file as blocks of interleaved samples on the
// engine's timeline: frame 0 is the first sample of the sound, in every
// container, and a given second is the same sound the engine plays there.
// Signed 16-bit at the stream's own rate and channels unless told otherwise.
// Each user owns its own instance, so requests never share demuxer or
// decoder state.
#pragma once

#include "SoundBlocks.h"

#include <QByteArray>

#include <atomic>
#include <cstdint>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;

// Decoded samples; valid until the next call of AudioDecoder::next().
struct SampleBlock {
    const int16_t* samples = nullptr; // interleaved, when the output is Int16
    const float* floats = nullptr;    // interleaved, when the output is Float
    int count = 0;                    // values, all channels
};

class AudioDecoder {
public:
    enum class Step { Samples, Nothing, End };

    AudioDecoder();
    ~AudioDecoder();
    AudioDecoder(const AudioDecoder&) = delete;
    AudioDecoder& operator=(const AudioDecoder&) = delete;

    // False when the file cannot be opened as media. A file without an audio
    // stream opens; hasAudio() then answers false and next() skips every packet.
    // While *interrupt is set, reading and seeking give up at once.
    bool open(const QByteArray& path, const std::atomic<bool>* interrupt = nullptr);
    void close();

    bool isOpen() const { return m_format != nullptr; }
    bool hasAudio() const { return m_codec != nullptr; }
    // After open(), before decoding: samples at `rate` with `channels`
    // (0 keeps the stream's), as 16-bit integers or floats. Resampled
    // output is placed to the nearest sample of its rate.
    void setOutput(int rate, int channels, SampleFormat format = SampleFormat::Int16);
    // Container duration in seconds, -1 when the container does not know it.
    double durationSeconds() const;
    // Audio stream time base as num/den seconds per unit.
    double timeBaseSeconds() const;
    // Timestamp, in stream units, of frame 0: the first sample of the sound
    // (MP3 files with an encoder header start at 0.025 s).
    int64_t startTimestamp() const;
    // Of the output.
    int sampleRate() const;
    int channels() const;

    // Frames of the output since the first sample of the sound, and back.
    int64_t timestampOfFrame(int64_t frame) const;
    int64_t frameAtTimestamp(int64_t ts) const;

    // Decoding resumes at a point of the sound, to the sample: the stream is
    // positioned a little earlier, so that the decoder has settled by then,
    // and samples before it are dropped. A container that cannot seek is
    // decoded from where it stands, dropping everything before it the same.
    void startAtSeconds(double seconds);
    // As startAtSeconds, at a timestamp of the stream.
    void startAt(int64_t fromTs);
    // Decoding ends before this point of the sound; -1 reads to the end.
    void setEndSeconds(double seconds);
    // As setEndSeconds, at a timestamp of the stream.
    void setEnd(int64_t endTs);

    // The first sample of the block that next() returned last: as a frame of
    // the output since the first sample of the sound, in seconds, and as a
    // timestamp of the stream.
    int64_t blockFrame() const { return m_blockFrame; }
    double blockSeconds() const;
    int64_t blockTimestamp() const { return timestampOfFrame(m_blockFrame); }

    // One step of work: delivers the samples of one decoded frame, or reads
    // one packet (Nothing when it gave no samples yet), or End at the end of
    // the file or of the range.
    Step next(SampleBlock& block);

private:
    bool openDecoder();
    bool receiveFrame(SampleBlock& block);
    double secondsOfTimestamp(int64_t ts) const;

    AVFormatContext* m_format = nullptr;
    AVCodecContext* m_codec = nullptr;
    AVPacket* m_packet = nullptr;
    AVFrame* m_frame = nullptr;
    int m_stream = -1;
    SoundBlocks m_blocks;
    int64_t m_dropBefore = 0; // sample of the sound at the source rate
    int64_t m_end = -1;       // sample of the sound at the output rate; -1 none
    int64_t m_blockFrame = 0;
    bool m_draining = false;
    bool m_ended = false;
};
