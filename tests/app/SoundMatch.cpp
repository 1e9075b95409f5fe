#include "SoundMatch.h"

#include <cmath>

namespace {

constexpr double kWindowSeconds = 0.01;

// Root mean square of both channels in each 10 ms window.
QVector<double> envelope(const Pcm& pcm)
{
    const qsizetype window = qsizetype(pcm.rate * kWindowSeconds);
    QVector<double> levels;
    for (qsizetype start = 0; start + window <= pcm.frames(); start += window) {
        double sum = 0;
        for (qsizetype i = start; i < start + window; ++i) {
            for (int channel = 0; channel < pcm.channels; ++channel) {
                const double v = pcm.at(i, channel) / 32768.0;
                sum += v * v;
            }
        }
        levels.append(std::sqrt(sum / double(window * pcm.channels)));
    }
    return levels;
}

// Pearson correlation of `a` with the same length of `b` from `offset`.
double correlationAt(const QVector<double>& a, const QVector<double>& b, qsizetype offset)
{
    const qsizetype n = a.size();
    double meanA = 0;
    double meanB = 0;
    for (qsizetype i = 0; i < n; ++i) {
        meanA += a[i];
        meanB += b[offset + i];
    }
    meanA /= double(n);
    meanB /= double(n);
    double product = 0;
    double squaresA = 0;
    double squaresB = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const double da = a[i] - meanA;
        const double db = b[offset + i] - meanB;
        product += da * db;
        squaresA += da * da;
        squaresB += db * db;
    }
    return squaresA > 0 && squaresB > 0 ? product / std::sqrt(squaresA * squaresB) : 0;
}

} // namespace

QVector<double> occurrencesOf(const Pcm& sound, const Pcm& recording, double minimumCorrelation)
{
    const QVector<double> wanted = envelope(sound);
    const QVector<double> heard = envelope(recording);
    QVector<double> starts;
    if (wanted.isEmpty() || heard.size() < wanted.size())
        return starts;
    // Matches closer than half the sound are one match: the best of them counts.
    const qsizetype neighbourhood = wanted.size() / 2;
    qsizetype best = -1;
    double bestCorrelation = 0;
    for (qsizetype offset = 0; offset + wanted.size() <= heard.size(); ++offset) {
        const double correlation = correlationAt(wanted, heard, offset);
        if (best >= 0 && offset - best > neighbourhood) {
            starts.append(double(best) * kWindowSeconds);
            best = -1;
        }
        if (correlation >= minimumCorrelation && (best < 0 || correlation > bestCorrelation)) {
            best = offset;
            bestCorrelation = correlation;
        }
    }
    if (best >= 0)
        starts.append(double(best) * kWindowSeconds);
    return starts;
}

double repeatPeriod(const Pcm& recording, double shortest, double longest)
{
    const QVector<double> heard = envelope(recording);
    const qsizetype first = qsizetype(shortest / kWindowSeconds);
    const qsizetype last = qsizetype(longest / kWindowSeconds);
    if (first <= 0 || heard.size() < 2 * last)
        return -1;
    const QVector<double> start = heard.mid(0, heard.size() - last);
    qsizetype best = -1;
    double bestCorrelation = 0;
    for (qsizetype lag = first; lag <= last; ++lag) {
        const double correlation = correlationAt(start, heard, lag);
        if (correlation > bestCorrelation) {
            best = lag;
            bestCorrelation = correlation;
        }
    }
    return bestCorrelation >= kSameSoundCorrelation ? double(best) * kWindowSeconds : -1;
}
