#include "VideoPicture.h"

extern "C" {
#include <libavutil/imgutils.h>
}

#include <cstring>

namespace {
// Spare bytes after the pixels: converters may read a little past the end.
constexpr int kPaddingBytes = 8;
// Rows are packed: the surface uploads them as they lie.
constexpr int kRowAlignment = 1;
} // namespace

bool VideoPicture::allocate(int pictureWidth, int pictureHeight, int format)
{
    allocated = false;
    m_pixels.clear();
    const int size = av_image_get_buffer_size(AVPixelFormat(format), pictureWidth, pictureHeight, kRowAlignment);
    if (size <= 0)
        return false;
    m_pixels.assign(size_t(size) + kPaddingBytes, 0);
    if (av_image_fill_arrays(planes, lineSizes, m_pixels.data(), AVPixelFormat(format), pictureWidth, pictureHeight,
                             kRowAlignment) < 0) {
        m_pixels.clear();
        return false;
    }
    width = pictureWidth;
    height = pictureHeight;
    pixelFormat = format;
    allocated = true;
    return true;
}

bool VideoPicture::sameFormat(const VideoPicture& other) const
{
    return allocated && other.allocated && width == other.width && height == other.height &&
           pixelFormat == other.pixelFormat;
}

void VideoPicture::copyFrom(const VideoPicture& other)
{
    if (!sameFormat(other))
        return;
    std::memcpy(m_pixels.data(), other.m_pixels.data(), m_pixels.size());
    pts = other.pts;
}
