// Any bytes through the import's LRC filter: it must neither crash nor lose
// a line, and a line of valid UTF-8 without NUL and without Chinese must
// come out unchanged.
#include "library/LrcFilter.h"

#include <QBuffer>
#include <QStringDecoder>

#include <cstdint>
#include <cstdlib>

namespace {

bool passesUnchanged(const QByteArray& line)
{
    if (line.contains('\0'))
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(line);
    if (decoder.hasError())
        return false;
    return std::none_of(text.cbegin(), text.cend(), [](QChar unit) { return unit.unicode() >= kFirstStrippedUnit; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer source;
    source.setData(input);
    source.open(QIODevice::ReadOnly);
    QBuffer destination;
    destination.open(QIODevice::WriteOnly);
    if (!copyLrcStripped(source, destination))
        std::abort(); // buffers do not fail
    const QList<QByteArray> in = input.split('\n');
    const QList<QByteArray> out = destination.data().split('\n');
    if (in.size() != out.size())
        std::abort(); // a line was lost or split
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (passesUnchanged(in[i]) && in[i] != out[i])
            std::abort();
    }
    return 0;
}
