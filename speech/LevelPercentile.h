// A low percentile of the frame levels in a sliding window: the noise-floor
// estimate. Levels are kept in a histogram of fixed bins, and the percentile's
// bin moves a step or two per change, so adding, removing and asking are O(1)
// amortised however long the window.
#pragma once

#include <array>
#include <cstdint>

class LevelPercentile {
public:
    static constexpr double kLowestDb = -100.0; // levels below count as this
    static constexpr double kBinDb = 0.5;
    static constexpr int kBins = 200; // up to 0 dBFS, where full-scale levels end

    explicit LevelPercentile(double fraction);

    void add(double levelDb);
    // levelDb must have been added and not removed yet.
    void remove(double levelDb);
    int count() const { return m_count; }
    // The level below which `fraction` of the window lies, to a bin (the
    // lower edge of the bin holding that rank). The window must not be empty.
    double value();

private:
    static int binOf(double levelDb);

    double m_fraction;
    std::array<int32_t, kBins> m_histogram{};
    int m_count = 0;
    int m_bin = 0;   // the percentile's bin
    int m_below = 0; // levels in bins below m_bin
};
