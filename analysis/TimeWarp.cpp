#include "TimeWarp.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// Half the band's width: this fraction of the longer recording, and at least
// this many frames (0.3 s) for short sentences. A learner's timing departs
// from the model's by a syllable or two, not by a phrase.
constexpr double kBandFraction = 0.15;
constexpr int kBandMinFrames = 30;

enum Step : uint8_t { Diagonal, ModelOnly, TakeOnly };

double distance(const float* a, const float* b)
{
    double sum = 0;
    for (int c = 0; c < VoiceFeatures::kCoefficients; ++c) {
        const double d = double(a[c]) - double(b[c]);
        sum += d * d;
    }
    return std::sqrt(sum);
}

} // namespace

TimeMap warpTakeOntoModel(const VoiceFeatures& model, const VoiceFeatures& take)
{
    const int n = model.frames();
    const int m = take.frames();
    const double slope = n > 1 ? double(m - 1) / (n - 1) : 0;
    const int half = std::max(kBandMinFrames, int(kBandFraction * std::max(n, m)));
    // Row i holds the take's frames [first[i], first[i] + width[i]).
    const size_t rows = size_t(n);
    std::vector<int> first(rows), width(rows);
    std::vector<size_t> offset(rows + 1, 0);
    for (int i = 0; i < n; ++i) {
        const int centre = int(std::lround(i * slope));
        first[size_t(i)] = std::max(0, centre - half);
        width[size_t(i)] = std::min(m - 1, centre + half) - first[size_t(i)] + 1;
        offset[size_t(i) + 1] = offset[size_t(i)] + size_t(width[size_t(i)]);
    }
    const double infinity = std::numeric_limits<double>::infinity();
    std::vector<double> cost(offset[size_t(n)], infinity);
    std::vector<uint8_t> step(offset[size_t(n)], Diagonal);
    auto at = [&](int i, int j) -> double {
        if (i < 0 || j < first[size_t(i)] || j >= first[size_t(i)] + width[size_t(i)])
            return infinity;
        return cost[offset[size_t(i)] + size_t(j - first[size_t(i)])];
    };

    // Symmetric weights: a diagonal step counts its cell twice, so that the
    // path's cost does not favour cutting corners.
    for (int i = 0; i < n; ++i) {
        for (int j = first[size_t(i)]; j < first[size_t(i)] + width[size_t(i)]; ++j) {
            const double d = distance(model.coefficients(i), take.coefficients(j));
            const size_t cell = offset[size_t(i)] + size_t(j - first[size_t(i)]);
            if (i == 0 && j == 0) {
                cost[cell] = d;
                continue;
            }
            const double diagonal = at(i - 1, j - 1) + 2 * d;
            const double modelOnly = at(i - 1, j) + d;
            const double takeOnly = at(i, j - 1) + d;
            if (diagonal <= modelOnly && diagonal <= takeOnly) {
                cost[cell] = diagonal;
                step[cell] = Diagonal;
            } else if (modelOnly <= takeOnly) {
                cost[cell] = modelOnly;
                step[cell] = ModelOnly;
            } else {
                cost[cell] = takeOnly;
                step[cell] = TakeOnly;
            }
        }
    }

    std::vector<double> sum(size_t(n), 0);
    std::vector<int> count(size_t(n), 0);
    int i = n - 1;
    int j = m - 1;
    for (;;) {
        sum[size_t(i)] += j;
        ++count[size_t(i)];
        if (i == 0 && j == 0)
            break;
        const uint8_t s = i == 0 ? TakeOnly : j == 0 ? ModelOnly : step[offset[size_t(i)] + size_t(j - first[size_t(i)])];
        if (s != TakeOnly)
            --i;
        if (s != ModelOnly)
            --j;
    }
    TimeMap map;
    map.takeFrame.resize(size_t(n));
    for (int k = 0; k < n; ++k)
        map.takeFrame[size_t(k)] = sum[size_t(k)] / count[size_t(k)];
    return map;
}
