// Plays sound slower or faster at its own pitch: FFmpeg's atempo filter
// between a buffer source and a buffer sink, on interleaved signed 16-bit
// samples at the device's rate and channels. It knows which sample of the
// original the sound it puts out comes from, and ends a stretch of sound with
// exactly as many frames as the stretch lasts at its tempo. Owned and used by
// the audio thread only.
//
// atempo holds back about 46 ms of the sound it takes, and its output frames
// are sized by the input frame that starts them: callers feed pieces of
// about 10 ms, so that little else waits inside it.
#pragma once

#include <cstdint>
#include <vector>

struct AVFilterContext;
struct AVFilterGraph;
struct AVFrame;

class TempoStage {
public:
    TempoStage(int sampleRate, int channels);
    ~TempoStage();
    TempoStage(const TempoStage&) = delete;
    TempoStage& operator=(const TempoStage&) = delete;

    // Starts a stretch whose first frame is sample `first` of the original,
    // dropping whatever a previous one held. With `fadeIn` its first few
    // milliseconds rise from silence, for a start after a jump. Should the
    // filter not be set up, which leaves a trace, the stage stays stopped.
    void start(double tempo, std::int64_t first, bool fadeIn);
    bool isRunning() const { return m_graph != nullptr; }
    // Drops what the stage holds; nothing more comes out.
    void stop();
    // Applies to every frame not put out yet; on a refusal, which leaves a
    // trace, the tempo stays as it was.
    void setTempo(double tempo);
    double tempo() const { return m_tempo; }

    // Takes interleaved frames and appends to `out` what comes out for them.
    // False, with a trace, when the filter fails.
    bool process(const std::uint8_t* data, int frames, std::vector<std::uint8_t>& out);
    // Ends the stretch before a jump or the end: appends the rest of it to
    // `out`, so that it has put out as many frames as the original it took
    // lasts at its tempo, the last few milliseconds falling to silence. The
    // stage stops.
    void finish(std::vector<std::uint8_t>& out);
    // Ends the stretch as finish() does, but before `next`, the frames that
    // follow it as they are: its last few milliseconds cross-fade into the
    // first of them. Returns how many of `next` it used.
    int finishInto(std::vector<std::uint8_t>& out, const std::uint8_t* next, int frames);

    // The sample of the original that the next frame put out comes from.
    double position() const { return m_position; }

private:
    bool build(double tempo);
    // The rest of the stretch into `out`; returns its frames.
    int drain(std::vector<std::uint8_t>& out);
    bool send(const std::uint8_t* data, int frames);
    // Moves what the sink holds into `out`, at most `limit` frames (-1: all).
    bool collect(std::vector<std::uint8_t>& out, std::int64_t limit = -1);
    void keepHistory(const std::uint8_t* data, int frames);
    // What is fed after a stretch's end, so that atempo's last window runs
    // to its end with sound like the stretch's own rather than a step into
    // silence: its last period, repeated. Empty when too little was taken.
    std::vector<std::uint8_t> continuation() const;

    const int m_rate;
    const int m_channels;
    const int m_frameBytes;
    const int m_fadeFrames;
    const int m_historyFrames;
    AVFilterGraph* m_graph = nullptr;
    AVFilterContext* m_source = nullptr;
    AVFilterContext* m_sink = nullptr;
    AVFrame* m_frame = nullptr; // reused for input and output
    double m_tempo = 1.0;
    std::int64_t m_taken = 0;    // frames sent since start(): the next timestamp
    std::int64_t m_inputEnd = 0; // the original's sample after the last one taken
    double m_position = 0.0;     // see position()
    int m_fadeInDone = 0;        // frames of the fade-in shaped so far
    std::vector<std::uint8_t> m_history; // the last frames taken, for continuation()
};
