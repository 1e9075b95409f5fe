// The figures of a take against the model along their time map, and the
// places where the two differ most.
#pragma once

#include "Comparison.h"
#include "TimeWarp.h"
#include "VoiceFeatures.h"

#include <vector>

struct TakeScores {
    double intonation = 0; // 0-100
    double rhythm = 0;     // 0-100
    // The take's pitch per model frame, read through the map; NaN unvoiced.
    std::vector<float> takeSemitones;
    // Start and end in seconds from the model's first frame.
    QVector<Difference> differences;
};

TakeScores scoreTake(const VoiceFeatures& model, const VoiceFeatures& take, const TimeMap& map);

// Both figures together.
double overallScore(double intonation, double rhythm);
