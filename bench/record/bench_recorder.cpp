// Times the recorder against a real input: from start() to the first captured
// block and to the first MP3 frame of sound on disk, and from requestFinish()
// to finished(); then the encoder's cost per capture block. Prints the figures.
//   bench_recorder [ROUNDS]
#include "record/Mp3Encoder.h"
#include "record/PaRecThread.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
constexpr int kDefaultRounds = 10;
constexpr int kHoldMs = 1000;             // length of each timed recording
constexpr qint64 kTimeoutNs = 10'000'000'000; // give up on a round after 10 s
constexpr unsigned long kPollUs = 100;    // resolution of the start figures
constexpr int kEncodeSeconds = 60;

[[noreturn]] void fail(const char* why)
{
    std::fprintf(stderr, "bench_recorder: %s\n", why);
    std::exit(1);
}

// The tests' PulseAudio, with its 440 Hz microphone, for the length of the run.
class SoundServer {
public:
    SoundServer()
    {
        if (qEnvironmentVariableIsSet("PULSE_SERVER"))
            return;
        if (!m_dir.isValid() || !services(QStringLiteral("start")))
            fail("cannot start the sound server");
        QFile env(m_dir.filePath(QStringLiteral("env")));
        if (!env.open(QIODevice::ReadOnly))
            fail("the sound server left no environment");
        while (!env.atEnd()) {
            const QByteArray line = env.readLine().trimmed();
            const qsizetype equals = line.indexOf('=');
            if (equals > 0)
                qputenv(line.left(equals).constData(), line.mid(equals + 1));
        }
        m_started = true;
    }
    ~SoundServer()
    {
        if (m_started)
            services(QStringLiteral("stop"));
    }

private:
    bool services(const QString& action)
    {
        return QProcess::execute(QStringLiteral(BENCH_SERVICES_SCRIPT), {action, m_dir.path()}) == 0;
    }
    QTemporaryDir m_dir;
    bool m_started = false;
};

struct Round {
    double firstBlockMs = 0;
    // LAME's first output is the frame it reserves for a stream header; the
    // next holds the first captured samples.
    double headerMs = 0;
    double firstSoundMs = 0;
    double finishedMs = 0; // requestFinish() to finished()
    double waitedMs = 0;   // requestFinish() to wait() returning
};

Round timeRound(PaRecThread& recorder, const QString& path)
{
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "w+b");
    if (!file)
        fail("cannot create the recording file");
    // Unbuffered, so that the file's size on disk follows every write.
    std::setvbuf(file, nullptr, _IONBF, 0);
    std::atomic<qint64> finishedAtNs{0};
    QElapsedTimer clock;
    const QMetaObject::Connection watch = QObject::connect(
        &recorder, &QThread::finished, &recorder, [&] { finishedAtNs.store(clock.nsecsElapsed()); },
        Qt::DirectConnection);

    Round round;
    recorder.setOutputFile(file);
    clock.start();
    recorder.start(QThread::InheritPriority);
    qint64 headerBytes = 0;
    while (round.firstSoundMs == 0 && clock.nsecsElapsed() < kTimeoutNs) {
        const double nowMs = clock.nsecsElapsed() / 1e6;
        if (round.firstBlockMs == 0 && recorder.framesCaptured() > 0)
            round.firstBlockMs = nowMs;
        const qint64 size = QFileInfo(path).size();
        if (headerBytes == 0 && size > 0) {
            headerBytes = size;
            round.headerMs = nowMs;
        } else if (headerBytes > 0 && size > headerBytes) {
            round.firstSoundMs = nowMs;
        }
        QThread::usleep(kPollUs);
    }
    QThread::msleep(kHoldMs);
    const qint64 requestedNs = clock.nsecsElapsed();
    recorder.requestFinish();
    if (!recorder.wait(kTimeoutNs / 1'000'000))
        fail("the recording did not finish");
    round.waitedMs = (clock.nsecsElapsed() - requestedNs) / 1e6;
    round.finishedMs = (finishedAtNs.load() - requestedNs) / 1e6;
    QObject::disconnect(watch);
    std::fclose(file);
    if (!recorder.succeeded())
        fail(qPrintable(recorder.errorText()));
    return round;
}

void printFigure(const char* what, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::printf("  %-42s median %7.1f ms   min %7.1f   max %7.1f\n", what, values[values.size() / 2], values.front(),
                values.back());
}

void benchEncoder()
{
    const int frames = kEncodeSeconds * Mp3Encoder::kSampleRateHz;
    std::vector<float> tones(size_t(2 * frames));
    for (int i = 0; i < frames; ++i) {
        tones[size_t(2 * i)] = float(0.5 * std::sin(2 * M_PI * 440 * i / Mp3Encoder::kSampleRateHz));
        tones[size_t(2 * i + 1)] = float(0.5 * std::sin(2 * M_PI * 660 * i / Mp3Encoder::kSampleRateHz));
    }
    std::FILE* sink = std::fopen("/dev/null", "wb");
    Mp3Encoder encoder;
    if (!sink || !encoder.open(sink, 32767.0f))
        fail("cannot open the encoder");
    QElapsedTimer clock;
    clock.start();
    for (int at = 0; at < frames; at += int(Mp3Encoder::kBlockFrames))
        if (!encoder.encode(tones.data() + 2 * at, std::min<unsigned long>(Mp3Encoder::kBlockFrames, frames - at)))
            fail("encoding failed");
    if (!encoder.flush())
        fail("the flush failed");
    const double seconds = clock.nsecsElapsed() / 1e9;
    std::fclose(sink);
    const double blocks = double(frames) / Mp3Encoder::kBlockFrames;
    const double blockMs = 1000.0 * Mp3Encoder::kBlockFrames / Mp3Encoder::kSampleRateHz;
    std::printf("encoder, %d s of stereo in %lu-frame blocks:\n", kEncodeSeconds, Mp3Encoder::kBlockFrames);
    std::printf("  %-42s %7.3f s (%.1f%% of real time)\n", "total", seconds, 100 * seconds / kEncodeSeconds);
    std::printf("  %-42s %7.1f us of the block's %.1f ms\n", "per block", 1e6 * seconds / blocks, blockMs);
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultRounds;
    const SoundServer server;
    QTemporaryDir dir;
    if (!dir.isValid())
        fail("no temporary folder");

    PaRecThread recorder;
    std::vector<double> firstBlock, header, firstSound, finished, waited;
    for (int i = 0; i < rounds; ++i) {
        const Round round = timeRound(recorder, dir.filePath(QStringLiteral("round%1.mp3").arg(i)));
        firstBlock.push_back(round.firstBlockMs);
        header.push_back(round.headerMs);
        firstSound.push_back(round.firstSoundMs);
        finished.push_back(round.finishedMs);
        waited.push_back(round.waitedMs);
    }
    std::printf("recorder, %d recordings of %d ms from the default input:\n", rounds, kHoldMs);
    printFigure("start() to the first block captured", firstBlock);
    printFigure("start() to LAME's header frame on disk", header);
    printFigure("start() to the first sound frame on disk", firstSound);
    printFigure("requestFinish() to finished()", finished);
    printFigure("requestFinish() to wait() returning", waited);
    benchEncoder();
    return 0;
}
