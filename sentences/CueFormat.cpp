#include "CueFormat.h"

#include "Markup.h"

#include <algorithm>

namespace {

constexpr QStringView kArrow = u"-->";
// A cue number of more digits is text.
constexpr qsizetype kMaxNumberDigits = 9;

struct TokenSpan {
    qsizetype from = 0;
    qsizetype to = 0;
};

// The first run of non-spaces at or after pos.
TokenSpan tokenAt(QStringView line, qsizetype pos)
{
    while (pos < line.size() && line[pos].isSpace())
        ++pos;
    TokenSpan token {pos, pos};
    while (token.to < line.size() && !line[token.to].isSpace())
        ++token.to;
    return token;
}

class CueReader {
public:
    explicit CueReader(const QStringList& lines)
        : m_lines(lines)
    {
    }

    // The header, NOTE, STYLE and REGION blocks and cue identifiers stand
    // outside cues and so give no text.
    QVector<SentenceDraft> run()
    {
        for (int i = 0; i < m_lines.size(); ++i) {
            if (const std::optional<CueTiming> timing = parseCueTiming(m_lines[i])) {
                finishCue(i);
                m_timingLine = i;
                m_timing = *timing;
            } else if (m_lines[i].trimmed().isEmpty()) {
                finishCue(i);
            }
        }
        finishCue(int(m_lines.size()));
        return m_drafts;
    }

private:
    // The cue's text is every line from its timing line to `next`, less a
    // cue number that stands right before a timing line.
    void finishCue(int next)
    {
        if (m_timingLine < 0)
            return;
        int last = next - 1;
        if (last > m_timingLine && next < m_lines.size() && parseCueTiming(m_lines[next]) && cueNumber(m_lines[last]))
            --last;
        if (last > m_timingLine)
            addCue(last);
        m_timingLine = -1;
    }

    void addCue(int last)
    {
        const CueText text = readCueText(m_lines, m_timingLine + 1, last);
        if (text.lines.joined.text.isEmpty())
            return;
        SentenceDraft draft;
        draft.startMs = m_timing.start.ms;
        draft.endMs = std::max(m_timing.end.ms, m_timing.start.ms);
        draft.text = text.lines.joined.text;
        draft.translation = text.lines.joined.translation;
        draft.words = text.words;
        draft.origin.line = m_timingLine;
        draft.origin.tag = 0;
        draft.origin.endLine = m_timingLine;
        draft.origin.endTag = 0;
        draft.origin.lastLine = last;
        m_drafts.append(std::move(draft));
    }

    const QStringList& m_lines;
    QVector<SentenceDraft> m_drafts;
    int m_timingLine = -1; // of the cue being read
    CueTiming m_timing;
};

} // namespace

std::optional<CueTiming> parseCueTiming(QStringView line)
{
    const qsizetype arrow = line.indexOf(kArrow);
    if (arrow < 0)
        return std::nullopt;
    CueTiming timing;
    const QStringView before = line.left(arrow);
    timing.startFrom = 0;
    while (timing.startFrom < arrow && line[timing.startFrom].isSpace())
        ++timing.startFrom;
    timing.startTo = before.trimmed().size() + timing.startFrom;
    const TokenSpan end = tokenAt(line, arrow + kArrow.size());
    timing.endFrom = end.from;
    timing.endTo = end.to;
    timing.start = parseTime(line.sliced(timing.startFrom, timing.startTo - timing.startFrom), TimeSyntax::Cue);
    timing.end = parseTime(line.sliced(end.from, end.to - end.from), TimeSyntax::Cue);
    if (timing.start.ms == kNoTime || timing.end.ms == kNoTime)
        return std::nullopt;
    return timing;
}

QVector<SentenceDraft> readCues(const QStringList& lines)
{
    return CueReader(lines).run();
}

CueText readCueText(const QStringList& lines, int from, int to)
{
    CueText cue;
    QVector<LineText> clean;
    QVector<QString> texts;
    for (int i = from; i <= to; ++i) {
        clean.append(cleanLine(lines[i], Markup::Cue));
        texts.append(clean.last().text);
    }
    cue.lines = pairCueLines(texts);
    for (qsizetype i = 0; i < clean.size(); ++i) {
        if (cue.lines.roles[i] == LineRole::Translation)
            continue;
        const TextParts& parts = cue.lines.parts[i];
        for (TimedWord& word : wordsWithin(clean[i], parts.textFrom, parts.textTo)) {
            // A line's words before its first stamp go on from the line before.
            if (word.ms == kNoTime && !cue.words.isEmpty())
                word.ms = cue.words.last().ms;
            cue.words.append(word);
        }
    }
    return cue;
}

std::optional<qint64> cueNumber(QStringView line)
{
    line = line.trimmed();
    if (line.isEmpty() || line.size() > kMaxNumberDigits)
        return std::nullopt;
    bool ok = false;
    const qint64 number = line.toLongLong(&ok);
    if (!ok || number < 0 || line.startsWith(u'+'))
        return std::nullopt;
    return number;
}

QString escapeCueText(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QStringLiteral("&amp;"));
    escaped.replace(QLatin1Char('<'), QStringLiteral("&lt;"));
    escaped.replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    return escaped;
}
