// Any bytes as an LRC file being rewritten: lines that the rewrite leaves
// alone must come back byte for byte, and every line must come back once.
#include "controller/LrcRewrite.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {
QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return file.readAll();
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzz.lrc"));
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    write(path, input);

    // Nothing changed: the file is the same bytes.
    if (!rewriteLrc(path, [](LrcLine&, LrcLine&) {}) || readAll(path) != input)
        std::abort();

    // Tagged lines retagged: the others pass unchanged, in order.
    QList<QByteArray> untouched;
    const bool rewritten = rewriteLrc(path, [&untouched](LrcLine& line, LrcLine&) {
        if (isTimeTaggedLine(line.text))
            line.setText(retaggedLine(line.text, 1.5f));
        else
            untouched.append(line.raw);
    });
    if (!rewritten)
        std::abort();
    const QByteArray output = readAll(path);
    qsizetype from = 0;
    for (const QByteArray& line : untouched) {
        const qsizetype at = output.indexOf(line, from);
        if (at < 0)
            std::abort();
        from = at + line.size();
    }
    return 0;
}
