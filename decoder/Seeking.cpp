#include "Seeking.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <cmath>
#include <cstring>

std::int64_t prerollStart(const Timeline& timeline, double seconds)
{
    // Before the sound's start lies its first packet: that is where a seek
    // to such a timestamp lands.
    return std::llround((seconds - kSeekPrerollSeconds + timeline.origin) / av_q2d(timeline.timeBase));
}

bool seekBefore(AVFormatContext* format, int stream, const Timeline& timeline, double seconds)
{
    const std::int64_t timestamp = prerollStart(timeline, seconds);
    if (std::strcmp(format->iformat->name, "rm") != 0)
        return avformat_seek_file(format, stream, INT64_MIN, timestamp, INT64_MAX, 0) >= 0;
    AVStream* indexed = format->streams[stream];
    if (avformat_index_get_entries_count(indexed) == 0)
        return false;
    const AVIndexEntry* entry = avformat_index_get_entry_from_timestamp(indexed, timestamp, AVSEEK_FLAG_BACKWARD);
    if (!entry) // before the first keyframe read
        entry = avformat_index_get_entry(indexed, 0);
    return entry && av_seek_frame(format, -1, entry->pos, AVSEEK_FLAG_BYTE) >= 0;
}
