// Prints the media engine's figures beside mpv's, measured in one run on the
// same files:
//   media_bench all SPEECH.mp3 MOVIE.flv STEPS.mp3 MOVIE720.mp4
// and, as the children that run measures:
//   media_bench play FILE [--video=WxH]    plays one file to its end; with a
//                                          surface of that size, prints how
//                                          many pictures it showed and dropped
//   media_bench hold SECONDS FILE...       plays the files at once for a while
#include "Processes.h"
#include "SinkRecorder.h"

#include "media/IAudio.h"
#include "media/IVideo.h"
#include "media/MediaEngine.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kSurfaceWidth = 320;
constexpr int kSurfaceHeight = 240;
// The 720p movie is shown at its own size, as mpv opens it.
const std::string kHdSurface = "1280x720";
constexpr int kRounds = 5;
constexpr int kSoundTimeoutMs = 3000;
constexpr int kSettleMs = 500; // after opening, before the timed command
constexpr int kPlayBeforeSeekMs = 1000;
constexpr double kSeekTarget = 7.5; // seconds; second 7 of the steps file is 1000 Hz
constexpr double kSeekTone = 1000.0;
constexpr int kHoldSeconds = 20;
constexpr int kMediaForMemory = 4;
constexpr double kQueueLimitMegabytes = 1.25; // per queue, two queues per media
const std::string kOffscreen = "QT_QPA_PLATFORM=offscreen";
const std::string kX11 = "QT_QPA_PLATFORM=xcb";
// What a child with a picture prints last: "pictures SHOWN DROPPED".
const char* const kPicturesLine = "pictures";
// mpv's status line, printed to a file: the pictures that its video output
// and its decoder dropped.
const std::string kMpvStatus = "--term-status-msg=mpvdropped ${frame-drop-count} ${decoder-frame-drop-count}";

void runEvents(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

MediaIdentifier identify(const QString& path, IAudio* audio, VideoDev* video)
{
    MediaIdentifier id;
    id.path = path;
    id.audio = audio;
    id.video = video;
    return id;
}

bool hasVideo(const QString& path)
{
    return path.endsWith(QLatin1String(".flv")) || path.endsWith(QLatin1String(".mp4"));
}

// "--video=WxH": the size of the surface, if any.
std::optional<QSize> surfaceSize(const QStringList& args)
{
    for (const QString& arg : args) {
        if (arg.startsWith(QLatin1String("--video="))) {
            const QStringList parts = arg.mid(8).split(QLatin1Char('x'));
            if (parts.size() == 2 && parts[0].toInt() > 0 && parts[1].toInt() > 0)
                return QSize(parts[0].toInt(), parts[1].toInt());
        }
    }
    return std::nullopt;
}

// Child: one file to its end, with a surface for its pictures if asked.
int play(const QString& path, std::optional<QSize> size)
{
    std::unique_ptr<IVideo> surface;
    if (size) {
        surface = std::make_unique<IVideo>();
        surface->resize(*size);
        surface->show();
    }
    IAudio audio;
    audio.useDefaultOutput();
    MediaEngine engine;
    QObject::connect(&engine, &MediaEngine::sigPlayStopped, qApp, &QCoreApplication::quit);
    const MediaIdentifier id = identify(path, &audio, surface.get());
    engine.doOpen(id);
    if (!engine.doStart(id, true) || engine.duration(id) <= 0)
        return 1;
    const int result = QApplication::exec();
    if (surface)
        std::printf("%s %d %d\n", kPicturesLine, surface->shownPictures(), surface->droppedPictures());
    return result;
}

// Child: every file at once, for a while; the parent reads the peak memory.
int hold(int seconds, const QStringList& paths)
{
    std::unique_ptr<IVideo> surface;
    const bool anyVideo = std::any_of(paths.begin(), paths.end(), hasVideo);
    if (anyVideo) {
        surface = std::make_unique<IVideo>();
        surface->resize(kSurfaceWidth, kSurfaceHeight);
        surface->show();
    }
    std::vector<std::unique_ptr<IAudio>> devices;
    auto engine = std::make_unique<MediaEngine>();
    for (const QString& path : paths) {
        devices.push_back(std::make_unique<IAudio>());
        devices.back()->useDefaultOutput();
        const MediaIdentifier id = identify(path, devices.back().get(), hasVideo(path) ? surface.get() : nullptr);
        engine->doOpen(id);
        engine->doStart(id, true);
    }
    runEvents(seconds * 1000);
    engine.reset();
    return 0;
}

struct Latency {
    std::vector<double> start;
    std::vector<double> seek;
};

double milliseconds(Clock::duration span) { return std::chrono::duration<double, std::milli>(span).count(); }

void latencyOfEngine(SinkRecorder& recorder, const QString& steps, Latency& latency)
{
    for (int round = 0; round < kRounds; ++round) {
        IAudio audio;
        audio.useDefaultOutput();
        MediaEngine engine;
        const MediaIdentifier id = identify(steps, &audio, nullptr);
        engine.doOpen(id);
        runEvents(kSettleMs);
        Clock::time_point heard;
        const Clock::time_point started = Clock::now();
        engine.doStart(id, true);
        if (recorder.waitForSound(started, 0, &heard, kSoundTimeoutMs))
            latency.start.push_back(milliseconds(heard - started));
        runEvents(kPlayBeforeSeekMs);
        const Clock::time_point sought = Clock::now();
        engine.doSeekTime(id, kSeekTarget);
        if (recorder.waitForSound(sought, kSeekTone, &heard, kSoundTimeoutMs))
            latency.seek.push_back(milliseconds(heard - sought));
        engine.doStart(id, false);
        runEvents(kSettleMs);
    }
}

void latencyOfMpv(SinkRecorder& recorder, const QString& steps, Latency& latency)
{
    const std::string socket = "/tmp/media_bench_mpv_" + std::to_string(getpid());
    for (int round = 0; round < kRounds; ++round) {
        MpvControl mpv(steps.toStdString(), socket);
        if (!mpv.isReady())
            return;
        runEvents(kSettleMs);
        Clock::time_point heard;
        const Clock::time_point started = Clock::now();
        mpv.send(R"({"command":["set_property","pause",false]})");
        if (recorder.waitForSound(started, 0, &heard, kSoundTimeoutMs))
            latency.start.push_back(milliseconds(heard - started));
        runEvents(kPlayBeforeSeekMs);
        const Clock::time_point sought = Clock::now();
        mpv.send(R"({"command":["seek",)" + std::to_string(kSeekTarget) + R"(,"absolute"]})");
        if (recorder.waitForSound(sought, kSeekTone, &heard, kSoundTimeoutMs))
            latency.seek.push_back(milliseconds(heard - sought));
    }
}

std::string summary(std::vector<double> values)
{
    if (values.empty())
        return "no sound";
    std::sort(values.begin(), values.end());
    char text[64];
    std::snprintf(text, sizeof text, "median %5.1f  max %5.1f  (%zu/%d)", values[values.size() / 2], values.back(),
                  values.size(), kRounds);
    return text;
}

std::string readText(const std::string& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The numbers after the last `key` in a child's output; empty when missing.
std::vector<long> numbersAfter(const std::string& text, const std::string& key)
{
    std::vector<long> numbers;
    const size_t at = text.rfind(key);
    if (at == std::string::npos)
        return numbers;
    std::istringstream rest(text.substr(at + key.size()));
    long number = 0;
    while (numbers.size() < 2 && rest >> number)
        numbers.push_back(number);
    return numbers;
}

// The word between "VO: [" and "]" in mpv's output: the video output it chose.
std::string mpvVideoOutput(const std::string& text)
{
    const std::string key = "VO: [";
    const size_t at = text.find(key);
    const size_t end = at == std::string::npos ? at : text.find(']', at);
    return end == std::string::npos ? "unknown" : text.substr(at + key.size(), end - at - key.size());
}

void printCpuRow(const char* name, const Usage& ours, const Usage& mpv)
{
    std::printf("%-34s %12.4f %12.4f\n", name, ours.cpuSeconds / ours.wallSeconds, mpv.cpuSeconds / mpv.wallSeconds);
}

// A movie with sound and picture, the surface and mpv's window of one size:
// CPU, playing time, and the pictures each dropped.
void compareMovie(const std::string& self, const char* name, const std::string& movie, const std::string& size)
{
    const std::string ourOutput = movie + ".engine.txt";
    const std::string mpvOutput = movie + ".mpv.txt";
    const Usage ours = runProcess({self, "play", movie, "--video=" + size}, {kX11}, ourOutput);
    const Usage mpv =
        runProcess({"mpv", "--no-config", "--ao=pulse", "--geometry=" + size, kMpvStatus, movie}, {}, mpvOutput);
    printCpuRow(name, ours, mpv);
    std::printf("%-34s %11.1fs %11.1fs\n", "  playing time", ours.wallSeconds, mpv.wallSeconds);
    const std::string mpvText = readText(mpvOutput);
    const std::vector<long> ourPictures = numbersAfter(readText(ourOutput), kPicturesLine);
    const std::vector<long> mpvDropped = numbersAfter(mpvText, "mpvdropped");
    if (ourPictures.size() == 2)
        std::printf("  engine: %ld pictures shown, %ld dropped\n", ourPictures[0], ourPictures[1]);
    else
        std::printf("  engine: pictures not reported\n");
    if (mpvDropped.size() == 2)
        std::printf("  mpv (video output %s): %ld dropped by the output, %ld by the decoder\n",
                    mpvVideoOutput(mpvText).c_str(), mpvDropped[0], mpvDropped[1]);
    else
        std::printf("  mpv (video output %s): drops not reported\n", mpvVideoOutput(mpvText).c_str());
    if (!ours.exitedCleanly)
        std::printf("warning: the engine's playback of %s did not end cleanly\n", movie.c_str());
}

void compareCpu(const std::string& self, const std::string& speech, const std::string& movie,
                const std::string& movieHd)
{
    std::printf("\nCPU seconds (user + system) per second of playback\n");
    std::printf("%-34s %12s %12s\n", "", "engine", "mpv");
    const Usage ourSpeech = runProcess({self, "play", speech}, {kOffscreen});
    const Usage mpvSpeech = runProcess({"mpv", "--no-config", "--no-video", "--ao=pulse", "--really-quiet", speech});
    printCpuRow("speech MP3, sound only", ourSpeech, mpvSpeech);
    if (!ourSpeech.exitedCleanly)
        std::printf("warning: the engine's playback of %s did not end cleanly\n", speech.c_str());
    compareMovie(self, "FLV, 25 fps, 320x240", movie,
                 std::to_string(kSurfaceWidth) + "x" + std::to_string(kSurfaceHeight));
    compareMovie(self, "720p H.264 MP4, 30 fps, 1280x720", movieHd, kHdSurface);
}

void compareLatency(const QString& steps)
{
    SinkRecorder recorder;
    if (!recorder.isRunning()) {
        std::printf("\nno recorder (parec): latencies not measured\n");
        return;
    }
    runEvents(kSettleMs);
    Latency ours;
    Latency theirs;
    latencyOfEngine(recorder, steps, ours);
    latencyOfMpv(recorder, steps, theirs);
    std::printf("\nLatency in ms, to the sound at the sink (includes the recorder's own ~5 ms)\n");
    std::printf("%-26s %-32s %-32s\n", "", "engine", "mpv");
    std::printf("%-26s %-32s %-32s\n", "start to first sample", summary(ours.start).c_str(),
                summary(theirs.start).c_str());
    std::printf("%-26s %-32s %-32s\n", "seek to the new position", summary(ours.seek).c_str(),
                summary(theirs.seek).c_str());
}

void compareMemory(const std::string& self, const std::string& speech, const std::string& movie,
                   const std::string& movieHd)
{
    const std::string seconds = std::to_string(kHoldSeconds);
    const Usage idle = runProcess({self, "hold", seconds}, {kX11});
    const Usage one = runProcess({self, "hold", seconds, movie}, {kX11});
    const Usage oneHd = runProcess({self, "hold", seconds, movieHd}, {kX11});
    const Usage four = runProcess({self, "hold", seconds, speech, speech, movie, movie}, {kX11});
    long mpvOne = 0;
    long mpvFour = 0;
    {
        std::vector<pid_t> players;
        const double started = monotonicSeconds();
        for (const std::string& file : {speech, speech, movie, movie})
            players.push_back(spawnProcess({"mpv", "--no-config", "--ao=pulse", "--really-quiet",
                                            "--end=" + seconds, file}));
        for (pid_t player : players) {
            const long peak = waitProcess(player, started).peakKilobytes;
            mpvFour += peak;
            mpvOne = std::max(mpvOne, peak);
        }
    }
    std::printf("\nPeak resident memory, MB (%d s of playing)\n", kHoldSeconds);
    std::printf("%-40s %12s %12s\n", "", "engine", "mpv");
    std::printf("%-40s %12.1f %12s\n", "nothing open", idle.peakKilobytes / 1024.0, "-");
    std::printf("%-40s %12.1f %12.1f\n", "one FLV (mpv: largest of its four)", one.peakKilobytes / 1024.0,
                mpvOne / 1024.0);
    std::printf("%-40s %12.1f %12s\n", "one 720p MP4", oneHd.peakKilobytes / 1024.0, "-");
    std::printf("%-40s %12.1f %12.1f\n", "four media (mpv: four processes, summed)", four.peakKilobytes / 1024.0,
                mpvFour / 1024.0);
    std::printf("compressed data queued by the engine is bounded by %.1f MB for four media\n",
                kMediaForMemory * 2 * kQueueLimitMegabytes);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const std::string self = args.value(0).toStdString();
    const QString mode = args.value(1);
    if (mode == QLatin1String("play") && args.size() >= 3)
        return play(args[2], surfaceSize(args.mid(3)));
    if (mode == QLatin1String("hold") && args.size() >= 3)
        return hold(args[2].toInt(), args.mid(3));
    if (mode == QLatin1String("all") && args.size() == 6) {
        std::printf("media engine against mpv, on the same files\n");
        compareCpu(self, args[2].toStdString(), args[3].toStdString(), args[5].toStdString());
        compareLatency(args[4]);
        compareMemory(self, args[2].toStdString(), args[3].toStdString(), args[5].toStdString());
        return 0;
    }
    std::fprintf(stderr, "usage: media_bench all SPEECH.mp3 MOVIE.flv STEPS.mp3 MOVIE720.mp4\n");
    return 2;
}
