// Finds where a recording of a looping sentence comes from in the file it
// plays: every 10 ms block of the recording is located in the file's own
// decode by normalised cross-correlation, and at every jump back the edges of
// the two runs are found to the sample.
#pragma once

#include <cstdint>
#include <vector>

using Signal = std::vector<std::int16_t>; // one channel
using Index = long long;               // of a sample

struct LoopJump {
    double pastEndMs = 0;  // played beyond the sentence's end before the jump
    double lostStartMs = 0; // of the sentence's start not played after it (negative: started early)
    double gapMs = 0;       // recording between the two runs
    double gapSilentMs = 0; // how much of that gap was silence
};

struct LoopRun {
    Index recordStart = 0; // first sample in the recording
    Index fileStart = 0;   // the file sample it plays
    Index length = 0;      // samples
};

struct LoopAnalysis {
    std::vector<LoopRun> runs;
    std::vector<LoopJump> jumps; // between consecutive runs that jump back
};

// sentenceStart and sentenceEnd are sample indexes of the file's decode,
// which has the recording's rate. A recorded sample follows the file when it
// is within `tolerance` of the file's sample: room for a player that
// converts through floating point.
LoopAnalysis analyseLoop(const Signal& file, const Signal& recording, Index sentenceStart, Index sentenceEnd,
                         int rate, int tolerance);
