// Positioning a demuxer before a point of the sound, for decoding to resume
// from there. Most demuxers find a timestamp themselves; RealMedia's search
// by timestamp probes byte positions inside packets and reads garbage from
// there, but the keyframes it has read so far are indexed where they start.
#pragma once

#include "Timeline.h"

struct AVFormatContext;

// Seeks land this far before their point: the decoder then rebuilds its
// state (MP3's bit reservoir, the overlap of the previous frame, the 80 ms
// that Opus takes to converge) before the point is reached.
constexpr double kSeekPrerollSeconds = 0.15;

// The timestamp of `timeline` at which decoding for `seconds` of the sound
// starts: kSeekPrerollSeconds ahead of it.
std::int64_t prerollStart(const Timeline& timeline, double seconds);

// At or before kSeekPrerollSeconds ahead of `seconds` of the sound, on
// `stream`, whose timestamps `timeline` converts. False when the demuxer did
// not move: reading then goes on from where it was, which for a RealMedia
// file with nothing indexed yet is its start.
bool seekBefore(AVFormatContext* format, int stream, const Timeline& timeline, double seconds);
