// Any bytes as a sentence file of each format (the first byte chooses it):
// the reader must neither crash nor hang, and what it gives must be well
// formed (time order, finite times, ends, trimmed texts).
#include "SentenceChecks.h"

#include "sentences/SentenceFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const auto format = SentenceFormat(data[0] % 3);
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));
    const SentenceRead read = readSentenceBytes(bytes, format);
    const QString fault = sentencechecks::fault(read.file);
    if (!fault.isEmpty() || read.ok == read.file.sentences.isEmpty()) {
        std::fprintf(stderr, "%s\n", fault.toUtf8().constData());
        std::abort();
    }
    return 0;
}
