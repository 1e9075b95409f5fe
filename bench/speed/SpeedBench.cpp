// Prints the media engine's playback at another speed beside mpv's
// --speed, measured in one run on the same files:
//   speed_bench all SPEECH.mp3 TONES.wav
// and, as the child whose CPU it measures:
//   speed_bench play FILE SPEED
// TONES holds 400 Hz, then 600 Hz from 1 s; its sentence from 0.5 s to
// 1.5 s is looped, and every round is found in a recording of the sink.
#include "Processes.h"
#include "SoundCapture.h"
#include "ToneRuns.h"

#include "media/IAudio.h"
#include "media/MediaEngine.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double kCpuSpeeds[] = {1.0, 0.75};
constexpr double kLoopSpeeds[] = {0.5, 0.75, 1.25};
constexpr double kSentenceStart = 0.5; // seconds of TONES
constexpr double kSentenceEnd = 1.5;
constexpr int kRounds = 6;
// Beyond the rounds: mpv's start, the sink's delay.
constexpr int kExtraMs = 1500;
const std::string kOffscreen = "QT_QPA_PLATFORM=offscreen";

void runEvents(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

std::string decimal(double value) { return QString::number(value).toStdString(); }

MediaIdentifier identify(const QString& path, IAudio* audio)
{
    MediaIdentifier id;
    id.path = path;
    id.audio = audio;
    return id;
}

// Child: one file to its end at a speed.
int play(const QString& path, double speed)
{
    IAudio audio;
    audio.useDefaultOutput();
    MediaEngine engine;
    QObject::connect(&engine, &MediaEngine::sigPlayStopped, qApp, &QCoreApplication::quit);
    const MediaIdentifier id = identify(path, &audio);
    engine.doOpen(id);
    engine.doSetSpeed(id, speed);
    if (!engine.doStart(id, true) || engine.duration(id) <= 0)
        return 1;
    return QApplication::exec();
}

void compareCpu(const std::string& self, const std::string& speech)
{
    std::printf("\nCPU seconds (user + system) per second of playback, speech MP3, sound only\n");
    std::printf("%-10s %12s %12s %14s %14s\n", "speed", "engine", "mpv", "engine plays", "mpv plays");
    for (double speed : kCpuSpeeds) {
        const Usage ours = runProcess({self, "play", speech, decimal(speed)}, {kOffscreen});
        const Usage mpv = runProcess({"mpv", "--no-config", "--no-video", "--ao=pulse", "--really-quiet",
                                      "--speed=" + decimal(speed), speech});
        std::printf("%-10s %12.4f %12.4f %13.1fs %13.1fs\n", (decimal(speed) + "x").c_str(),
                    ours.cpuSeconds / ours.wallSeconds, mpv.cpuSeconds / mpv.wallSeconds, ours.wallSeconds,
                    mpv.wallSeconds);
        if (!ours.exitedCleanly)
            std::printf("warning: the engine's playback at %sx did not end cleanly\n", decimal(speed).c_str());
    }
}

// Seconds between the recorded jumps back from 600 to 400 Hz.
std::vector<double> roundLengths(const Pcm& pcm)
{
    const QVector<double> jumps = tones::changes(tones::runs(pcm, {400.0, 600.0}, 0.010, 0.001), 600.0, 400.0);
    std::vector<double> lengths;
    for (qsizetype i = 1; i < jumps.size(); ++i)
        lengths.push_back(jumps[i] - jumps[i - 1]);
    return lengths;
}

std::vector<double> engineRounds(const QString& tones, double speed)
{
    SoundCapture capture;
    if (!capture.start())
        return {};
    IAudio audio;
    audio.useDefaultOutput();
    MediaEngine engine;
    int rounds = 0;
    QObject::connect(&engine, &MediaEngine::sigMarkOut, [&rounds] { ++rounds; });
    const MediaIdentifier id = identify(tones, &audio);
    engine.doOpen(id);
    engine.doSetSpeed(id, speed);
    engine.doSetInOut(id, kSentenceStart, kSentenceEnd);
    engine.doSetLooping(id, true);
    engine.doSeekTime(id, kSentenceStart);
    engine.doStart(id, true);
    QElapsedTimer clock;
    clock.start();
    const double roundMs = (kSentenceEnd - kSentenceStart) / speed * 1000;
    while (rounds <= kRounds && clock.elapsed() < (kRounds + 2) * roundMs + kExtraMs)
        runEvents(10);
    engine.doStart(id, false);
    return roundLengths(capture.stop());
}

std::vector<double> mpvRounds(const std::string& tones, double speed)
{
    SoundCapture capture;
    if (!capture.start())
        return {};
    const pid_t mpv = spawnProcess({"mpv", "--no-config", "--no-video", "--ao=pulse", "--really-quiet",
                                    "--speed=" + decimal(speed), "--start=" + decimal(kSentenceStart),
                                    "--ab-loop-a=" + decimal(kSentenceStart), "--ab-loop-b=" + decimal(kSentenceEnd),
                                    tones});
    const double started = monotonicSeconds();
    runEvents(int((kRounds + 1) * (kSentenceEnd - kSentenceStart) / speed * 1000) + kExtraMs);
    if (mpv > 0)
        kill(mpv, SIGTERM);
    waitProcess(mpv, started);
    return roundLengths(capture.stop());
}

std::string roundSummary(const std::vector<double>& lengths, double expected)
{
    if (lengths.empty())
        return "no rounds found";
    double sum = 0;
    double worst = 0;
    for (double length : lengths) {
        sum += length - expected;
        worst = std::max(worst, std::abs(length - expected));
    }
    char text[80];
    std::snprintf(text, sizeof text, "%2zu rounds, mean %+6.1f, worst %5.1f", lengths.size(),
                  sum / double(lengths.size()) * 1000, worst * 1000);
    return text;
}

void compareRounds(const QString& tones)
{
    std::printf("\nRounds of a looped 1 s sentence, recorded from the sink: ms off the sentence over the speed\n");
    std::printf("%-8s %10s   %-36s %-36s\n", "speed", "expected", "engine", "mpv A-B loop");
    for (double speed : kLoopSpeeds) {
        const double expected = (kSentenceEnd - kSentenceStart) / speed;
        const std::vector<double> ours = engineRounds(tones, speed);
        const std::vector<double> theirs = mpvRounds(tones.toStdString(), speed);
        std::printf("%-8s %8.1fms   %-36s %-36s\n", (decimal(speed) + "x").c_str(), expected * 1000,
                    roundSummary(ours, expected).c_str(), roundSummary(theirs, expected).c_str());
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString mode = args.value(1);
    if (mode == QLatin1String("play") && args.size() == 4)
        return play(args[2], args[3].toDouble());
    if (mode == QLatin1String("all") && args.size() == 4) {
        std::printf("playback at another speed, the media engine against mpv, on the same files\n");
        compareCpu(args[0].toStdString(), args[2].toStdString());
        compareRounds(args[3]);
        return 0;
    }
    std::fprintf(stderr, "usage: speed_bench all SPEECH.mp3 TONES.wav\n");
    return 2;
}
