// SRT and WebVTT: cues of a timing line ("00:00:01,500 --> 00:00:03,000") and
// text lines. Cue numbers and identifiers, the WebVTT header and its NOTE,
// STYLE and REGION blocks and cue settings give no text; a timing line starts
// a new cue even without the blank line before it.
#pragma once

#include "Bilingual.h"
#include "SentenceDrafts.h"
#include "TimeText.h"

#include <QStringList>

#include <optional>

struct CueTiming {
    ParsedTime start;
    ParsedTime end;
    qsizetype startFrom = 0; // where each timestamp stands in the line
    qsizetype startTo = 0;
    qsizetype endFrom = 0;
    qsizetype endTo = 0;
};

std::optional<CueTiming> parseCueTiming(QStringView line);

QVector<SentenceDraft> readCues(const QStringList& lines);

// The text lines from..to (inclusive) of one cue, as the reader pairs them.
struct CueText {
    CueLines lines;
    QVector<TimedWord> words;
};
CueText readCueText(const QStringList& lines, int from, int to);

// Whether a line is a bare cue number ("12"), and its value.
std::optional<qint64> cueNumber(QStringView line);

// "&", "<" and ">" as entities, so that text reads back as it was written.
QString escapeCueText(const QString& text);
