// bench_compare CORPUS SENTENCES VOICES TIMING: on a corpus of make_takes.sh,
// how often the model (voice 0) scores its sentence read by another voice
// above a different sentence in its own voice, and a flattened reading's
// melody below the natural one; then the analysis time of TIMING/model_<N>.wav
// against TIMING/take_<N>.wav for N = 2, 5, 15 seconds.
#include "analysis/Comparison.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <cstdio>

namespace {

constexpr int kTimingRuns = 5;
constexpr int kTakeSeconds[] = {2, 5, 15};

QString reading(const QDir& corpus, int sentence, int voice, bool flat = false)
{
    return corpus.filePath(QStringLiteral("s%1_v%2%3.wav")
                               .arg(sentence)
                               .arg(voice)
                               .arg(flat ? QStringLiteral("_flat") : QString()));
}

Comparison compare(const QString& model, const QString& take)
{
    const Comparison result = compareTakes(model, -1, -1, take);
    if (!result.ok)
        std::printf("# %s vs %s: %s\n", qPrintable(model), qPrintable(take), result.error.toUtf8().constData());
    return result;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: bench_compare CORPUS SENTENCES VOICES TIMING\n");
        return 1;
    }
    const QDir corpus(QString::fromLocal8Bit(argv[1]));
    const int sentences = QByteArray(argv[2]).toInt();
    const int voices = QByteArray(argv[3]).toInt();
    const bool verbose = qEnvironmentVariableIsSet("BENCH_VERBOSE");

    int ranked = 0, pairs = 0, flatter = 0, flats = 0;
    for (int s = 0; s < sentences; ++s) {
        const QString model = reading(corpus, s, 0);
        const Comparison other = compare(model, reading(corpus, (s + 1) % sentences, 0));
        for (int v = 1; v < voices; ++v) {
            const Comparison same = compare(model, reading(corpus, s, v));
            const Comparison flat = compare(model, reading(corpus, s, v, true));
            ++pairs;
            ranked += same.ok && other.ok && same.overall > other.overall;
            ++flats;
            flatter += same.ok && flat.ok && flat.intonation < same.intonation;
            if (verbose)
                std::printf("s%d v%d same %.0f/%.0f/%.0f other %.0f/%.0f/%.0f flat %.0f tempo %.2f\n", s, v,
                            same.intonation, same.rhythm, same.overall, other.intonation, other.rhythm,
                            other.overall, flat.intonation, same.tempo);
        }
    }
    std::printf("same sentence, other voice above own voice, other sentence: %d/%d = %.1f %% (target 95 %%)\n",
                ranked, pairs, 100.0 * ranked / pairs);
    std::printf("flattened melody below natural, same voice: %d/%d = %.1f %% (target 90 %%)\n", flatter, flats,
                100.0 * flatter / flats);

    const QDir timing(QString::fromLocal8Bit(argv[4]));
    for (int seconds : kTakeSeconds) {
        const QString model = timing.filePath(QStringLiteral("model_%1.wav").arg(seconds));
        const QString take = timing.filePath(QStringLiteral("take_%1.wav").arg(seconds));
        double best = 1e9;
        for (int run = 0; run < kTimingRuns; ++run) {
            QElapsedTimer clock;
            clock.start();
            const Comparison result = compare(model, take);
            best = std::min(best, clock.nsecsElapsed() / 1e6);
            if (!result.ok)
                break;
        }
        std::printf("analysis of a %d s take: %.1f ms (best of %d)\n", seconds, best, kTimingRuns);
    }
    return 0;
}
