// Decoded audio frames as interleaved samples of one format, rate and
// channel count, whatever the decoder gives (planar float for MP3, AAC,
// Opus, Vorbis and WMA), through libswresample.
#pragma once

#include <cstdint>
#include <vector>

struct AVFrame;
struct SwrContext;

enum class SampleFormat { Int16, Float };

class SampleConverter {
public:
    SampleConverter() = default;
    ~SampleConverter();
    SampleConverter(const SampleConverter&) = delete;
    SampleConverter& operator=(const SampleConverter&) = delete;

    // A rate or channel count of 0 keeps the source's.
    void setOutput(int rate, int channels, SampleFormat format);
    int outputRate(int sourceRate) const { return m_rate > 0 ? m_rate : sourceRate; }
    int outputChannels(int sourceChannels) const { return m_channels > 0 ? m_channels : sourceChannels; }
    SampleFormat format() const { return m_format; }
    int bytesPerFrame(int sourceChannels) const;

    // Forgets the samples a resampler holds back: after a seek.
    void reset();
    // Converts `frames` samples of the frame from `first` on; the result
    // stays valid until the next call. Returns the frames put out, -1 when
    // the frame cannot be converted. A resampler may put out a few frames
    // less or more than it takes.
    int convert(const AVFrame* frame, int first, int frames);
    const std::uint8_t* data() const { return m_buffer.data(); }

private:
    bool prepare(const AVFrame* frame);

    int m_rate = 0;
    int m_channels = 0;
    SampleFormat m_format = SampleFormat::Int16;
    SwrContext* m_resampler = nullptr;
    // What m_resampler was made for: a decoder may change its output mid-stream.
    int m_inputFormat = -1;
    int m_inputRate = 0;
    int m_inputChannels = 0;
    std::vector<const std::uint8_t*> m_planes; // of the frame being converted
    std::vector<std::uint8_t> m_buffer;
};
