// Sentences made from plain texts, one second apart, for views under test.
#pragma once

#include "sentences/Sentence.h"

#include <QStringList>

inline QVector<Sentence> sentencesFrom(const QStringList& texts)
{
    QVector<Sentence> sentences;
    for (const QString& text : texts) {
        Sentence sentence;
        sentence.start = float(sentences.size());
        sentence.end = sentence.start + 1.0f;
        sentence.text = text;
        sentences.append(sentence);
    }
    return sentences;
}
