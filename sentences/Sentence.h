// One sentence of a material as every room sees it: its span on the sound's
// timeline, its text, an optional translation and optional word timings.
// Plain values with Qt Core only, so that the contracts can carry them.
#pragma once

#include <QString>
#include <QVector>

struct WordTime {
    float start = 0.0f; // seconds from the first sample of the sound
    QString word;
};

// Where a sentence came from in its file, so that an edit rewrites exactly
// its own tag or cue. Filled by the reader; meaningless for sentences that
// were made by other means.
struct SentenceOrigin {
    int line = -1;    // 0-based line of the file that holds the sentence's start tag or cue timing
    int tag = -1;     // which tag of that line (LRC lines may carry several)
    int endLine = -1; // line of an LRC end marker or of the cue timing that gives the end; -1 when the end is the next start
    int endTag = -1;  // which tag of the end marker's line
    int lastLine = -1; // last line of a cue's text; the start line for LRC
    // A second line with the same time that gave the translation: a new start
    // moves its tag (or cue) too.
    int pairLine = -1;
    int pairTag = -1;
};

struct Sentence {
    float start = 0.0f; // seconds
    float end = -1.0f;  // seconds; -1 only for a last sentence whose end the file does not give and no media told
    QString text;       // without terminator, markup or word tags
    QString translation; // empty when none
    QVector<WordTime> words; // empty when the file has no word timings
    SentenceOrigin origin;
};
