#include "Markup.h"

#include <algorithm>

namespace {

// A word timestamp is short; a farther bracket closes something else.
constexpr qsizetype kMaxStampChars = 32;
// Characters from "&" that hold the ";" of every entity decoded ("&#1114111;").
constexpr qsizetype kMaxEntityChars = 11;

// The next occurrence of a needle at or after a position. It remembers its
// last answer, so that a line full of openers without closers is still
// searched once rather than once per opener.
class NextOf {
public:
    NextOf(QStringView text, QStringView needle)
        : m_text(text)
        , m_needle(needle)
    {
    }
    qsizetype from(qsizetype pos)
    {
        if (m_at != kNone && m_at < pos)
            m_at = m_text.indexOf(m_needle, pos);
        return m_at;
    }

private:
    static constexpr qsizetype kNone = -1;
    QStringView m_text;
    QStringView m_needle;
    qsizetype m_at = -2; // below every position: search on the first call
};

QString decodedEntity(QStringView name)
{
    static const struct {
        QStringView name;
        char16_t character;
    } named[] = {{u"amp", u'&'}, {u"lt", u'<'}, {u"gt", u'>'}, {u"nbsp", u' '}, {u"quot", u'"'}, {u"apos", u'\''}};
    for (const auto& entity : named) {
        if (name == entity.name)
            return QString(QChar(entity.character));
    }
    if (name.size() < 2 || name[0] != u'#')
        return QString();
    const bool hex = name[1] == u'x' || name[1] == u'X';
    bool ok = false;
    const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
    if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return QString();
    const char32_t ucs4 = code;
    return QString::fromUcs4(&ucs4, 1);
}

bool isRubyReading(QStringView tag)
{
    return tag == u"rt" || tag.startsWith(u"rt ") || tag.startsWith(u"rt.");
}

class Cleaner {
public:
    Cleaner(QStringView raw, Markup markup)
        : m_raw(raw)
        , m_markup(markup)
        , m_angle(raw, u">")
        , m_square(raw, u"]")
        , m_brace(raw, u"}")
        , m_rubyEnd(raw, u"</rt>")
    {
        m_out.text.reserve(raw.size());
    }

    LineText run()
    {
        for (qsizetype i = 0; i < m_raw.size();) {
            // Plain text up to the next character that may open something goes in one piece.
            qsizetype plain = i;
            while (plain < m_raw.size() && !opensSomething(m_raw[plain]))
                ++plain;
            m_out.text += m_raw.sliced(i, plain - i);
            i = plain < m_raw.size() ? step(plain) : plain;
        }
        closeWord(false);
        const QString untrimmed = m_out.text;
        m_out.text = untrimmed.trimmed();
        const qsizetype leading = m_out.text.isEmpty() ? 0 : untrimmed.indexOf(m_out.text.front());
        for (TimedWord& word : m_out.words) {
            word.from = std::max<qsizetype>(word.from - leading, 0);
            word.to = std::max<qsizetype>(word.to - leading, 0);
        }
        return m_out;
    }

private:
    static bool opensSomething(QChar c) { return c == u'<' || c == u'[' || c == u'{' || c == u'&'; }

    // Handles what starts at i; returns where the next step starts.
    qsizetype step(qsizetype i)
    {
        const QChar c = m_raw[i];
        const bool cue = m_markup == Markup::Cue;
        if (c == u'<')
            return angle(i);
        if (c == u'[' && !cue) {
            const qsizetype close = m_square.from(i);
            if (close > i && close - i <= kMaxStampChars && stamp(m_raw.sliced(i + 1, close - i - 1)))
                return close + 1;
        } else if (c == u'{' && cue && i + 1 < m_raw.size() && m_raw[i + 1] == u'\\') {
            const qsizetype close = m_brace.from(i);
            if (close > i)
                return close + 1;
        } else if (c == u'&' && cue) {
            const qsizetype semicolon = m_raw.sliced(i, std::min(kMaxEntityChars, m_raw.size() - i)).indexOf(u';');
            if (semicolon > 1) {
                const QString decoded = decodedEntity(m_raw.sliced(i + 1, semicolon - 1));
                if (!decoded.isEmpty()) {
                    m_out.text += decoded;
                    return i + semicolon + 1;
                }
            }
        }
        m_out.text += c;
        return i + 1;
    }

    qsizetype angle(qsizetype i)
    {
        const qsizetype close = m_angle.from(i);
        if (close < 0) {
            m_out.text += m_raw[i];
            return i + 1;
        }
        const QStringView inside = m_raw.sliced(i + 1, close - i - 1);
        if (inside.size() <= kMaxStampChars && stamp(inside))
            return close + 1;
        if (m_markup == Markup::Cue && !inside.isEmpty() && (inside[0].isLetter() || inside[0] == u'/')) {
            if (isRubyReading(inside)) {
                const qsizetype end = m_rubyEnd.from(close);
                return end < 0 ? close + 1 : end + 5; // past "</rt>"
            }
            return close + 1;
        }
        m_out.text += m_raw[i];
        return i + 1;
    }

    // A word timestamp ends the word before it.
    bool stamp(QStringView inside)
    {
        const ParsedTime time = parseTime(inside, m_markup == Markup::Lrc ? TimeSyntax::Lrc : TimeSyntax::Cue);
        if (time.ms == kNoTime)
            return false;
        closeWord(true);
        m_timed = true;
        m_wordMs = time.ms;
        return true;
    }

    // The piece since the last stamp is a word once the line has a stamp: the
    // piece before the first one starts with the line (kNoTime).
    void closeWord(bool atStamp)
    {
        if (!m_timed && !atStamp)
            return; // a line without stamps has no words
        const QString word = m_out.text.mid(m_wordFrom).trimmed();
        if (!word.isEmpty() && (m_timed || atStamp))
            m_out.words.append(TimedWord {m_wordMs, word, m_wordFrom, m_out.text.size()});
        m_wordFrom = m_out.text.size();
    }

    QStringView m_raw;
    Markup m_markup;
    NextOf m_angle;
    NextOf m_square;
    NextOf m_brace;
    NextOf m_rubyEnd;
    LineText m_out;
    qsizetype m_wordFrom = 0;
    qint64 m_wordMs = kNoTime;
    bool m_timed = false;
};

} // namespace

LineText cleanLine(QStringView raw, Markup markup)
{
    return Cleaner(raw, markup).run();
}

QVector<TimedWord> wordsWithin(const LineText& line, qsizetype from, qsizetype to)
{
    QVector<TimedWord> words;
    for (const TimedWord& word : line.words) {
        const qsizetype start = std::max(word.from, from);
        const qsizetype end = std::min(word.to, to);
        const QString piece = end > start ? line.text.mid(start, end - start).trimmed() : QString();
        if (!piece.isEmpty())
            words.append(TimedWord {word.ms, piece, start, end});
    }
    return words;
}
