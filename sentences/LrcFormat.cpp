#include "LrcFormat.h"

#include "Bilingual.h"

#include <algorithm>
#include <optional>

namespace {

// A tag is short; a "[" whose "]" lies farther opens no tag.
constexpr qsizetype kMaxTagChars = 64;
constexpr qsizetype kMaxKeyChars = 16;

bool isAsciiLetters(QStringView text)
{
    if (text.isEmpty() || text.size() > kMaxKeyChars)
        return false;
    for (QChar c : text) {
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')))
            return false;
    }
    return true;
}

qsizetype skipSpaces(QStringView line, qsizetype pos)
{
    while (pos < line.size() && line[pos].isSpace())
        ++pos;
    return pos;
}

// "+500", "-250", " 1000 ": milliseconds, a huge one held at what a time
// may be; nothing for a value that is no number.
std::optional<qint64> offsetMs(QStringView value)
{
    value = value.trimmed();
    const bool negative = value.startsWith(u'-');
    if (negative || value.startsWith(u'+'))
        value = value.sliced(1);
    if (value.isEmpty())
        return std::nullopt;
    qint64 ms = 0;
    for (QChar c : value) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        ms = std::min(ms * 10 + (c.unicode() - u'0'), kMaxTimeMs);
    }
    return negative ? -ms : ms;
}

void addLine(LrcDrafts& result, int index, QStringView line, const LrcLine& scan)
{
    const LineText clean = cleanLine(line.sliced(scan.textFrom), Markup::Lrc);
    const TextParts parts = clean.text.isEmpty() ? TextParts() : splitBilingual(clean.text);
    for (qsizetype tag = 0; tag < scan.times.size(); ++tag) {
        SentenceDraft draft;
        draft.startMs = scan.times[tag].ms;
        draft.text = parts.text;
        draft.translation = parts.translation;
        draft.words = wordsWithin(clean, parts.textFrom, parts.textTo);
        draft.origin.line = index;
        draft.origin.lastLine = index;
        draft.origin.tag = int(tag);
        result.drafts.append(std::move(draft));
    }
}

} // namespace

LrcLine scanLrcLine(QStringView line)
{
    LrcLine scan;
    qsizetype pos = skipSpaces(line, 0);
    scan.textFrom = pos;
    while (pos < line.size() && line[pos] == u'[') {
        const QStringView window = line.sliced(pos, std::min(kMaxTagChars, line.size() - pos));
        const qsizetype close = window.indexOf(u']');
        if (close < 0)
            break;
        const QStringView inside = window.sliced(1, close - 1);
        const ParsedTime time = parseTime(inside, TimeSyntax::Lrc);
        if (time.ms == kNoTime) {
            const qsizetype colon = inside.indexOf(u':');
            if (scan.times.isEmpty() && colon > 0 && isAsciiLetters(inside.left(colon))) {
                scan.key = inside.left(colon);
                // A value may hold brackets of its own: "[ti:Song [Live]]".
                const qsizetype last = line.lastIndexOf(u']');
                scan.value = line.sliced(pos + colon + 2, last - pos - colon - 2);
            }
            break;
        }
        scan.times.append(LrcTag {time.ms, pos, pos + close + 1, time.style});
        pos = skipSpaces(line, pos + close + 1);
        scan.textFrom = pos;
    }
    return scan;
}

LrcDrafts readLrc(const QStringList& lines)
{
    LrcDrafts result;
    bool titled = false;
    for (int i = 0; i < lines.size(); ++i) {
        const LrcLine scan = scanLrcLine(lines[i]);
        if (!scan.times.isEmpty()) {
            addLine(result, i, lines[i], scan);
        } else if (scan.key.compare(u"offset", Qt::CaseInsensitive) == 0) {
            result.offsetMs = offsetMs(scan.value).value_or(result.offsetMs);
        } else if (!titled && scan.key.compare(u"ti", Qt::CaseInsensitive) == 0) {
            result.title = scan.value.trimmed().toString();
            titled = true;
        }
    }
    // The offset holds for the whole file, wherever it stands.
    for (SentenceDraft& draft : result.drafts) {
        draft.startMs = clampTime(draft.startMs - result.offsetMs);
        for (TimedWord& word : draft.words) {
            if (word.ms != kNoTime)
                word.ms = clampTime(word.ms - result.offsetMs);
        }
    }
    return result;
}

QString lrcTag(qint64 fileMs, const TimeStyle& like)
{
    TimeStyle style;
    style.hours = like.hours;
    style.decimals = like.decimals == 3 ? 3 : 2;
    return QLatin1Char('[') + formatTime(fileMs, style, TimeSyntax::Lrc) + QLatin1Char(']');
}
