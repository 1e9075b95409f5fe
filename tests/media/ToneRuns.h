// Where a sound of pure tones changes from one tone to the next, and whether
// it clicks somewhere: what tells the rounds of a looped sentence apart and
// hears its jumps. Used by the speed tests and bench.
#pragma once

#include "SoundAnalysis.h"

#include <QVector>

#include <algorithm>
#include <cmath>

namespace tones {

// A stretch of the sound in which one of the tones looked for dominates.
struct Run {
    double tone = 0; // Hz
    double start = 0; // seconds from the sound's start
    double end = 0;
};

// Windows of `windowSeconds`, `hopSeconds` apart, each given the loudest of
// `candidates` when that is above -40 dB; neighbours with the same tone join.
// A run starts at the middle of its first window. Runs shorter than 10 ms,
// where two tones fade into each other, are dropped.
inline QVector<Run> runs(const Pcm& pcm, const QVector<double>& candidates, double windowSeconds, double hopSeconds)
{
    constexpr double kSilenceDb = -40.0;
    constexpr double kShortestSeconds = 0.010;
    QVector<Run> found;
    for (double at = 0; at + windowSeconds <= pcm.seconds(); at += hopSeconds) {
        const Pcm window = pcm.slice(at, at + windowSeconds);
        double tone = 0;
        double loudest = kSilenceDb;
        for (double candidate : candidates) {
            const double level = toneLevelDb(window, candidate);
            if (level > loudest) {
                loudest = level;
                tone = candidate;
            }
        }
        const double middle = at + windowSeconds / 2;
        if (tone == 0)
            continue;
        if (!found.isEmpty() && found.last().tone == tone && middle - found.last().end <= 1.5 * hopSeconds)
            found.last().end = middle;
        else
            found.append({tone, middle, middle});
    }
    QVector<Run> kept;
    for (const Run& run : found) {
        if (run.end - run.start < kShortestSeconds)
            continue;
        if (!kept.isEmpty() && kept.last().tone == run.tone)
            kept.last().end = run.end;
        else
            kept.append(run);
    }
    return kept;
}

// The starts of the runs of `tone` that follow a run of `previous`.
inline QVector<double> changes(const QVector<Run>& runs, double previous, double tone)
{
    QVector<double> times;
    for (qsizetype i = 1; i < runs.size(); ++i)
        if (runs[i - 1].tone == previous && runs[i].tone == tone)
            times.append(runs[i].start);
    return times;
}

// How many dB the sound above 4 kHz (channel 0 through a fourth-order
// Butterworth high-pass) is louder in the 10 ms windows within `radius` of
// any of `moments` than the median window from `from` to `to` seconds: a
// click stands out by tens of dB from a pure tone.
inline double highBandExcessDb(const Pcm& pcm, const QVector<double>& moments, double radius, double from, double to)
{
    constexpr double kCutoffHz = 4000;
    constexpr double kWindowSeconds = 0.010;
    // The cookbook's high-pass biquad twice, with a Butterworth pair of Qs.
    struct Biquad {
        double b0, b1, a1, a2; // b2 = b0
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    };
    QVector<Biquad> stages;
    const double w = 2 * M_PI * kCutoffHz / pcm.rate;
    for (double q : {0.5412, 1.3066}) {
        const double alpha = std::sin(w) / (2 * q);
        const double a0 = 1 + alpha;
        stages.append({(1 + std::cos(w)) / 2 / a0, -(1 + std::cos(w)) / a0, -2 * std::cos(w) / a0, (1 - alpha) / a0});
    }
    const qsizetype window = qsizetype(kWindowSeconds * pcm.rate);
    double loudestNear = -1e30;
    QVector<double> elsewhere;
    double sum = 0;
    for (qsizetype i = 0; i < pcm.frames(); ++i) {
        double v = pcm.at(i, 0) / 32768.0;
        for (Biquad& s : stages) {
            const double y = s.b0 * (v + s.x2) + s.b1 * s.x1 - s.a1 * s.y1 - s.a2 * s.y2;
            s.x2 = s.x1;
            s.x1 = v;
            s.y2 = s.y1;
            s.y1 = y;
            v = y;
        }
        sum += v * v;
        if ((i + 1) % window != 0)
            continue;
        const double level = 10 * std::log10(sum / double(window) + 1e-30);
        const double middle = (double(i + 1) - double(window) / 2) / pcm.rate;
        sum = 0;
        if (std::any_of(moments.begin(), moments.end(), [&](double at) { return std::abs(middle - at) <= radius; }))
            loudestNear = std::max(loudestNear, level);
        else if (middle >= from && middle <= to)
            elsewhere.append(level);
    }
    if (elsewhere.isEmpty())
        return 1e30;
    std::sort(elsewhere.begin(), elsewhere.end());
    return loudestNear - elsewhere[elsewhere.size() / 2];
}

} // namespace tones
