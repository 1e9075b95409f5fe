#include "SentenceParsing.h"

#include "CueFormat.h"
#include "LrcFormat.h"
#include "SentenceLog.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace {

// No sentence file comes near this; a larger file is something else.
constexpr qint64 kMaxFileBytes = 64LL * 1024 * 1024;
constexpr qint64 kReadPieceBytes = 1024 * 1024;
// Lines looked at to tell the formats apart.
constexpr int kSniffLines = 1000;

std::optional<SentenceFormat> formatOfExtension(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"lrc")
        return SentenceFormat::Lrc;
    if (suffix == u"srt")
        return SentenceFormat::Srt;
    if (suffix == u"vtt")
        return SentenceFormat::Vtt;
    return std::nullopt;
}

struct FormatEvidence {
    bool webVtt = false;
    int lrcLines = 0;
    int cueTimings = 0;

    bool supports(SentenceFormat format) const { return format == SentenceFormat::Lrc ? lrcLines > 0 : cueTimings > 0; }
    std::optional<SentenceFormat> best() const
    {
        if (webVtt)
            return SentenceFormat::Vtt;
        if (lrcLines == cueTimings)
            return std::nullopt;
        return lrcLines > cueTimings ? SentenceFormat::Lrc : SentenceFormat::Srt;
    }
};

FormatEvidence sniff(const QStringList& lines)
{
    FormatEvidence evidence;
    evidence.webVtt = !lines.isEmpty() && lines.first().startsWith(u"WEBVTT");
    for (qsizetype i = 0; i < std::min<qsizetype>(lines.size(), kSniffLines); ++i) {
        evidence.lrcLines += scanLrcLine(lines[i]).times.isEmpty() ? 0 : 1;
        evidence.cueTimings += parseCueTiming(lines[i]) ? 1 : 0;
    }
    return evidence;
}

ParsedDocument parseDecoded(TextDocument doc, SentenceFormat format)
{
    ParsedDocument parsed;
    parsed.doc = std::move(doc);
    parsed.file.format = format;
    parsed.file.encoding = parsed.doc.encoding;
    if (format == SentenceFormat::Lrc) {
        LrcDrafts lrc = readLrc(parsed.doc.lines);
        parsed.file.title = lrc.title;
        parsed.offsetMs = lrc.offsetMs;
        parsed.file.sentences = finishSentences(std::move(lrc.drafts));
    } else {
        parsed.file.sentences = finishSentences(readCues(parsed.doc.lines));
    }
    return parsed;
}

SentenceRead readResult(ParsedDocument parsed)
{
    SentenceRead read;
    read.ok = !parsed.file.sentences.isEmpty();
    if (!read.ok)
        read.error = QStringLiteral("no sentences found in the %1 file").arg(formatName(parsed.file.format));
    read.file = std::move(parsed.file);
    return read;
}

} // namespace

QString formatName(SentenceFormat format)
{
    switch (format) {
    case SentenceFormat::Lrc:
        return QStringLiteral("LRC");
    case SentenceFormat::Srt:
        return QStringLiteral("SRT");
    case SentenceFormat::Vtt:
        return QStringLiteral("VTT");
    }
    return QString();
}

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf8Bom:
        return QStringLiteral("UTF-8 BOM");
    case TextEncoding::Utf16LE:
        return QStringLiteral("UTF-16LE");
    case TextEncoding::Utf16BE:
        return QStringLiteral("UTF-16BE");
    case TextEncoding::Gb18030:
        return QStringLiteral("GB18030");
    case TextEncoding::Windows1252:
        return QStringLiteral("Windows-1252");
    }
    return QString();
}

ParsedDocument parseDocument(const QByteArray& bytes, SentenceFormat format)
{
    return parseDecoded(decodeDocument(bytes), format);
}

std::optional<ParsedDocument> loadDocument(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    // Read in pieces up to the limit: a device or a pipe has no size to check first.
    QByteArray bytes;
    for (QByteArray piece; bytes.size() <= kMaxFileBytes && !(piece = file.read(kReadPieceBytes)).isEmpty();)
        bytes += piece;
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    if (bytes.size() > kMaxFileBytes) {
        *error = QStringLiteral("%1 is too large for a sentence file").arg(path);
        return std::nullopt;
    }
    // The extension decides unless the content holds nothing of that format
    // and something of another (an SRT named .lrc, a WebVTT named .srt).
    TextDocument doc = decodeDocument(bytes);
    const std::optional<SentenceFormat> named = formatOfExtension(path);
    const FormatEvidence evidence = sniff(doc.lines);
    std::optional<SentenceFormat> format = named;
    if (!named || (!evidence.supports(*named) && evidence.best()))
        format = evidence.best();
    if (named && evidence.webVtt && *named == SentenceFormat::Srt)
        format = SentenceFormat::Vtt;
    if (!format) {
        *error = QStringLiteral("%1 is no LRC, SRT or VTT file").arg(path);
        return std::nullopt;
    }
    ParsedDocument parsed = parseDecoded(std::move(doc), *format);
    parsed.file.path = path;
    if (parsed.file.sentences.isEmpty()) {
        *error = QStringLiteral("no sentences found in %1").arg(path);
        return std::nullopt;
    }
    return parsed;
}

SentenceRead readSentenceFile(const QString& path)
{
    SentenceRead read;
    std::optional<ParsedDocument> parsed = loadDocument(path, &read.error);
    if (!parsed) {
        qCWarning(lcSentences) << read.error;
        return read;
    }
    return readResult(std::move(*parsed));
}

SentenceRead readSentenceBytes(const QByteArray& bytes, SentenceFormat format)
{
    return readResult(parseDocument(bytes, format));
}

void endLastSentenceAt(SentenceFile& file, float mediaDuration)
{
    if (file.sentences.isEmpty() || !std::isfinite(mediaDuration) || mediaDuration <= 0)
        return;
    Sentence& last = file.sentences.last();
    if (last.end < 0)
        last.end = std::max(mediaDuration, last.start);
}
