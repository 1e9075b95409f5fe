// Sentences as the format readers find them, before they are put in time
// order, paired and given their ends.
#pragma once

#include "Markup.h"
#include "Sentence.h"

#include <QVector>

struct SentenceDraft {
    qint64 startMs = 0;
    qint64 endMs = kNoTime; // the file's own end, if it gives one
    QString text; // empty: an LRC end marker
    QString translation;
    QVector<TimedWord> words;
    SentenceOrigin origin;
};

// Time order (stable); two drafts from different lines with the same times
// become one sentence, the English one its text and the other its translation;
// an end marker ends the sentence just before it; every other end is the next
// sentence's start, the last one's -1 unless the file gave one.
QVector<Sentence> finishSentences(QVector<SentenceDraft> drafts);
