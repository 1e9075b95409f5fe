#include "SentenceDrafts.h"

#include "Bilingual.h"

#include <QStringList>

#include <algorithm>

namespace {

bool isMarker(const SentenceDraft& draft)
{
    return draft.text.isEmpty();
}

// The other line becomes the translation of the English one (of the first
// where neither or both are English).
void pair(SentenceDraft& first, SentenceDraft& second)
{
    const bool swap = isEnglish(second.text) && !isEnglish(first.text);
    SentenceDraft& main = swap ? second : first;
    const SentenceDraft& other = swap ? first : second;
    QStringList translation;
    for (const QString& piece : {main.translation, other.text, other.translation}) {
        if (!piece.isEmpty())
            translation.append(piece);
    }
    main.translation = translation.join(QLatin1Char(' '));
    main.origin.pairLine = other.origin.line;
    main.origin.pairTag = other.origin.tag;
    if (swap)
        std::swap(first, second);
    second.text.clear();
    second.origin.line = -1; // dropped below, not a marker
}

// Pairs exactly two sentence drafts of different lines with the same start
// and end; a crowd of three or more lines at one time stays as it is.
void pairSameTimes(QVector<SentenceDraft>& drafts)
{
    for (qsizetype from = 0; from < drafts.size();) {
        qsizetype to = from;
        QVector<qsizetype> sentences;
        for (; to < drafts.size() && drafts[to].startMs == drafts[from].startMs; ++to) {
            if (!isMarker(drafts[to]))
                sentences.append(to);
        }
        if (sentences.size() == 2) {
            SentenceDraft& a = drafts[sentences[0]];
            SentenceDraft& b = drafts[sentences[1]];
            if (a.endMs == b.endMs && a.origin.line != b.origin.line)
                pair(a, b);
        }
        from = to;
    }
    drafts.erase(std::remove_if(drafts.begin(), drafts.end(), [](const SentenceDraft& d) { return d.origin.line < 0; }),
                 drafts.end());
}

QVector<WordTime> wordTimes(const SentenceDraft& draft)
{
    QVector<WordTime> words;
    words.reserve(draft.words.size());
    for (const TimedWord& word : draft.words)
        words.append(WordTime {secondsOf(word.ms == kNoTime ? draft.startMs : word.ms), word.word});
    return words;
}

} // namespace

QVector<Sentence> finishSentences(QVector<SentenceDraft> drafts)
{
    std::stable_sort(drafts.begin(), drafts.end(),
                     [](const SentenceDraft& a, const SentenceDraft& b) { return a.startMs < b.startMs; });
    pairSameTimes(drafts);

    QVector<SentenceDraft> kept;
    kept.reserve(drafts.size());
    for (SentenceDraft& draft : drafts) {
        if (!isMarker(draft)) {
            kept.append(std::move(draft));
            continue;
        }
        SentenceDraft* before = kept.isEmpty() ? nullptr : &kept.last();
        if (before && before->endMs == kNoTime && before->startMs < draft.startMs) {
            before->endMs = draft.startMs;
            before->origin.endLine = draft.origin.line;
            before->origin.endTag = draft.origin.tag;
        }
    }

    QVector<Sentence> sentences;
    sentences.reserve(kept.size());
    for (qsizetype i = 0; i < kept.size(); ++i) {
        const SentenceDraft& draft = kept[i];
        qint64 end = draft.endMs;
        if (end == kNoTime && i + 1 < kept.size())
            end = kept[i + 1].startMs;
        sentences.append(Sentence {secondsOf(draft.startMs), end == kNoTime ? -1.0f : secondsOf(end), draft.text,
                                   draft.translation, wordTimes(draft), draft.origin});
    }
    return sentences;
}
