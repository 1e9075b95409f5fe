// Any bytes as an LRC file: the reader must neither crash nor produce a
// sentence without a usable start.
#include "controller/LrcReader.h"

#include <QBuffer>

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    buffer.open(QIODevice::ReadOnly);
    const LrcTimeline timeline = readLrc(buffer);
    if (timeline.starts.size() != timeline.texts.size())
        std::abort();
    for (float start : timeline.starts) {
        if (!(start >= 0) || !std::isfinite(start))
            std::abort();
    }
    return 0;
}
