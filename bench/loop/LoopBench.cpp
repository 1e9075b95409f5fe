// The sentence loop of Listen & Repeat against mpv's A-B loop, on one white
// noise MP3: for every round, how far past the sentence's end playback ran,
// how much of the sentence's start was lost after the jump back, and what
// lay between. Then how soon a recording started with the record button
// holds sound, and how soon it is in place after the button is released.
//   loop_bench FILE.mp3 START END ROUNDS   (seconds of the sentence)
// Run it through run.sh, which makes the file and the private sound server.
#include "LoopAnalysis.h"

#include "FakeViews.h"
#include "SoundAnalysis.h"
#include "SoundCapture.h"
#include "Subprocess.h"

#include "controller/Repeta.h"
#include "record/PaRecThread.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

constexpr int kRate = 44100;
constexpr int kRecordingRounds = 5;
constexpr int kHoldMs = 1000;
constexpr qint64 kTimeoutMs = 10000;
constexpr int kTailMs = 300; // recorded after the last round

[[noreturn]] void fail(const char* why)
{
    std::fprintf(stderr, "loop_bench: %s\n", why);
    std::exit(1);
}

Samples leftChannel(const Pcm& pcm)
{
    Samples left(size_t(pcm.frames()));
    for (qsizetype i = 0; i < pcm.frames(); ++i)
        left[size_t(i)] = pcm.at(i, 0);
    return left;
}

void runEventsFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(500);
    }
}

Samples recordEngine(Repeta& repeta, int sentence, double seconds)
{
    repeta.selectSentence(sentence);
    repeta.setOriVolume(1.0f); // the samples as decoded, not scaled
    SoundCapture capture;
    if (!capture.start())
        fail("cannot record the sink");
    repeta.playSentence(true);
    runEventsFor(int(seconds * 1000) + kTailMs);
    repeta.playSentence(false);
    runEventsFor(100);
    return leftChannel(capture.stop());
}

Samples recordMpv(const QString& path, double start, double end, int rounds)
{
    SoundCapture capture;
    if (!capture.start())
        fail("cannot record the sink");
    Subprocess mpv;
    const QString from = QString::number(start, 'f', 3);
    const QString to = QString::number(end, 'f', 3);
    // It plays the A-B loop `rounds` times, then on a little past B and ends.
    if (!mpv.start({QStringLiteral("mpv"), QStringLiteral("--no-config"), QStringLiteral("--no-video"),
                    QStringLiteral("--ao=pulse"), QStringLiteral("--really-quiet"), QStringLiteral("--start=") + from,
                    QStringLiteral("--ab-loop-a=") + from, QStringLiteral("--ab-loop-b=") + to,
                    QStringLiteral("--ab-loop-count=%1").arg(rounds - 1),
                    QStringLiteral("--end=") + QString::number(end + kTailMs / 1000.0, 'f', 3), path}))
        fail("cannot start mpv");
    if (mpv.wait() != 0)
        fail("mpv failed");
    return leftChannel(capture.stop());
}

double median(std::vector<double> values)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void printLoop(const char* who, const LoopAnalysis& loop, double sentenceMs)
{
    std::printf("%s: %zu runs, %zu jumps back\n", who, loop.runs.size(), loop.jumps.size());
    std::printf("  %5s %12s %12s %10s %10s %10s\n", "jump", "past end ms", "lost start", "gap ms", "silent ms",
                "run ms");
    std::vector<double> past, lost, gap;
    for (size_t i = 0; i < loop.jumps.size(); ++i) {
        const LoopJump& jump = loop.jumps[i];
        const double runMs = double(loop.runs[i + 1].length) / (kRate / 1000.0);
        std::printf("  %5zu %12.2f %12.2f %10.2f %10.2f %10.1f\n", i + 1, jump.pastEndMs, jump.lostStartMs,
                    jump.gapMs, jump.gapSilentMs, runMs);
        past.push_back(jump.pastEndMs);
        lost.push_back(jump.lostStartMs);
        gap.push_back(jump.gapMs);
    }
    if (loop.jumps.empty())
        return;
    auto span = [](const std::vector<double>& v) { return std::minmax_element(v.begin(), v.end()); };
    const auto [pastMin, pastMax] = span(past);
    const auto [lostMin, lostMax] = span(lost);
    const auto [gapMin, gapMax] = span(gap);
    std::printf("  past the end:  %7.2f .. %7.2f ms, median %7.2f\n", *pastMin, *pastMax, median(past));
    std::printf("  lost at start: %7.2f .. %7.2f ms, median %7.2f\n", *lostMin, *lostMax, median(lost));
    std::printf("  gap at jump:   %7.2f .. %7.2f ms, median %7.2f (sentence %.0f ms)\n", *gapMin, *gapMax,
                median(gap), sentenceMs);
}

void printFigure(const char* what, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::printf("  %-44s median %7.1f ms   min %7.1f   max %7.1f\n", what, values[values.size() / 2], values.front(),
                values.back());
}

qint64 elapsedUntil(const QElapsedTimer& clock, const std::function<bool()>& done)
{
    while (!done()) {
        if (clock.elapsed() > kTimeoutMs)
            fail("timed out");
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QThread::usleep(100);
    }
    return clock.nsecsElapsed();
}

// Recording through the controller, as the record button does it: the file
// is written beside the target and put in its place when the recording ends.
void benchRecording(Repeta& repeta)
{
    std::vector<double> firstBlock, firstFrame, done;
    for (int i = 0; i < kRecordingRounds; ++i) {
        const QString target = repeta.recordPath();
        QFile::remove(target);
        QElapsedTimer clock;
        clock.start();
        repeta.startRecording(true);
        const qint64 capturedAt = elapsedUntil(clock, [&] { return repeta.recorder()->framesCaptured() > 0; });
        const qint64 encodedAt = elapsedUntil(clock, [&] { return repeta.recorder()->bytesWritten() > 0; });
        runEventsFor(kHoldMs);
        const qint64 released = clock.nsecsElapsed();
        repeta.startRecording(false);
        const qint64 inPlace = elapsedUntil(clock, [&] { return QFileInfo::exists(target); });
        firstBlock.push_back(capturedAt / 1e6);
        firstFrame.push_back(encodedAt / 1e6);
        done.push_back((inPlace - released) / 1e6);
    }
    std::printf("recording through the controller, %d rounds of %d ms:\n", kRecordingRounds, kHoldMs);
    printFigure("record pressed to the first captured sample", firstBlock);
    printFigure("record pressed to LAME's first output written", firstFrame);
    printFigure("record released to doRecDone (file in place)", done);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 5)
        fail("usage: loop_bench FILE.mp3 START END ROUNDS");
    QApplication app(argc, argv);
    const QString source = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const double start = std::atof(argv[2]);
    const double end = std::atof(argv[3]);
    const int rounds = std::max(2, std::atoi(argv[4]));

    QTemporaryDir home;
    if (!home.isValid() || !QDir(home.path()).mkpath(QStringLiteral("workspace")) ||
        !QFile::copy(source, home.filePath(QStringLiteral("workspace/noise.mp3"))) ||
        !QFile::copy(QFileInfo(source).path() + QStringLiteral("/") + QFileInfo(source).completeBaseName() +
                         QStringLiteral(".lrc"),
                     home.filePath(QStringLiteral("workspace/noise.lrc"))) ||
        !QDir::setCurrent(home.path()))
        fail("cannot prepare the working folder");

    FakeViews views;
    Repeta repeta(&views.ctrl, &views.tabs, &views.rec, &views.pce, &views.ori, nullptr);
    repeta.openMaterial(QStringLiteral("./workspace/noise.mp3"));
    repeta.choosePhase(ListenRepeat);
    int sentence = -1;
    for (int i = 0; i < int(repeta.sentenceCount()); ++i)
        if (std::abs(repeta.sentenceStarts()[i] - start) < 1e-3)
            sentence = i;
    if (sentence < 0)
        fail("no sentence starts there");

    const Samples file = leftChannel(decodeFile(source));
    const auto first = Index(std::llround(start * kRate));
    const auto last = Index(std::llround(end * kRate));
    const double sentenceMs = (end - start) * 1000;
    std::printf("sentence %d: %.3f s to %.3f s, %d rounds, file decoded by ffmpeg: %zu samples\n", sentence, start,
                end, rounds, file.size());
    printLoop("engine", analyseLoop(file, recordEngine(repeta, sentence, rounds * (end - start)), first, last),
              sentenceMs);
    printLoop("mpv", analyseLoop(file, recordMpv(source, start, end, rounds), first, last), sentenceMs);
    benchRecording(repeta);
    return 0;
}
