// The detector fed made-up sound: tones over faint noise in pieces of any
// size, and the noise-floor percentile against a sorted window.
#include "TestEnvironment.h"
#include "speech/MonoDecimator.h"
#include "speech/VoiceActivity.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;

// Stereo sound at kRate: faint white noise (-60 dBFS), and a 440 Hz tone at
// -20 dBFS over each [start, end) second range.
std::vector<int16_t> tonesOverNoise(double seconds, const std::vector<SpeechSpan>& tones)
{
    std::vector<int16_t> samples;
    uint32_t random = 12345;
    for (int64_t i = 0; i < int64_t(seconds * kRate); ++i) {
        random = random * 1664525u + 1013904223u;
        double value = (double(random >> 16) / 32768.0 - 1.0) * 0.001;
        const double t = double(i) / kRate;
        for (const SpeechSpan& tone : tones) {
            if (t >= tone.start && t < tone.end)
                value += 0.1 * std::sin(2 * M_PI * 440 * t);
        }
        samples.insert(samples.end(), kChannels, int16_t(std::lround(value * 32767)));
    }
    return samples;
}

// The spans of sound pushed through MonoDecimator and VoiceActivity in
// pieces of the given sizes (sample frames), cycled.
QVector<SpeechSpan> spansOf(const std::vector<int16_t>& samples, const std::vector<int>& pieces)
{
    MonoDecimator mono(kRate, kChannels);
    VoiceActivity voice(mono.outputRate());
    std::vector<float> out;
    const int64_t frames = int64_t(samples.size()) / kChannels;
    for (int64_t at = 0, piece = 0; at < frames; ++piece) {
        const int64_t count = std::min<int64_t>(pieces[size_t(piece) % pieces.size()], frames - at);
        out.clear();
        mono.push(samples.data() + at * kChannels, count, out);
        voice.push(out.data(), int(out.size()));
        at += count;
    }
    voice.finish();
    return voice.spans();
}

} // namespace

class VoiceActivityTest : public QObject {
    Q_OBJECT
private slots:
    // Tones over faint noise: each found within a frame or two, a 0.1 s blip
    // dropped, a 0.15 s gap bridged; the same whatever the piece sizes.
    void detectorFindsTonesInPiecesOfAnySize()
    {
        const std::vector<SpeechSpan> tones{{0.5, 1.3}, {2.0, 2.1}, {3.0, 3.8}, {3.95, 4.6}, {9.0, 9.5}};
        const std::vector<int16_t> sound = tonesOverNoise(10, tones);
        const QVector<SpeechSpan> whole = spansOf(sound, {int(sound.size())});
        const std::vector<SpeechSpan> expected{{0.5, 1.3}, {3.0, 4.6}, {9.0, 9.5}};
        QCOMPARE(whole.size(), int(expected.size()));
        for (size_t i = 0; i < expected.size(); ++i) {
            QVERIFY(std::abs(whole[int(i)].start - expected[i].start) < 0.02);
            QVERIFY(std::abs(whole[int(i)].end - expected[i].end) < 0.02);
        }
        for (const std::vector<int>& pieces : {std::vector<int>{1}, {4, 7, 1153}, {441}, {999, 3}}) {
            const QVector<SpeechSpan> pieced = spansOf(sound, pieces);
            QCOMPARE(pieced.size(), whole.size());
            for (int i = 0; i < whole.size(); ++i) {
                QCOMPARE(pieced[i].start, whole[i].start);
                QCOMPARE(pieced[i].end, whole[i].end);
            }
        }
    }

    // Levels come and go in a sliding window, as the detector uses it; the
    // answer is always the bin of the window's element at the asked rank.
    void percentileFollowsTheWindow()
    {
        constexpr double kFraction = 0.1;
        constexpr size_t kWindow = 50;
        std::mt19937 random(7);
        std::uniform_real_distribution<double> levels(-110, 10); // past both ends of the bins
        LevelPercentile percentile(kFraction);
        std::vector<double> window;
        for (int step = 0; step < 3000; ++step) {
            window.push_back(levels(random));
            percentile.add(window.back());
            if (window.size() > kWindow) {
                percentile.remove(window.front());
                window.erase(window.begin());
            }
            std::vector<double> sorted = window;
            std::sort(sorted.begin(), sorted.end());
            const double atRank = sorted[size_t(kFraction * double(sorted.size()))];
            const double bin = std::clamp(std::floor((atRank - LevelPercentile::kLowestDb) / LevelPercentile::kBinDb),
                                          0.0, double(LevelPercentile::kBins - 1));
            QCOMPARE(percentile.value(), LevelPercentile::kLowestDb + bin * LevelPercentile::kBinDb);
        }
    }
};

REPETA_TEST_MAIN(VoiceActivityTest)
#include "tst_voiceactivity.moc"
