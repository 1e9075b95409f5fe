// The text of a line without its timing and markup. Word timestamps (LRC
// "<mm:ss.xx>" and "[mm:ss.xx]" inside the text, WebVTT "<00:01.500>") become
// word timings; in subtitles, formatting tags, voice spans, style overrides
// ("{\an8}") and ruby readings go, and entities are decoded.
#pragma once

#include "TimeText.h"

#include <QString>
#include <QStringView>
#include <QVector>

struct TimedWord {
    qint64 ms = kNoTime; // kNoTime: the words before the first timestamp, which start with the line
    QString word;
    qsizetype from = 0; // where the word's piece stands in the line's text
    qsizetype to = 0;
};

struct LineText {
    QString text; // trimmed
    QVector<TimedWord> words; // empty when the line has no word timestamps
};

enum class Markup { Lrc, Cue };

LineText cleanLine(QStringView raw, Markup markup);

// The words of a line that lie in text[from, to): the sentence part of a
// bilingual line, without the timings of its translation.
QVector<TimedWord> wordsWithin(const LineText& line, qsizetype from, qsizetype to);
