#include "TextDocument.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace {

constexpr QStringConverter::Flags kLineByLine
    = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

const char* converterName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        return "UTF-8";
    case TextEncoding::Utf16LE:
        return "UTF-16LE";
    case TextEncoding::Utf16BE:
        return "UTF-16BE";
    case TextEncoding::Gb18030:
        return "GB18030";
    case TextEncoding::Windows1252:
        return "windows-1252";
    }
    return "UTF-8";
}

bool startsWith(const QByteArray& bytes, const char* mark)
{
    return bytes.startsWith(QByteArrayView(mark));
}

bool decodesCleanly(const QByteArray& bytes, const char* name)
{
    QStringDecoder decoder(name, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

bool isAsciiLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Windows-1252 text with curly quotes is often valid GB18030 as well: "it’s"
// reads as "it" and a rare character whose second byte is the "s". Real
// Chinese is mostly characters of the common GB2312 block, two high bytes.
bool readsAsWindows1252(const QByteArray& bytes)
{
    qsizetype suspicious = 0;
    qsizetype common = 0;
    bool afterLetter = false;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80 || i + 1 >= bytes.size()) {
            afterLetter = isAsciiLetter(lead);
            ++i;
            continue;
        }
        const auto trail = static_cast<unsigned char>(bytes[i + 1]);
        if (trail >= '0' && trail <= '9') {
            i += 4; // a four-byte sequence
        } else {
            if (trail < 0x80 && afterLetter)
                ++suspicious;
            else if (lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1)
                ++common;
            i += 2;
        }
        afterLetter = false;
    }
    return suspicious > common;
}

TextEncoding detectEncoding(const QByteArray& bytes, qsizetype* bomSize)
{
    *bomSize = 0;
    if (startsWith(bytes, "\xEF\xBB\xBF")) {
        *bomSize = 3;
        return TextEncoding::Utf8Bom;
    }
    if (startsWith(bytes, "\xFF\xFE") || startsWith(bytes, "\xFE\xFF")) {
        *bomSize = 2;
        return bytes[0] == '\xFF' ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
    }
    if (decodesCleanly(bytes, "UTF-8"))
        return TextEncoding::Utf8;
    if (!decodesCleanly(bytes, "GB18030") || readsAsWindows1252(bytes))
        return TextEncoding::Windows1252;
    return TextEncoding::Gb18030;
}

// Code unit i of the text after the mark: a byte, or a 16-bit unit for UTF-16.
struct Units {
    const QByteArray& bytes;
    qsizetype from;
    int width;
    TextEncoding encoding;

    qsizetype count() const { return (bytes.size() - from) / width; }
    char16_t at(qsizetype i) const
    {
        const qsizetype offset = from + i * width;
        const auto first = static_cast<unsigned char>(bytes[offset]);
        if (width == 1)
            return first;
        const auto second = static_cast<unsigned char>(bytes[offset + 1]);
        return encoding == TextEncoding::Utf16LE ? char16_t(first | second << 8) : char16_t(first << 8 | second);
    }
};

// The next line break in 8-bit text. Each of "\n" and "\r" is searched
// with memchr and its position kept, so every byte is looked at about once.
class BreakFinder {
public:
    explicit BreakFinder(QByteArrayView text)
        : m_text(text)
    {
    }
    qsizetype from(qsizetype pos) { return std::min(next(m_lineFeed, '\n', pos), next(m_return, '\r', pos)); }

private:
    qsizetype next(qsizetype& cached, char c, qsizetype pos)
    {
        if (cached < pos) {
            const qsizetype at = m_text.indexOf(c, pos);
            cached = at < 0 ? m_text.size() : at;
        }
        return cached;
    }

    QByteArrayView m_text;
    qsizetype m_lineFeed = -1;
    qsizetype m_return = -1;
};

} // namespace

TextDocument decodeDocument(const QByteArray& bytes)
{
    TextDocument doc;
    doc.bytes = bytes;
    doc.encoding = detectEncoding(bytes, &doc.bomSize);
    const bool wide = doc.encoding == TextEncoding::Utf16LE || doc.encoding == TextEncoding::Utf16BE;
    const Units units {bytes, doc.bomSize, wide ? 2 : 1, doc.encoding};
    QStringDecoder decoder(converterName(doc.encoding), kLineByLine);

    auto addLine = [&](qsizetype from, qsizetype size, qsizetype endSize) {
        doc.spans.append(LineBytes {from, size, endSize});
        doc.lines.append(decoder.decode(QByteArrayView(bytes).sliced(from, size)));
        if (doc.lineEnd.isEmpty() && endSize > 0)
            doc.lineEnd = bytes.mid(from + size, endSize);
    };
    const qsizetype count = units.count();
    BreakFinder narrow(QByteArrayView(bytes).sliced(doc.bomSize));
    auto nextBreak = [&](qsizetype from) {
        if (!wide)
            return narrow.from(from);
        while (from < count && units.at(from) != u'\n' && units.at(from) != u'\r')
            ++from;
        return from;
    };
    qsizetype lineStart = 0; // in units
    for (qsizetype i = nextBreak(0); i < count; i = nextBreak(lineStart)) {
        const qsizetype terminator = units.at(i) == u'\r' && i + 1 < count && units.at(i + 1) == u'\n' ? 2 : 1;
        addLine(doc.bomSize + lineStart * units.width, (i - lineStart) * units.width, terminator * units.width);
        lineStart = i + terminator;
    }
    // The rest, with an odd byte that UTF-16 leaves over, is the last line.
    const qsizetype restFrom = doc.bomSize + lineStart * units.width;
    if (restFrom < bytes.size())
        addLine(restFrom, bytes.size() - restFrom, 0);
    if (doc.lineEnd.isEmpty())
        doc.lineEnd = encodeText(QStringLiteral("\n"), doc.encoding).value_or(QByteArray("\n"));
    return doc;
}

std::optional<QByteArray> encodeText(const QString& text, TextEncoding encoding)
{
    QStringEncoder encoder(converterName(encoding), QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(text);
    // A converter that substitutes quietly is caught by the way back.
    QStringDecoder decoder(converterName(encoding), kLineByLine);
    if (encoder.hasError() || decoder.decode(bytes) != text || decoder.hasError())
        return std::nullopt;
    return bytes;
}
