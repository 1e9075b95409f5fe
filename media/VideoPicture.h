// A converted picture: the pixels of one video frame in the surface's
// format, as the video thread makes them and the surface's ring keeps them.
#pragma once

#include <cstdint>
#include <vector>

struct VideoPicture {
    VideoPicture() = default;
    VideoPicture(const VideoPicture&) = delete; // the planes point into m_pixels
    VideoPicture& operator=(const VideoPicture&) = delete;

    // Frees any earlier pixels and allocates zeroed ones for this format;
    // false when the format has no size.
    bool allocate(int pictureWidth, int pictureHeight, int format);
    bool sameFormat(const VideoPicture& other) const;
    // Copies the pixels and the time of a picture of the same format.
    void copyFrom(const VideoPicture& other);

    std::uint8_t* planes[4] = {};
    int lineSizes[4] = {};
    int width = 0;
    int height = 0;
    bool allocated = false;
    double pts = 0.0; // seconds
    int pixelFormat = -1; // an FFmpeg pixel format

private:
    std::vector<std::uint8_t> m_pixels;
};
