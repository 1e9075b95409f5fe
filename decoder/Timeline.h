// Times of one media: seconds counted from the first sample of its sound, as
// the controller and the LRC files speak, against the 64-bit timestamps of
// one of its streams.
#pragma once

extern "C" {
#include <libavutil/rational.h>
}

#include <cstdint>

// A timestamp that is not set.
constexpr std::int64_t kNoTimestamp = -1;

struct Timeline {
    AVRational timeBase{1, 1000000};
    // Timestamp, in seconds, at which the sound's first sample plays.
    double origin = 0.0;

    // Negative seconds give kNoTimestamp.
    std::int64_t toTimestamp(double seconds) const;
    // kNoTimestamp gives -1; positions before the origin give 0.
    double toSeconds(std::int64_t timestamp) const;
    // The same instant in another time base; kNoTimestamp stays unset.
    std::int64_t rescale(std::int64_t timestamp, AVRational to) const;
};
