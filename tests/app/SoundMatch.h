// Finding a known sound (a sentence of the material) in what the sink played:
// the loudness envelopes, in 10 ms windows, are compared by correlation, which
// survives the volume, the MP3 round trip and the sink's latency.
#pragma once

#include "SoundAnalysis.h"

#include <QVector>

// Correlation above which an envelope counts as the same sound.
constexpr double kSameSoundCorrelation = 0.85;

// The start times (seconds into `recording`) at which `sound` occurs, each
// the best match of its neighbourhood, in time order.
QVector<double> occurrencesOf(const Pcm& sound, const Pcm& recording,
                              double minimumCorrelation = kSameSoundCorrelation);

// The period, between `shortest` and `longest` seconds, after which what the
// sink played repeats itself (a looped sentence's round); -1 when nothing in
// that range repeats. Needs two of the longest periods of sound.
double repeatPeriod(const Pcm& recording, double shortest, double longest);
