#include "SentenceEditing.h"

#include "CueFormat.h"
#include "LineEdits.h"
#include "LrcFormat.h"
#include "SentenceLog.h"
#include "SentenceParsing.h"

#include <QSaveFile>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace {

// How far a time may read back from what was asked: LRC tags keep hundredths.
constexpr qint64 kLrcToleranceMs = 6;
constexpr qint64 kCueToleranceMs = 1;
constexpr qint64 kHundredthMs = 10;
// A new text is first written in the line's own form ("Hello world 你好"
// stays without a bar); where that would read back otherwise, as "text | translation".
constexpr int kOwnForm = 0;
constexpr int kTextForms = 2;

qint64 msOfSeconds(float seconds)
{
    return seconds < 0 ? kNoTime : msOf(seconds);
}

// A text of one line: line breaks become spaces.
QString oneLine(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text.trimmed();
}

// The raw text of a line (what follows the LRC tags, or a cue line) with a
// new sentence in place of the old one and the translation kept.
QString textPart(const QString& raw, Markup markup, const QString& text, int form)
{
    const bool cue = markup == Markup::Cue;
    const QString written = cue ? escapeCueText(text) : text;
    const LineText clean = cleanLine(raw, markup);
    const TextParts parts = splitBilingual(clean.text);
    if (parts.translation.isEmpty())
        return written;
    const qsizetype at = raw.indexOf(parts.text);
    if (form == kOwnForm && raw.trimmed() == clean.text && at >= 0 && at == raw.lastIndexOf(parts.text))
        return QString(raw).replace(at, parts.text.size(), written);
    return written + QStringLiteral(" | ") + (cue ? escapeCueText(parts.translation) : parts.translation);
}

bool writeAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = QStringLiteral("cannot replace %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

class Editor {
public:
    Editor(const ParsedDocument& parsed, QString* error)
        : m_parsed(parsed)
        , m_doc(parsed.doc)
        , m_sentences(parsed.file.sentences)
        , m_lrc(parsed.file.format == SentenceFormat::Lrc)
        , m_error(error)
    {
    }

    bool edit(int index, const SentenceEdit& edit);
    bool split(int index, float at, const QString& selection);

private:
    using Build = std::function<bool(LineEdits& edits, int form)>;

    bool fail(const QString& reason)
    {
        *m_error = reason;
        return false;
    }
    bool validIndex(int index)
    {
        return (index >= 0 && index < m_sentences.size()) || fail(QStringLiteral("there is no sentence %1").arg(index));
    }
    bool requested(float seconds, qint64* ms);
    bool toFile(qint64 ms, qint64* fileMs);
    bool retime(LineEdits& edits, int line, int tag, bool cueEnd, qint64 ms);
    bool moveStart(LineEdits& edits, const Sentence& sentence, qint64 ms);
    bool moveEnd(LineEdits& edits, int index, qint64 ms);
    void setText(LineEdits& edits, const Sentence& sentence, const QString& text, int form);
    bool splitLrc(LineEdits& edits, int index, qint64 at, const QString& first, const QString& second, int form);
    bool splitCue(LineEdits& edits, int index, qint64 at, const QString& first, const QString& second, int form);
    bool readsBack(const QVector<Sentence>& after, const QVector<Sentence>& expected) const;
    bool commit(const Build& build, const QVector<Sentence>& expected);

    const ParsedDocument& m_parsed;
    const TextDocument& m_doc;
    const QVector<Sentence>& m_sentences;
    const bool m_lrc;
    QString* m_error;
};

// A time the caller asked for; false for one that is no time at all.
bool Editor::requested(float seconds, qint64* ms)
{
    *ms = msOf(seconds);
    return *ms != kNoTime || fail(QStringLiteral("%1 is no valid time").arg(double(seconds)));
}

// The time as the file writes it: an LRC tag adds the file's offset back.
bool Editor::toFile(qint64 ms, qint64* fileMs)
{
    *fileMs = m_lrc ? ms + m_parsed.offsetMs : ms;
    return (*fileMs >= 0 && *fileMs <= kMaxTimeMs)
        || fail(QStringLiteral("the file's offset of %1 ms leaves no tag for %2 s")
                    .arg(m_parsed.offsetMs)
                    .arg(secondsOf(ms)));
}

// Rewrites one timestamp of a line: an LRC line's tag, or a cue's start or end.
bool Editor::retime(LineEdits& edits, int line, int tag, bool cueEnd, qint64 ms)
{
    QString text = edits.text(line);
    qint64 fileMs = 0;
    if (!toFile(ms, &fileMs))
        return false;
    if (m_lrc) {
        const LrcLine scan = scanLrcLine(text);
        if (tag < 0 || tag >= scan.times.size())
            return fail(QStringLiteral("line %1 no longer holds its tag").arg(line + 1));
        const LrcTag& old = scan.times[tag];
        text.replace(old.from, old.to - old.from, lrcTag(fileMs, old.style));
    } else {
        const std::optional<CueTiming> timing = parseCueTiming(text);
        if (!timing)
            return fail(QStringLiteral("line %1 no longer holds its timing").arg(line + 1));
        TimeStyle style = cueEnd ? timing->end.style : timing->start.style;
        style.decimals = 3;
        const qsizetype from = cueEnd ? timing->endFrom : timing->startFrom;
        const qsizetype to = cueEnd ? timing->endTo : timing->startTo;
        text.replace(from, to - from, formatTime(fileMs, style, TimeSyntax::Cue));
    }
    edits.replace(line, text);
    return true;
}

// A sentence's start, and that of the line paired with it.
bool Editor::moveStart(LineEdits& edits, const Sentence& sentence, qint64 ms)
{
    const SentenceOrigin& origin = sentence.origin;
    // The two tags of a pair must keep one time whatever decimals each has:
    // both get a time that hundredths hold.
    if (m_lrc && origin.pairLine >= 0)
        ms = (ms + m_parsed.offsetMs + kHundredthMs / 2) / kHundredthMs * kHundredthMs - m_parsed.offsetMs;
    return retime(edits, origin.line, origin.tag, false, ms)
        && (origin.pairLine < 0 || retime(edits, origin.pairLine, origin.pairTag, false, ms));
}

// The file's own end where it gives one, else the next sentence's start; the
// last LRC sentence without either gets an end marker.
bool Editor::moveEnd(LineEdits& edits, int index, qint64 ms)
{
    const SentenceOrigin& origin = m_sentences[index].origin;
    if (!m_lrc) {
        return retime(edits, origin.line, 0, true, ms)
            && (origin.pairLine < 0 || retime(edits, origin.pairLine, 0, true, ms));
    }
    if (origin.endLine >= 0)
        return retime(edits, origin.endLine, origin.endTag, false, ms);
    if (index + 1 < m_sentences.size())
        return moveStart(edits, m_sentences[index + 1], ms);
    qint64 fileMs = 0;
    if (!toFile(ms, &fileMs))
        return false;
    edits.insertAfter(origin.line, lrcTag(fileMs, scanLrcLine(m_doc.lines[origin.line]).times.value(origin.tag).style));
    return true;
}

// LRC: the text after the tags, which a line of several tags shares. Cue: the
// first sentence line takes the text, other sentence lines go, translation lines stay.
void Editor::setText(LineEdits& edits, const Sentence& sentence, const QString& text, int form)
{
    const int line = sentence.origin.line;
    if (m_lrc) {
        const QString current = edits.text(line);
        const qsizetype textFrom = scanLrcLine(current).textFrom;
        edits.replace(line, current.left(textFrom) + textPart(current.mid(textFrom), Markup::Lrc, text, form));
        return;
    }
    const int from = line + 1;
    const CueText cue = readCueText(m_doc.lines, from, sentence.origin.lastLine);
    bool placed = false;
    for (int i = from; i <= sentence.origin.lastLine; ++i) {
        const LineRole role = cue.lines.roles[i - from];
        if (role == LineRole::Translation)
            continue;
        if (!placed)
            edits.replace(i, textPart(m_doc.lines[i], Markup::Cue, text, form));
        else if (role == LineRole::Both)
            edits.replace(i, escapeCueText(cue.lines.parts[i - from].translation));
        else
            edits.remove(i);
        placed = true;
    }
}

bool Editor::edit(int index, const SentenceEdit& edit)
{
    if (!validIndex(index))
        return false;
    const Sentence& sentence = m_sentences[index];
    const bool newStart = !(edit.start < 0);
    const bool newEnd = !(edit.end < 0);
    qint64 start = msOf(sentence.start);
    qint64 end = msOfSeconds(sentence.end);
    if ((newStart && !requested(edit.start, &start)) || (newEnd && !requested(edit.end, &end)))
        return false;
    if (end != kNoTime && end < start)
        return fail(QStringLiteral("the end would lie before the start"));
    const QString text = edit.changeText ? oneLine(edit.text) : sentence.text;
    if (text.isEmpty())
        return fail(QStringLiteral("the new text is empty"));
    if (!newStart && !newEnd && !edit.changeText)
        return true;

    // Every other sentence must read back as it was, but for the end of the
    // one before (LRC: it ended where this one started) and the start of the
    // one after (LRC: where it ends); a line of several tags shares its text.
    QVector<Sentence> expected = m_sentences;
    Sentence& own = expected[index];
    if (newStart) {
        own.start = secondsOf(start);
        if (m_lrc && index > 0 && expected[index - 1].origin.endLine < 0)
            expected[index - 1].end = own.start;
    }
    if (newEnd) {
        own.end = secondsOf(end);
        if (m_lrc && own.origin.endLine < 0 && index + 1 < expected.size())
            expected[index + 1].start = own.end;
    }
    for (Sentence& sharing : expected) {
        if (edit.changeText && sharing.origin.line == sentence.origin.line && (m_lrc || &sharing == &own))
            sharing.text = text;
    }
    return commit(
        [&](LineEdits& edits, int form) {
            if ((newStart && !moveStart(edits, sentence, start)) || (newEnd && !moveEnd(edits, index, end)))
                return false;
            if (edit.changeText)
                setText(edits, sentence, text, form);
            return true;
        },
        expected);
}

bool Editor::splitLrc(LineEdits& edits, int index, qint64 at, const QString& first, const QString& second, int form)
{
    const Sentence& sentence = m_sentences[index];
    const int line = sentence.origin.line;
    const QString current = m_doc.lines[line];
    const LrcLine scan = scanLrcLine(current);
    const LrcTag own = scan.times.value(sentence.origin.tag);
    if (own.to <= own.from)
        return fail(QStringLiteral("line %1 no longer holds its tag").arg(line + 1));
    qint64 fileAt = 0;
    if (!toFile(at, &fileAt))
        return false;
    const QString firstText = textPart(current.mid(scan.textFrom), Markup::Lrc, first, form);
    const QString secondLine = lrcTag(fileAt, own.style) + second;
    if (scan.times.size() > 1) {
        // The other tags keep the whole text; this one gets two lines of its own.
        edits.replace(line, QString(current).remove(own.from, own.to - own.from));
        edits.insertAfter(line, current.mid(own.from, own.to - own.from) + firstText);
    } else {
        edits.replace(line, current.left(scan.textFrom) + firstText);
    }
    edits.insertAfter(line, secondLine);
    return true;
}

// The cue ends at the split; a new cue from there to the old end follows it,
// numbered after it where the cue has a number, with the cue's settings.
bool Editor::splitCue(LineEdits& edits, int index, qint64 at, const QString& first, const QString& second, int form)
{
    const Sentence& sentence = m_sentences[index];
    const SentenceOrigin& origin = sentence.origin;
    QString timing = m_doc.lines[origin.line];
    const std::optional<CueTiming> parsed = parseCueTiming(timing);
    if (!parsed)
        return fail(QStringLiteral("line %1 no longer holds its timing").arg(origin.line + 1));
    TimeStyle style = parsed->start.style;
    style.decimals = 3;
    timing.replace(parsed->startFrom, parsed->startTo - parsed->startFrom, formatTime(at, style, TimeSyntax::Cue));
    if (!moveEnd(edits, index, at))
        return false;
    setText(edits, sentence, first, form);
    edits.insertAfter(origin.lastLine, QString());
    const std::optional<qint64> number = origin.line > 0 ? cueNumber(m_doc.lines[origin.line - 1]) : std::nullopt;
    if (number)
        edits.insertAfter(origin.lastLine, QString::number(*number + 1));
    edits.insertAfter(origin.lastLine, timing);
    edits.insertAfter(origin.lastLine, escapeCueText(second));
    return true;
}

bool Editor::split(int index, float at, const QString& selection)
{
    if (!validIndex(index))
        return false;
    const Sentence& sentence = m_sentences[index];
    const QString wanted = selection.trimmed();
    const qsizetype pos = wanted.isEmpty() ? -1 : sentence.text.indexOf(wanted);
    if (pos < 0)
        return fail(QStringLiteral("the selection is not in the sentence"));
    const QString first = sentence.text.left(pos).trimmed();
    const QString second = sentence.text.mid(pos).trimmed();
    if (first.isEmpty())
        return fail(QStringLiteral("the selection starts the sentence: nothing stays before it"));
    qint64 atMs = 0;
    if (!requested(at, &atMs))
        return false;
    const qint64 start = msOf(sentence.start);
    const qint64 end = msOfSeconds(sentence.end);
    if (atMs <= start || (end != kNoTime && atMs >= end))
        return fail(QStringLiteral("the split time must lie inside the sentence"));

    QVector<Sentence> expected = m_sentences;
    expected[index].end = secondsOf(atMs);
    expected[index].text = first;
    expected.insert(index + 1, Sentence {secondsOf(atMs), sentence.end, second, QString(), {}, {}});
    return commit(
        [&](LineEdits& edits, int form) {
            return m_lrc ? splitLrc(edits, index, atMs, first, second, form)
                         : splitCue(edits, index, atMs, first, second, form);
        },
        expected);
}

// The same sentences in the same order, times within what the format keeps.
bool Editor::readsBack(const QVector<Sentence>& after, const QVector<Sentence>& expected) const
{
    const qint64 tolerance = m_lrc ? kLrcToleranceMs : kCueToleranceMs;
    auto near = [tolerance](float a, float b) {
        const qint64 x = msOfSeconds(a);
        const qint64 y = msOfSeconds(b);
        return (x == kNoTime) == (y == kNoTime) && std::llabs(x - y) <= tolerance;
    };
    return after.size() == expected.size()
        && std::equal(after.begin(), after.end(), expected.begin(), [&](const Sentence& a, const Sentence& e) {
               return near(a.start, e.start) && near(a.end, e.end) && a.text == e.text
                   && a.translation == e.translation;
           });
}

// Builds the change in the line's own form first, checks that the new file
// reads back as intended, and only then replaces the file.
bool Editor::commit(const Build& build, const QVector<Sentence>& expected)
{
    for (int form = kOwnForm; form < kTextForms; ++form) {
        LineEdits edits(m_doc);
        if (!build(edits, form))
            return false;
        const std::optional<QByteArray> bytes = edits.bytes(m_error);
        if (!bytes)
            return false;
        if (readsBack(parseDocument(*bytes, m_parsed.file.format).file.sentences, expected))
            return writeAtomically(m_parsed.file.path, *bytes, m_error);
    }
    return fail(QStringLiteral("the change would not read back as intended (times out of order with the sentences "
                               "around, or text the format cannot hold)"));
}

bool finish(bool ok, const QString& path, QString* error)
{
    if (!ok)
        qCWarning(lcSentences) << "not changed:" << path << *error;
    return ok;
}

} // namespace

bool editSentence(const QString& path, int index, const SentenceEdit& edit, QString* error)
{
    QString reason;
    const std::optional<ParsedDocument> parsed = loadDocument(path, &reason);
    const bool ok = parsed && Editor(*parsed, &reason).edit(index, edit);
    if (error)
        *error = reason;
    return finish(ok, path, &reason);
}

bool splitSentence(const QString& path, int index, float at, const QString& selection, QString* error)
{
    QString reason;
    const std::optional<ParsedDocument> parsed = loadDocument(path, &reason);
    const bool ok = parsed && Editor(*parsed, &reason).split(index, at, selection);
    if (error)
        *error = reason;
    return finish(ok, path, &reason);
}
