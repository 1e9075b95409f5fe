// The sentence finder against ffmpeg decoding the same 60-minute MP3 on one
// thread, printed side by side, and how well it finds the known sentence
// starts of the generated corpus. Run it through run.sh, which makes the
// media; build it without sanitizers.
//   bench_pauses CORPUS.mp3 CORPUS.onsets LONG.mp3 [RUNS]
#include "speech/SpeechScan.h"
#include "tests/speech/OnsetScore.h"

#include <QString>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

extern char** environ;

namespace {

constexpr int kDefaultRuns = 3; // each time is the best of this many
constexpr double kTargetRatio = 1.2;

struct Cost {
    double wallSeconds = 1e300;
    double cpuSeconds = 1e300;
    void keepBest(const Cost& other)
    {
        wallSeconds = std::min(wallSeconds, other.wallSeconds);
        cpuSeconds = std::min(cpuSeconds, other.cpuSeconds);
    }
};

double seconds(const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; }
double cpuSeconds(const rusage& u) { return seconds(u.ru_utime) + seconds(u.ru_stime); }
double wallNow() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

[[noreturn]] void fail(const char* what, const QString& detail)
{
    std::fprintf(stderr, "bench_pauses: %s %s\n", what, qPrintable(detail));
    std::exit(1);
}

// ffmpeg decoding to 16-bit samples that it throws away; its own processor
// time, from the kernel's account of the finished child.
Cost ffmpegDecode(const QByteArray& path)
{
    const char* argv[] = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-threads", "1",
                          "-i", path.constData(), "-f", "null", "-", nullptr};
    const double start = wallNow();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "ffmpeg", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        fail("cannot start", QStringLiteral("ffmpeg"));
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail("ffmpeg failed on", QString::fromLocal8Bit(path));
    return Cost{wallNow() - start, cpuSeconds(usage)};
}

Cost findSentencesIn(const QString& path, SpeechScan& scan)
{
    rusage before{};
    rusage after{};
    getrusage(RUSAGE_SELF, &before);
    const double start = wallNow();
    scan = findSentences(path);
    const double wall = wallNow() - start;
    getrusage(RUSAGE_SELF, &after);
    if (!scan.ok)
        fail("cannot scan", path + QStringLiteral(": ") + scan.error);
    return Cost{wall, cpuSeconds(after) - cpuSeconds(before)};
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 4)
        fail("usage:", QStringLiteral("bench_pauses CORPUS.mp3 CORPUS.onsets LONG.mp3 [RUNS]"));
    const QString corpus = QString::fromLocal8Bit(argv[1]);
    const QString longFile = QString::fromLocal8Bit(argv[3]);
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : kDefaultRuns;

    const auto known = onsets::read(QString::fromLocal8Bit(argv[2]));
    if (!known)
        fail("cannot read", QString::fromLocal8Bit(argv[2]));
    SpeechScan scan;
    findSentencesIn(corpus, scan);
    const onsets::Score score = onsets::score(scan.spans, *known);
    std::printf("corpus: %d sentences in %.0f s; starts found within %.0f ms: %d (%.1f %%), "
                "extra starts: %d (%.1f %%), worst error of a found start %.0f ms\n",
                score.known, scan.duration, onsets::kToleranceSeconds * 1e3, score.found,
                100 * score.foundRate(), score.extra, 100 * score.extraRate(), score.worstErrorSeconds * 1e3);

    Cost ffmpeg;
    Cost ours;
    for (int i = 0; i < runs; ++i) {
        ffmpeg.keepBest(ffmpegDecode(longFile.toLocal8Bit()));
        ours.keepBest(findSentencesIn(longFile, scan));
    }
    std::printf("%.0f-minute MP3, best of %d:           wall s   CPU s\n", scan.duration / 60, runs);
    std::printf("  ffmpeg -threads 1 -f null (decode)   %6.2f  %6.2f\n", ffmpeg.wallSeconds, ffmpeg.cpuSeconds);
    std::printf("  findSentences (decode + detect)      %6.2f  %6.2f   %d sentences\n", ours.wallSeconds,
                ours.cpuSeconds, int(scan.spans.size()));
    std::printf("  ratio (target <= %.1f)               %6.2f  %6.2f\n", kTargetRatio,
                ours.wallSeconds / ffmpeg.wallSeconds, ours.cpuSeconds / ffmpeg.cpuSeconds);
    return 0;
}
