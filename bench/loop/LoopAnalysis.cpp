#include "LoopAnalysis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr int kBlocksPerSecond = 100; // 10 ms blocks
constexpr double kMatch = 0.9;    // correlation that places a block
constexpr double kSilentRms = 100; // below this a block is silence
constexpr int kSilentPeak = 100;
// Signal in a row that must follow the file at a run's edge: one may match
// by chance, eight do not.
constexpr Index kEdgeSamples = 8;

class Locator {
public:
    Locator(const Signal& file, Index block)
        : m_file(file)
        , m_block(block)
        , m_energy(file.size() + 1, 0.0)
    {
        for (size_t i = 0; i < file.size(); ++i)
            m_energy[i + 1] = m_energy[i] + double(file[i]) * file[i];
    }

    double correlation(const std::int16_t* block, double blockEnergy, Index at) const
    {
        if (at < 0 || at + m_block > Index(m_file.size()))
            return 0;
        double dot = 0;
        const std::int16_t* from = m_file.data() + at;
        for (Index i = 0; i < m_block; ++i)
            dot += double(block[i]) * from[i];
        const double energy = m_energy[size_t(at + m_block)] - m_energy[size_t(at)];
        return energy > 0 ? dot / std::sqrt(energy * blockEnergy) : 0;
    }

    // The file position that matches best, or -1.
    Index search(const std::int16_t* block, double blockEnergy) const
    {
        Index best = -1;
        double bestScore = kMatch;
        const Index last = Index(m_file.size()) - m_block;
        for (Index at = 0; at <= last; ++at) {
            const double score = correlation(block, blockEnergy, at);
            if (score > bestScore) {
                bestScore = score;
                best = at;
            }
        }
        return best;
    }

private:
    const Signal& m_file;
    const Index m_block;
    std::vector<double> m_energy; // prefix sums of the squares
};

double energyOf(const std::int16_t* block, Index length)
{
    double sum = 0;
    for (Index i = 0; i < length; ++i)
        sum += double(block[i]) * block[i];
    return sum;
}

// Offset file - recording of every block; kNone where it matches nothing.
constexpr Index kNone = std::numeric_limits<long long>::min();

std::vector<long long> blockOffsets(const Signal& file, const Signal& recording, Index length)
{
    const Locator locator(file, length);
    std::vector<long long> offsets;
    Index previous = kNone;
    for (Index at = 0; at + length <= Index(recording.size()); at += length) {
        const std::int16_t* block = recording.data() + at;
        const double energy = energyOf(block, length);
        Index offset = kNone;
        if (std::sqrt(energy / double(length)) >= kSilentRms) {
            // Within a run the offset stays: try it before searching the file.
            if (previous != kNone && locator.correlation(block, energy, at + previous) > kMatch) {
                offset = previous;
            } else {
                const Index found = locator.search(block, energy);
                if (found >= 0)
                    offset = found - at;
            }
        }
        offsets.push_back(offset);
        previous = offset;
    }
    return offsets;
}

bool follows(const Signal& file, const Signal& recording, Index at, Index offset, int tolerance)
{
    const Index source = at + offset;
    if (at < 0 || at >= Index(recording.size()) || source < 0 || source >= Index(file.size()))
        return false;
    return std::abs(int(recording[size_t(at)]) - int(file[size_t(source)])) <= tolerance;
}

} // namespace

LoopAnalysis analyseLoop(const Signal& file, const Signal& recording, Index sentenceStart, Index sentenceEnd,
                         int rate, int tolerance)
{
    LoopAnalysis result;
    const Index block = rate / kBlocksPerSecond;
    const double samplesPerMs = rate / 1000.0;
    const std::vector<long long> offsets = blockOffsets(file, recording, block);
    for (size_t b = 0; b < offsets.size(); ++b) {
        if (offsets[b] == kNone)
            continue;
        if (!result.runs.empty()) {
            LoopRun& last = result.runs.back();
            if (last.fileStart - last.recordStart == offsets[b] && last.recordStart + last.length == Index(b) * block) {
                last.length += block;
                continue;
            }
        }
        result.runs.push_back({Index(b) * block, Index(b) * block + offsets[b], block});
    }
    // Edges to the sample. A block that straddles a jump may still have been
    // placed by its larger part: cut each run back to samples that follow
    // its offset, then let it grow while the recording goes on following.
    for (size_t r = 0; r < result.runs.size(); ++r) {
        LoopRun& run = result.runs[r];
        const Index offset = run.fileStart - run.recordStart;
        auto edgeFollows = [&](Index from) {
            for (Index i = from; i < from + kEdgeSamples; ++i)
                if (!follows(file, recording, i, offset, tolerance))
                    return false;
            return true;
        };
        while (run.length > kEdgeSamples && !edgeFollows(run.recordStart)) {
            ++run.recordStart;
            ++run.fileStart;
            --run.length;
        }
        while (run.length > kEdgeSamples && !edgeFollows(run.recordStart + run.length - kEdgeSamples))
            --run.length;
        const Index floor = r > 0 ? result.runs[r - 1].recordStart + result.runs[r - 1].length : 0;
        while (run.recordStart > floor && follows(file, recording, run.recordStart - 1, offset, tolerance)) {
            --run.recordStart;
            --run.fileStart;
            ++run.length;
        }
        const Index ceiling = r + 1 < result.runs.size() ? result.runs[r + 1].recordStart : Index(recording.size());
        while (run.recordStart + run.length < ceiling && follows(file, recording, run.recordStart + run.length, offset, tolerance))
            ++run.length;
    }
    for (size_t r = 1; r < result.runs.size(); ++r) {
        const LoopRun& before = result.runs[r - 1];
        const LoopRun& after = result.runs[r];
        if (after.fileStart >= before.fileStart + before.length)
            continue; // not a jump back
        LoopJump jump;
        jump.pastEndMs = double(before.fileStart + before.length - sentenceEnd) / samplesPerMs;
        jump.lostStartMs = double(after.fileStart - sentenceStart) / samplesPerMs;
        const Index gapStart = before.recordStart + before.length;
        jump.gapMs = double(after.recordStart - gapStart) / samplesPerMs;
        Index silent = 0;
        for (Index i = gapStart; i < after.recordStart; ++i)
            silent += std::abs(int(recording[size_t(i)])) < kSilentPeak ? 1 : 0;
        jump.gapSilentMs = double(silent) / samplesPerMs;
        result.jumps.push_back(jump);
    }
    return result;
}
