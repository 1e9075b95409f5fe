// What every read must give, whatever the bytes: sentences in time order with
// finite times within the limit, an end at or after the start for every
// sentence but an open last one, text without surrounding space. Shared by
// the tests and the fuzz targets.
#pragma once

#include "sentences/SentenceFile.h"

#include <QList>
#include <QSet>

#include <cmath>

namespace sentencechecks {

// 100 hours, the reader's limit, and what float precision makes of it.
constexpr float kLatestSeconds = 100.0f * 3600.0f + 1.0f;

inline bool validTime(float seconds)
{
    return std::isfinite(seconds) && seconds >= 0 && seconds <= kLatestSeconds;
}

// Empty when the file is well formed, else what is wrong first.
inline QString fault(const SentenceFile& file)
{
    const QVector<Sentence>& sentences = file.sentences;
    for (qsizetype i = 0; i < sentences.size(); ++i) {
        const Sentence& s = sentences[i];
        const QString where = QStringLiteral("sentence %1: ").arg(i);
        if (!validTime(s.start) || (i > 0 && s.start < sentences[i - 1].start))
            return where + QStringLiteral("start %1 out of order or range").arg(double(s.start));
        const bool open = s.end == -1.0f && i + 1 == sentences.size();
        if (!open && (!validTime(s.end) || s.end < s.start))
            return where + QStringLiteral("end %1").arg(double(s.end));
        if (s.text.isEmpty() || s.text != s.text.trimmed() || s.translation != s.translation.trimmed())
            return where + QStringLiteral("text \"%1\"").arg(s.text);
        for (const WordTime& word : s.words) {
            if (!validTime(word.start) || word.word.isEmpty())
                return where + QStringLiteral("word \"%1\"").arg(word.word);
        }
        if (s.origin.line < 0)
            return where + QStringLiteral("no origin");
    }
    return QString();
}

// The lines an edit of a sentence may rewrite: its own tag or cue, its end,
// the line paired with it.
inline QSet<int> linesOf(const Sentence& s)
{
    QSet<int> lines = {s.origin.line, s.origin.endLine, s.origin.pairLine};
    for (int line = s.origin.line; line <= s.origin.lastLine; ++line)
        lines.insert(line);
    lines.remove(-1);
    return lines;
}

// Every line of `before` that is not in `touched` must still be in `after`,
// byte for byte and in order; empty when so, else the first one lost.
inline QString lostLine(const QList<QByteArray>& before, const QList<QByteArray>& after, const QSet<int>& touched)
{
    qsizetype j = 0;
    for (int i = 0; i < before.size(); ++i) {
        if (touched.contains(i))
            continue;
        while (j < after.size() && after[j] != before[i])
            ++j;
        if (j++ == after.size())
            return QStringLiteral("line %1 lost: %2").arg(i).arg(QString::fromLatin1(before[i].toHex()));
    }
    return QString();
}

} // namespace sentencechecks
