// Which moment of the take goes with each moment of the model: dynamic time
// warping of the spectral envelopes, within a band around the straight line
// through both ends, so that a take can be evenly slower or faster but no
// part of it is matched with a far-away part of the model.
#pragma once

#include "VoiceFeatures.h"

#include <vector>

struct TimeMap {
    // Per model frame, the take's frame (the mean of those matched with it).
    std::vector<double> takeFrame;
};

// O(model frames × band) time and memory. Both need at least one frame.
TimeMap warpTakeOntoModel(const VoiceFeatures& model, const VoiceFeatures& take);
