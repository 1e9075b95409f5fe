// Times the waveform extractor beside ffmpeg on a 60-minute speech MP3 and
// prints the figures side by side. Run from an optimised build (no
// sanitizers); the media are made on the first run and kept in the build tree.
//   bench_waveform [CACHE_DIR]
#include "waveform/Ploter.h"
#include "waveform/plotThread.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QSet>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <functional>

namespace {

constexpr int kLongMinutes = 60;
constexpr int kShortMinutes = 6; // the memory figure is compared against this length
constexpr int kRecordingSeconds = 10;
constexpr float kPieceStartSeconds = 1800;
constexpr float kPieceSeconds = 5;
constexpr int kRuns = 5;            // each figure is the best of this many
constexpr int kRequestTimeoutMs = 120000;

const QString kScriptDir = QStringLiteral(BENCH_SCRIPT_DIR);

[[noreturn]] void fail(const QString& why)
{
    std::fprintf(stderr, "bench_waveform: %s\n", qPrintable(why));
    std::exit(1);
}

void run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        fail(program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) + QStringLiteral(" failed"));
}

// Wall time and processor time (this process and its finished children) of
// one piece of work. Processor time is what "on one core" compares: it does
// not count the waits that other work on the machine causes.
struct Timing {
    double wallMs = 1e300;
    double cpuMs = 1e300;
};

double cpuMsSoFar()
{
    double total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        total += (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                 (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    }
    return total;
}

void timeOnce(const std::function<void()>& work, Timing& best)
{
    QElapsedTimer timer;
    const double cpuBefore = cpuMsSoFar();
    timer.start();
    work();
    best.wallMs = std::min(best.wallMs, timer.nsecsElapsed() / 1e6);
    best.cpuMs = std::min(best.cpuMs, cpuMsSoFar() - cpuBefore);
}

Timing timingOf(const std::function<void()>& work)
{
    Timing best;
    for (int i = 0; i < kRuns; ++i)
        timeOnce(work, best);
    return best;
}

// Two kinds of work timed in turn, so that both see the same machine load.
std::pair<Timing, Timing> timingOfBoth(const std::function<void()>& first, const std::function<void()>& second)
{
    std::pair<Timing, Timing> best;
    for (int i = 0; i < kRuns; ++i) {
        timeOnce(first, best.first);
        timeOnce(second, best.second);
    }
    return best;
}

QString ensureSpeech(const QString& dir, int minutes)
{
    const QString path = QStringLiteral("%1/speech%2min.mp3").arg(dir).arg(minutes);
    if (!QFileInfo::exists(path)) {
        std::printf("making %s ...\n", qPrintable(path));
        std::fflush(stdout);
        run(kScriptDir + QStringLiteral("/make_speech.sh"), {path, QString::number(minutes)});
    }
    return path;
}

QString ensureRecording(const QString& dir, const QString& speech)
{
    const QString path = dir + QStringLiteral("/recording.mp3");
    if (!QFileInfo::exists(path))
        run(QStringLiteral("ffmpeg"), {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"),
                                       QStringLiteral("-i"), speech, QStringLiteral("-t"),
                                       QString::number(kRecordingSeconds), QStringLiteral("-c:a"),
                                       QStringLiteral("libmp3lame"), QStringLiteral("-b:a"), QStringLiteral("128k"),
                                       QStringLiteral("-y"), path});
    return path;
}

QStringList ffmpegArguments(const QString& input, const QStringList& output, const QStringList& before = {})
{
    return QStringList{QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"),
                       QStringLiteral("-threads"), QStringLiteral("1")} +
           before + QStringList{QStringLiteral("-i"), input} + output;
}

QImage drawnBy(const QString& path, int parts)
{
    plotThread worker;
    worker.openSource(path.toUtf8());
    worker.setParts(parts);
    worker.start();
    worker.wait();
    if (!worker.isDelivered())
        fail(QStringLiteral("no picture for ") + path);
    return worker.picture();
}

// Requests all at once from one ploter and returns when every one arrived.
void plotAll(const QVector<PlotIdentifier>& ids)
{
    Ploter ploter;
    QSet<QString> pending;
    auto key = [](const PlotIdentifier& id) { return QStringLiteral("%1|%2|%3").arg(id.path).arg(id.start).arg(id.end); };
    for (const PlotIdentifier& id : ids)
        pending.insert(key(id));
    QEventLoop loop;
    QObject::connect(&ploter, &Ploter::sigPlotDone, &loop, [&](PlotIdentifier id) {
        pending.remove(key(id));
        if (pending.isEmpty())
            loop.quit();
    });
    QTimer::singleShot(kRequestTimeoutMs, &loop, [&] { fail(QStringLiteral("a request did not arrive")); });
    for (const PlotIdentifier& id : ids)
        ploter.doPlot(id);
    if (!pending.isEmpty())
        loop.exec();
}

// A "VmRSS:" or "VmHWM:" figure of this process, in KB.
long residentKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read /proc/self/status"));
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    }
    fail(QStringLiteral("no memory figure"));
}

// Child mode: resident memory before one whole-file request and its peak
// during the request (the kernel's high-water mark is reset in between).
int printRequestMemory(const QString& path)
{
    plotAll({PlotIdentifier{QStringLiteral("/dev/null"), -1, -1}}); // loads what every request loads
    const long before = residentKb("VmRSS:");
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (!clearRefs.open(QIODevice::WriteOnly) || clearRefs.write("5") != 1)
        fail(QStringLiteral("cannot reset the peak resident memory"));
    clearRefs.close();
    plotAll({PlotIdentifier{path, -1, -1}});
    std::printf("%ld %ld\n", before, residentKb("VmHWM:"));
    return 0;
}

std::pair<long, long> requestMemory(const QString& self, const QString& path)
{
    QProcess child;
    child.start(self, {QStringLiteral("--rss"), path});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        fail(QStringLiteral("memory probe failed"));
    const QStringList figures = QString::fromLatin1(child.readAllStandardOutput()).split(QLatin1Char(' '));
    if (figures.size() != 2)
        fail(QStringLiteral("memory probe printed nothing"));
    return {figures[0].toLong(), figures[1].trimmed().toLong()};
}

// Columns whose bar heights differ between two pictures, and the largest difference.
std::pair<int, int> columnDifference(const QImage& a, const QImage& b)
{
    auto height = [](const QImage& picture, int c) {
        int h = 0;
        while (h < picture.height() && (picture.pixel(c, picture.height() - 1 - h) & 0xffffff) != 0)
            ++h;
        return h;
    };
    int columns = 0, largest = 0;
    for (int c = 0; c < a.width(); ++c) {
        const int d = std::abs(height(a, c) - height(b, c));
        columns += d > 0;
        largest = std::max(largest, d);
    }
    return {columns, largest};
}

const char* verdict(bool met) { return met ? "met" : "NOT MET"; }

// Other work on the machine takes the second core from a split request.
QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2)
                                          : QStringLiteral("?");
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--rss"))
        return printRequestMemory(args[2]);

    const QString cache = args.size() > 1 ? args[1] : QStringLiteral(BENCH_CACHE_DIR);
    QDir().mkpath(cache);
    const QString longFile = ensureSpeech(cache, kLongMinutes);
    const QString shortFile = ensureSpeech(cache, kShortMinutes);
    const QString recording = ensureRecording(cache, shortFile);
    const QString ffmpeg = QStringLiteral("ffmpeg");
    const QString png = cache + QStringLiteral("/showwavespic.png");

    std::printf("60-minute speech MP3, 128 kbit/s, 44.1 kHz stereo; best of %d runs; figures compared\n", kRuns);
    std::printf("with each other are timed in turn. %d cores, load average before: %s\n\n",
                QThread::idealThreadCount(), qPrintable(loadAverage()));

    const QStringList toSamples{QStringLiteral("-f"), QStringLiteral("s16le"), QStringLiteral("-y"),
                                QStringLiteral("/dev/null")};
    const auto [decodeOnly, single] = timingOfBoth([&] { run(ffmpeg, ffmpegArguments(longFile, toSamples)); },
                                                   [&] { drawnBy(longFile, 1); });
    const Timing showwaves = timingOf([&] {
        run(ffmpeg, ffmpegArguments(longFile, {QStringLiteral("-filter_complex"), QStringLiteral("showwavespic=s=561x40"),
                                               QStringLiteral("-frames:v"), QStringLiteral("1"), QStringLiteral("-y"), png}));
    });
    const PlotIdentifier whole{longFile, -1, -1};
    const PlotIdentifier piece{longFile, kPieceStartSeconds, kPieceStartSeconds + kPieceSeconds};
    const PlotIdentifier recorded{recording, -1, -1};
    const auto [split, together] = timingOfBoth([&] { plotAll({whole}); }, [&] { plotAll({whole, piece, recorded}); });
    const auto [seamColumns, seamPixels] = columnDifference(drawnBy(longFile, 1), drawnBy(longFile, 2));

    std::printf("whole-file picture                     wall ms    cpu ms\n");
    std::printf("  ffmpeg decode only (-f s16le)      %8.0f  %8.0f\n", decodeOnly.wallMs, decodeOnly.cpuMs);
    std::printf("  ffmpeg showwavespic 561x40         %8.0f  %8.0f  (%.2f x decode, cpu)\n", showwaves.wallMs,
                showwaves.cpuMs, showwaves.cpuMs / decodeOnly.cpuMs);
    std::printf("  ours, one worker                   %8.0f  %8.0f  (%.2f x decode, cpu; target <= 1.0: %s)\n",
                single.wallMs, single.cpuMs, single.cpuMs / decodeOnly.cpuMs, verdict(single.cpuMs <= decodeOnly.cpuMs));
    std::printf("  ours, as requested (two halves)    %8.0f  %8.0f  (%.2f x decode, wall; aim <= 0.6: %s)\n",
                split.wallMs, split.cpuMs, split.wallMs / decodeOnly.wallMs,
                verdict(split.wallMs <= 0.6 * decodeOnly.wallMs));
    std::printf("  split against single pass          %d columns differ, by at most %d pixel(s)\n\n", seamColumns,
                seamPixels);

    const Timing ours = timingOf([&] { plotAll({piece}); });
    const Timing ffmpegPiece = timingOf([&] {
        run(ffmpeg, ffmpegArguments(longFile, QStringList{QStringLiteral("-t"), QString::number(kPieceSeconds)} + toSamples,
                                    {QStringLiteral("-ss"), QString::number(kPieceStartSeconds)}));
    });
    std::printf("5-second piece at 30:00\n");
    std::printf("  ffmpeg -ss -t, with its start-up   %8.1f  %8.1f\n", ffmpegPiece.wallMs, ffmpegPiece.cpuMs);
    std::printf("  ours, request to picture           %8.1f  %8.1f  (target <= 50 wall: %s)\n\n", ours.wallMs,
                ours.cpuMs, verdict(ours.wallMs <= 50));

    std::printf("whole original + sentence piece + %d s recording, requested together\n", kRecordingSeconds);
    std::printf("  ours, all three delivered          %8.0f  %8.0f  (%.2f x whole alone, wall; target <= 1.1: %s)\n\n",
                together.wallMs, together.cpuMs, together.wallMs / split.wallMs,
                verdict(together.wallMs <= 1.1 * split.wallMs));

    std::printf("load average after the timings: %s\n\n", qPrintable(loadAverage()));

    const auto [shortBase, shortPeak] = requestMemory(args[0], shortFile);
    const auto [longBase, longPeak] = requestMemory(args[0], longFile);
    std::printf("peak resident memory of one whole-file request (resident before -> peak during)\n");
    std::printf("  %2d minutes                         %6ld -> %6ld KB (+%ld)\n", kShortMinutes, shortBase, shortPeak,
                shortPeak - shortBase);
    std::printf("  %2d minutes                         %6ld -> %6ld KB (+%ld)\n", kLongMinutes, longBase, longPeak,
                longPeak - longBase);
    return 0;
}
