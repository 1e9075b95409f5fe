// The sentence loop of Listen & Repeat in every container, against mpv's
// A-B loop on the same file: for every round, how far past the sentence's
// end playback ran, how much of the sentence's start was lost after the jump
// back, and what lay between, found to the sample in a recording of the
// sink. The engine is driven as the controller drives it: started, looped,
// sought to the sentence, and sought there again by the progress tick
// whenever its clock is outside the sentence.
//   loop_bench START END ROUNDS FILE...   (seconds of the sentence)
// Run it through run.sh, which makes the files and the private sound server.
#include "LoopAnalysis.h"

#include "SoundAnalysis.h"
#include "Subprocess.h"

#include "decoder/AudioDecoder.h"
#include "media/IAudio.h"
#include "media/MediaEngine.h"

#include <QApplication>
#include <QAudioDevice>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMediaDevices>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

constexpr int kTailMs = 300; // recorded after the last round
constexpr int kProgressTickMs = 50; // the controller's
constexpr int kStartTimeoutMs = 5000;
// How far a recorded sample may be from the file's decode: after a seek
// Opus rebuilds its state only approximately and AC-3 dithers anew; white
// noise at half scale puts a sample of the wrong place further off than
// this nine times in ten.
constexpr int kSampleTolerance = 1024;
// The sinks of the private sound server, by rate: a resampler on the way
// would smear each jump over its filter's length. run.sh adds the second.
struct Sink {
    int rate;
    const char* name;
};
constexpr Sink kSinks[] = {{44100, "out"}, {48000, "out48"}};

[[noreturn]] void fail(const char* why)
{
    std::fprintf(stderr, "loop_bench: %s\n", why);
    std::exit(1);
}

Signal leftChannel(const Pcm& pcm)
{
    Signal left(size_t(pcm.frames()));
    for (qsizetype i = 0; i < pcm.frames(); ++i)
        left[size_t(i)] = pcm.at(i, 0);
    return left;
}

struct Sound {
    Signal samples;
    Sink sink;
};

// The file's sound on the engine's timeline: sample i is i / rate seconds of
// the sound, as the engine counts them. Played to the sink of its rate.
std::optional<Sound> decodeSound(const QString& path)
{
    AudioDecoder decoder;
    if (!decoder.open(path.toUtf8()) || !decoder.hasAudio())
        return std::nullopt;
    Sound sound{{}, kSinks[0]};
    for (const Sink& sink : kSinks)
        if (sink.rate == decoder.sampleRate())
            sound.sink = sink;
    decoder.setOutput(sound.sink.rate, 1);
    SampleBlock block;
    for (AudioDecoder::Step step = decoder.next(block); step != AudioDecoder::Step::End; step = decoder.next(block))
        if (step == AudioDecoder::Step::Samples)
            sound.samples.insert(sound.samples.end(), block.samples, block.samples + block.count);
    return sound;
}

// What a sink plays, recorded from its monitor at the sink's own rate (the
// tests' recorder records at 44.1 kHz only).
class SinkRecording {
public:
    explicit SinkRecording(const Sink& sink)
        : m_rate(sink.rate)
    {
        const bool started = m_parec.start({QStringLiteral("parec"), QStringLiteral("-d"),
                                            QString::fromLatin1(sink.name) + QStringLiteral(".monitor"),
                                            QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                                            QStringLiteral("--rate=%1").arg(sink.rate), QStringLiteral("--channels=2"),
                                            QStringLiteral("--latency-msec=10")});
        // The monitor streams silence all along: once some has arrived, the
        // recorder is connected and nothing played from now on is lost.
        QElapsedTimer clock;
        clock.start();
        while (started && m_parec.outputSize() < kConnectedBytes && clock.elapsed() < kStartTimeoutMs)
            QThread::msleep(kProgressTickMs / 5);
        if (m_parec.outputSize() < kConnectedBytes)
            fail("cannot record the sink");
    }

    Signal stop()
    {
        QThread::msleep(kTailMs); // what was just played is still on its way
        m_parec.terminate();
        return leftChannel(pcmFromBytes(m_parec.output(), m_rate, 2));
    }

private:
    static constexpr qint64 kConnectedBytes = 4 * 4800; // 100 ms of 16-bit stereo at 48 kHz
    int m_rate;
    Subprocess m_parec;
};

QAudioDevice outputNamed(const char* name)
{
    for (const QAudioDevice& device : QMediaDevices::audioOutputs())
        if (device.id() == name)
            return device;
    fail("the sound server lacks a sink");
}

Signal recordEngine(const QString& path, const Sink& sink, double start, double end, int rounds)
{
    SinkRecording recording(sink);
    IAudio device;
    device.setDevice(outputNamed(sink.name));
    MediaEngine engine;
    MediaIdentifier id;
    id.path = path;
    id.audio = &device;
    engine.doOpen(id);
    engine.doSetVolume(id, 1.0f); // the samples as decoded, not scaled
    engine.doStart(id, true);
    engine.doSetInOut(id, start, end);
    engine.doSetLooping(id, true);
    engine.doSeekTime(id, start);
    QElapsedTimer clock;
    clock.start();
    const qint64 playMs = qint64(rounds * (end - start) * 1000) + kTailMs;
    while (clock.elapsed() < playMs + kStartTimeoutMs) {
        QTest::qWait(kProgressTickMs);
        const double at = engine.currentTime(id);
        if (at >= 0 && (at < start || at > end))
            engine.doSeekTime(id, start);
        if (at > start && clock.elapsed() >= playMs)
            break;
    }
    engine.doStart(id, false);
    QTest::qWait(kTailMs);
    return recording.stop();
}

std::optional<Signal> recordMpv(const QString& path, const Sink& sink, double start, double end, int rounds)
{
    SinkRecording recording(sink);
    Subprocess mpv;
    const QString from = QString::number(start, 'f', 3);
    const QString to = QString::number(end, 'f', 3);
    // It plays the A-B loop `rounds` times, then on a little past B and ends.
    if (!mpv.start({QStringLiteral("mpv"), QStringLiteral("--no-config"), QStringLiteral("--no-video"),
                    QStringLiteral("--ao=pulse"), QStringLiteral("--audio-device=pulse/") + QString::fromLatin1(sink.name),
                    QStringLiteral("--really-quiet"), QStringLiteral("--start=") + from,
                    QStringLiteral("--ab-loop-a=") + from, QStringLiteral("--ab-loop-b=") + to,
                    QStringLiteral("--ab-loop-count=%1").arg(rounds - 1),
                    QStringLiteral("--end=") + QString::number(end + kTailMs / 1000.0, 'f', 3), path}))
        return std::nullopt;
    const int status = mpv.wait();
    const Signal recorded = recording.stop();
    return status == 0 ? std::optional<Signal>(recorded) : std::nullopt;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double worst(const std::vector<double>& values)
{
    return *std::max_element(values.begin(), values.end(),
                             [](double a, double b) { return std::abs(a) < std::abs(b); });
}

// "past end, lost start, gap: median (worst) ms", and the rounds that jumped back.
QString summary(const LoopAnalysis& loop)
{
    if (loop.jumps.empty())
        return QStringLiteral("no jump back found (%1 runs)").arg(loop.runs.size());
    std::vector<double> past, lost, gap;
    for (const LoopJump& jump : loop.jumps) {
        past.push_back(jump.pastEndMs);
        lost.push_back(jump.lostStartMs);
        gap.push_back(jump.gapMs);
    }
    auto figure = [](const std::vector<double>& values) {
        return QStringLiteral("%1 (%2)").arg(median(values), 6, 'f', 2).arg(worst(values), 6, 'f', 2);
    };
    return QStringLiteral("%1 %2 %3 %4").arg(figure(past), figure(lost), figure(gap)).arg(loop.jumps.size(), 3);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 5)
        fail("usage: loop_bench START END ROUNDS FILE...");
    QApplication app(argc, argv);
    const double start = std::atof(argv[1]);
    const double end = std::atof(argv[2]);
    const int rounds = std::max(2, std::atoi(argv[3]));

    std::printf("sentence %.3f s to %.3f s, %d rounds; per player: past the end, lost at the start, gap at the "
                "jump:\nmedian (worst) ms, and the jumps back found\n",
                start, end, rounds);
    std::printf("%-20s %-6s %-15s %-15s %-15s %s\n", "file", "player", "past end", "lost start", "gap", "jumps");
    for (int i = 4; i < argc; ++i) {
        const QString path = QFileInfo(QString::fromLocal8Bit(argv[i])).absoluteFilePath();
        const QByteArray name = QFileInfo(path).fileName().toUtf8();
        const std::optional<Sound> sound = decodeSound(path);
        if (!sound) {
            std::printf("%-20s cannot be decoded\n", name.constData());
            continue;
        }
        const int rate = sound->sink.rate;
        const auto first = Index(std::llround(start * rate));
        const auto last = Index(std::llround(end * rate));
        const auto analyse = [&](const Signal& recording) {
            return summary(analyseLoop(sound->samples, recording, first, last, rate, kSampleTolerance));
        };
        std::printf("%-20s %-6s %s\n", name.constData(), "engine",
                    qPrintable(analyse(recordEngine(path, sound->sink, start, end, rounds))));
        const std::optional<Signal> mpv = recordMpv(path, sound->sink, start, end, rounds);
        std::printf("%-20s %-6s %s\n", "", "mpv", mpv ? qPrintable(analyse(*mpv)) : "does not play it");
        std::fflush(stdout);
    }
    return 0;
}
