#include "Mp3Encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace {
constexpr MPEG_mode kChannelMode = STEREO; // LAME mode 0: plain, not joint, stereo
constexpr const char* kWriteFailed = "write fail: ";

template <typename T>
std::unique_ptr<T[]> allocate(std::size_t count)
{
    return std::unique_ptr<T[]>(new (std::nothrow) T[count]);
}
} // namespace

Mp3Encoder::~Mp3Encoder()
{
    close();
}

bool Mp3Encoder::open(std::FILE* file, float gain)
{
    close();
    m_file = file;
    m_gain = gain;
    m_failure = nullptr;
    m_failureErrno = 0;
    clearCounts();

    m_lame = lame_init();
    if (!m_lame)
        return fail("lame initialize failed.");
    lame_set_out_samplerate(m_lame, kSampleRateHz);
    lame_set_mode(m_lame, kChannelMode);
    lame_set_in_samplerate(m_lame, kSampleRateHz);
    if (lame_init_params(m_lame) == -1)
        return fail("lame init param failed.");

    m_mp3 = allocate<unsigned char>(kMp3BufferBytes);
    if (!m_mp3)
        return fail("malloc fail: lame output buffer.");
    m_left = allocate<float>(kBlockFrames);
    m_right = allocate<float>(kBlockFrames);
    if (!m_left || !m_right)
        return fail("malloc fail: sample buffers for lame.");
    return true;
}

bool Mp3Encoder::encode(const float* interleaved, unsigned long frames)
{
    if (!ready())
        return false;
    while (frames > 0) {
        const unsigned long block = std::min(frames, kBlockFrames);
        if (!encodeBlock(interleaved, static_cast<int>(block)))
            return false;
        interleaved += 2 * block;
        frames -= block;
    }
    return true;
}

bool Mp3Encoder::encodeBlock(const float* interleaved, int frames)
{
    for (int i = 0; i < frames; ++i) {
        m_left[i] = interleaved[2 * i] * m_gain;
        m_right[i] = interleaved[2 * i + 1] * m_gain;
    }
    const int bytes = lame_encode_buffer_float(m_lame, m_left.get(), m_right.get(), frames, m_mp3.get(),
                                               kMp3BufferBytes);
    if (bytes < 0)
        return fail("lame encode failed.");
    m_framesEncoded.fetch_add(frames);
    return write(bytes);
}

bool Mp3Encoder::flush()
{
    if (!ready())
        return false;
    const int bytes = lame_encode_flush(m_lame, m_mp3.get(), kMp3BufferBytes);
    if (bytes < 0)
        return fail("lame flush failed.");
    if (!write(bytes))
        return false;
    // A full disk often shows only when stdio hands its buffer over.
    if (std::fflush(m_file) != 0)
        return fail(kWriteFailed, errno);
    return true;
}

bool Mp3Encoder::write(int bytes)
{
    errno = 0;
    const std::size_t written = std::fwrite(m_mp3.get(), 1, static_cast<std::size_t>(bytes), m_file);
    m_bytesWritten.fetch_add(static_cast<qint64>(written));
    if (written != static_cast<std::size_t>(bytes))
        return fail(kWriteFailed, errno);
    return true;
}

void Mp3Encoder::clearCounts()
{
    m_bytesWritten.store(0);
    m_framesEncoded.store(0);
}

void Mp3Encoder::close()
{
    if (m_lame)
        lame_close(m_lame);
    m_lame = nullptr;
    m_left.reset();
    m_right.reset();
    m_mp3.reset();
}

bool Mp3Encoder::ready()
{
    if (!failed() && !m_mp3)
        fail("encoder not open.");
    return !failed();
}

bool Mp3Encoder::fail(const char* message, int error)
{
    m_failure = message;
    m_failureErrno = error;
    return false;
}

QString Mp3Encoder::errorText() const
{
    if (!m_failure)
        return QString();
    QString text = QString::fromLatin1(m_failure);
    if (m_failure == kWriteFailed)
        text += m_failureErrno ? QString::fromLocal8Bit(std::strerror(m_failureErrno)) : QStringLiteral("short write");
    return text;
}
