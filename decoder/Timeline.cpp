#include "Timeline.h"

extern "C" {
#include <libavutil/mathematics.h>
}

#include <cmath>

std::int64_t Timeline::toTimestamp(double seconds) const
{
    if (seconds < 0)
        return kNoTimestamp;
    // Nearest rather than truncated: float seconds such as 4.35f lie a hair
    // below their value and would land one tick early.
    return std::llround((seconds + origin) * timeBase.den / timeBase.num);
}

double Timeline::toSeconds(std::int64_t timestamp) const
{
    if (timestamp == kNoTimestamp)
        return -1.0;
    const double seconds = double(timestamp) * av_q2d(timeBase) - origin;
    return seconds > 0 ? seconds : 0.0;
}

std::int64_t Timeline::rescale(std::int64_t timestamp, AVRational to) const
{
    if (timestamp == kNoTimestamp)
        return kNoTimestamp;
    return av_rescale_q(timestamp, timeBase, to);
}
