#include "LevelPercentile.h"

#include <algorithm>
#include <cmath>

LevelPercentile::LevelPercentile(double fraction)
    : m_fraction(fraction)
{
}

int LevelPercentile::binOf(double levelDb)
{
    const double bin = std::floor((levelDb - kLowestDb) / kBinDb);
    return int(std::clamp(bin, 0.0, double(kBins - 1)));
}

void LevelPercentile::add(double levelDb)
{
    const int bin = binOf(levelDb);
    ++m_histogram[size_t(bin)];
    ++m_count;
    if (bin < m_bin)
        ++m_below;
}

void LevelPercentile::remove(double levelDb)
{
    const int bin = binOf(levelDb);
    --m_histogram[size_t(bin)];
    --m_count;
    if (bin < m_bin)
        --m_below;
}

double LevelPercentile::value()
{
    // The rank asked for sits in m_bin: m_below <= rank < m_below + count of m_bin.
    const int rank = int(m_fraction * m_count);
    while (m_bin > 0 && m_below > rank) {
        --m_bin;
        m_below -= m_histogram[size_t(m_bin)];
    }
    while (m_bin < kBins - 1 && m_below + m_histogram[size_t(m_bin)] <= rank) {
        m_below += m_histogram[size_t(m_bin)];
        ++m_bin;
    }
    return kLowestDb + m_bin * kBinDb;
}
