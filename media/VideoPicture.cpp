#include "VideoPicture.h"

extern "C" {
#include <libavutil/buffer.h>
#include <libavutil/imgutils.h>
}

#include <algorithm>
#include <iterator>

namespace {
// Spare bytes after the pixels: converters may read a little past the end.
constexpr int kPaddingBytes = 64;
// Rows start at this alignment in bytes, for the converters' vector code;
// the surface uploads them with their line size.
constexpr int kRowAlignment = 64;
} // namespace

VideoPicture::~VideoPicture()
{
    release();
    av_buffer_pool_uninit(&m_pool);
}

bool VideoPicture::allocate(int pictureWidth, int pictureHeight, int format)
{
    release();
    av_buffer_pool_uninit(&m_pool);
    const int size = av_image_get_buffer_size(AVPixelFormat(format), pictureWidth, pictureHeight, kRowAlignment);
    if (size <= 0)
        return false;
    m_pool = av_buffer_pool_init(size_t(size) + kPaddingBytes, av_buffer_allocz);
    width = pictureWidth;
    height = pictureHeight;
    pixelFormat = format;
    return m_pool && takeBuffer();
}

bool VideoPicture::takeBuffer()
{
    av_buffer_unref(&m_buffer);
    allocated = false;
    m_buffer = av_buffer_pool_get(m_pool);
    if (!m_buffer)
        return false;
    if (av_image_fill_arrays(planes, lineSizes, m_buffer->data, AVPixelFormat(pixelFormat), width, height,
                             kRowAlignment) < 0) {
        av_buffer_unref(&m_buffer);
        return false;
    }
    allocated = true;
    return true;
}

bool VideoPicture::makeWritable()
{
    if (!m_pool)
        return false;
    if (m_buffer && av_buffer_is_writable(m_buffer))
        return true;
    return takeBuffer();
}

void VideoPicture::shareFrom(const VideoPicture& other)
{
    if (av_buffer_replace(&m_buffer, other.m_buffer) < 0 || !m_buffer) {
        release();
        return;
    }
    std::copy(std::begin(other.planes), std::end(other.planes), std::begin(planes));
    std::copy(std::begin(other.lineSizes), std::end(other.lineSizes), std::begin(lineSizes));
    width = other.width;
    height = other.height;
    pixelFormat = other.pixelFormat;
    pts = other.pts;
    allocated = true;
}

void VideoPicture::release()
{
    av_buffer_unref(&m_buffer);
    allocated = false;
}
