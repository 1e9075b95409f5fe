// What a media file holds, read from its container without decoding: whether
// it has sound and a picture worth showing, and how long it lasts.
#pragma once

#include <QString>

struct MediaFacts {
    bool opened = false;  // FFmpeg recognised the file
    bool hasAudio = false;
    bool hasVideo = false; // a moving picture; cover art does not count
    double duration = -1; // seconds, -1 when the container does not say
};

MediaFacts probeMedia(const QString& path);
