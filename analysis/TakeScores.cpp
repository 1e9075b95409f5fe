#include "TakeScores.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The melody: the RMS of the pitch difference (semitones) on frames voiced in
// both, less its mean, scores 100 up to the first value and 0 from the second.
// Two voices reading one sentence in one tone differ by about 0.6 semitones,
// a reading with half the melody's range by about 1.4, a different sentence by
// about 2 (espeak-ng corpus of the benchmark).
constexpr double kMelodyFreeSemitones = 0.5;
constexpr double kMelodyZeroSemitones = 3.0;
// A frame's difference counts at most this much: a tracker's octave error is
// one wrong frame, not a wrong melody.
constexpr double kLargestFrameSemitones = 6.0;
// Fewer frames than this voiced in both: the melodies cannot be compared, and
// nothing of the take's melody followed the model's.
constexpr int kFewestSharedVoicedFrames = 10;
// The rhythm: the RMS distance (seconds of the model) of the time map from
// the straight line through its ends.
constexpr double kRhythmFreeSeconds = 0.04;
constexpr double kRhythmZeroSeconds = 0.30;
// The places that differ: error over a window of this many frames either
// side, above these levels, at most this many of them.
constexpr int kPlaceHalfFrames = 10;
constexpr double kMelodyPlaceSemitones = 2.0;
constexpr double kRhythmPlaceSeconds = 0.08;
constexpr int kMostPlaces = 3;

double falling(double value, double free, double zero)
{
    return 100 * std::clamp((zero - value) / (zero - free), 0.0, 1.0);
}

// Averages of `error` over the window around each frame, skipping NaN.
std::vector<double> windowed(const std::vector<double>& error)
{
    const int n = int(error.size());
    std::vector<double> out(error.size(), 0);
    for (int i = 0; i < n; ++i) {
        double sum = 0;
        int count = 0;
        for (int k = std::max(0, i - kPlaceHalfFrames); k <= std::min(n - 1, i + kPlaceHalfFrames); ++k)
            if (!std::isnan(error[size_t(k)])) {
                sum += error[size_t(k)];
                ++count;
            }
        out[size_t(i)] = count ? sum / count : 0;
    }
    return out;
}

// Runs of frames whose windowed error exceeds `level`, each with its peak.
void addPlaces(const std::vector<double>& error, double level, Difference::Kind kind,
               std::vector<std::pair<double, Difference>>& places)
{
    const std::vector<double> smooth = windowed(error);
    const int n = int(smooth.size());
    for (int i = 0; i < n;) {
        if (smooth[size_t(i)] <= level) {
            ++i;
            continue;
        }
        const int start = i;
        double peak = 0;
        for (; i < n && smooth[size_t(i)] > level; ++i)
            peak = std::max(peak, smooth[size_t(i)]);
        Difference place;
        place.kind = kind;
        place.start = start * VoiceFeatures::kFrameSeconds;
        place.end = i * VoiceFeatures::kFrameSeconds;
        places.push_back({peak / level, place});
    }
}

} // namespace

TakeScores scoreTake(const VoiceFeatures& model, const VoiceFeatures& take, const TimeMap& map)
{
    const int n = model.frames();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    TakeScores scores;
    scores.takeSemitones.resize(size_t(n));
    std::vector<double> melody(size_t(n), nan);
    double sum = 0;
    int shared = 0;
    for (int i = 0; i < n; ++i) {
        const float t = take.semitones[size_t(std::lround(map.takeFrame[size_t(i)]))];
        scores.takeSemitones[size_t(i)] = t;
        const float m = model.semitones[size_t(i)];
        if (std::isnan(t) || std::isnan(m))
            continue;
        melody[size_t(i)] = std::clamp(double(m) - t, -kLargestFrameSemitones, kLargestFrameSemitones);
        sum += melody[size_t(i)];
        ++shared;
    }
    if (shared >= kFewestSharedVoicedFrames) {
        const double offset = sum / shared;
        double squares = 0;
        for (double& d : melody)
            if (!std::isnan(d)) {
                d = std::abs(d - offset);
                squares += d * d;
            }
        scores.intonation = falling(std::sqrt(squares / shared), kMelodyFreeSemitones, kMelodyZeroSemitones);
    }

    // Take frames per model frame over the whole: an even change of speed
    // keeps the map on the line.
    const double slope = n > 1 ? map.takeFrame.back() / (n - 1) : 1;
    std::vector<double> timing(size_t(n), 0);
    double squares = 0;
    for (int i = 0; i < n; ++i) {
        const double off = (map.takeFrame[size_t(i)] / std::max(slope, 1e-9) - i) * VoiceFeatures::kFrameSeconds;
        squares += off * off;
        timing[size_t(i)] = off;
    }
    scores.rhythm = falling(std::sqrt(squares / n), kRhythmFreeSeconds, kRhythmZeroSeconds);
    // Where the timing drifts fastest from the line: a syllable held too long
    // or hurried.
    std::vector<double> drift(size_t(n), 0);
    for (int i = 0; i < n; ++i)
        drift[size_t(i)] = std::abs(timing[size_t(std::min(n - 1, i + kPlaceHalfFrames))]
                                    - timing[size_t(std::max(0, i - kPlaceHalfFrames))]);

    std::vector<std::pair<double, Difference>> places;
    addPlaces(melody, kMelodyPlaceSemitones, Difference::Kind::Melody, places);
    addPlaces(drift, kRhythmPlaceSeconds, Difference::Kind::Rhythm, places);
    std::stable_sort(places.begin(), places.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (int k = 0; k < std::min<int>(kMostPlaces, int(places.size())); ++k)
        scores.differences.push_back(places[size_t(k)].second);
    return scores;
}

double overallScore(double intonation, double rhythm) { return (intonation + rhythm) / 2; }
