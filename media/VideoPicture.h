// A converted picture: the pixels of one video frame in the surface's
// format, as the video thread makes them and the surface's ring keeps them.
// The pixels are a reference-counted buffer from a pool: the ring shares a
// picture instead of copying its megabytes, and the video thread writes the
// next picture into a buffer that nobody else holds.
#pragma once

#include <cstdint>

struct AVBufferPool;
struct AVBufferRef;

struct VideoPicture {
    VideoPicture() = default;
    ~VideoPicture();
    VideoPicture(const VideoPicture&) = delete; // shareFrom says when pixels are shared
    VideoPicture& operator=(const VideoPicture&) = delete;

    // Drops any earlier pixels and takes zeroed ones of this format from a
    // new pool; false when the format has no size or memory is short.
    bool allocate(int pictureWidth, int pictureHeight, int format);
    // Before the pixels are written: pixels that another picture still
    // shares are left to it and fresh ones taken from the pool. False when
    // memory is short.
    bool makeWritable();
    // Holds the same pixels and time as another picture, without a copy.
    void shareFrom(const VideoPicture& other);
    // Lets go of the pixels; the picture is then unallocated.
    void release();

    std::uint8_t* planes[4] = {};
    int lineSizes[4] = {};
    int width = 0;
    int height = 0;
    bool allocated = false;
    double pts = 0.0; // seconds of playing: the media's time over the speed
    int pixelFormat = -1; // an FFmpeg pixel format

private:
    bool takeBuffer();

    AVBufferPool* m_pool = nullptr; // of the pictures this one writes; freed with its last buffer
    AVBufferRef* m_buffer = nullptr;
};
