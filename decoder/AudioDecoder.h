// The audio track of one media file as blocks of interleaved signed 16-bit
// samples, whatever the decoder produces. Each waveform worker owns its own
// instance, so requests never share demuxer or decoder state.
#pragma once

#include <QByteArray>

#include <atomic>
#include <cstdint>
#include <vector>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;

// Decoded samples; valid until the next call of AudioDecoder::next().
struct SampleBlock {
    const int16_t* samples = nullptr;
    int count = 0; // interleaved values, all channels
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
    // Container duration in seconds, -1 when the container does not know it.
    double durationSeconds() const;
    // Audio stream time base as num/den seconds per unit.
    double timeBaseSeconds() const;
    // Timestamp of the first sample, in stream units: MP3 files with an
    // encoder header start at 0.025 s, and ranges are counted from there.
    int64_t startTimestamp() const;
    int sampleRate() const;
    int channels() const;

    // Sample frames since the first sample, and back.
    int64_t timestampOfFrame(int64_t frame) const;
    int64_t frameAtTimestamp(int64_t ts) const;

    // Decoding resumes at fromTs (stream units): the stream is positioned a
    // little earlier, so that the decoder has settled by then, and samples
    // before fromTs are dropped. A container that cannot seek is decoded from
    // where it stands, dropping everything before fromTs just the same.
    void startAt(int64_t fromTs);
    // Reading ends at the first audio packet whose decoding time is past endTs
    // (stream units); -1 reads to the end of the file.
    void setEnd(int64_t endTs) { m_endTs = endTs; }
    // Timestamp of the first sample of the block that next() returned last.
    int64_t blockTimestamp() const { return m_blockTs; }

    // One step of work: delivers the samples of one decoded frame, or reads
    // one packet (Nothing when it gave no samples yet), or End at the end of
    // the file or of the range.
    Step next(SampleBlock& block);

private:
    bool openDecoder();
    bool receiveFrame(SampleBlock& block);
    bool convertFrame(SampleBlock& block);
    int framesToDrop(int64_t frameTs) const;

    AVFormatContext* m_format = nullptr;
    AVCodecContext* m_codec = nullptr;
    SwrContext* m_resampler = nullptr;
    AVPacket* m_packet = nullptr;
    AVFrame* m_frame = nullptr;
    int m_stream = -1;
    // What m_resampler was made for; a decoder may change its output mid-stream.
    struct ResamplerInput {
        int format = -1;
        int channels = 0;
        int rate = 0;
        bool operator==(const ResamplerInput& o) const
        {
            return format == o.format && channels == o.channels && rate == o.rate;
        }
    };
    ResamplerInput m_resamplerInput;
    int64_t m_dropBeforeTs = INT64_MIN;
    int64_t m_endTs = -1;
    int64_t m_nextTs = INT64_MIN; // expected timestamp of the next frame
    int64_t m_blockTs = 0;
    bool m_draining = false;
    std::vector<int16_t> m_converted;
};
