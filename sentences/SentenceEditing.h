// Changing one sentence of a sentence file in place, in the file's own format,
// encoding and line ends. Every line the change does not touch is written back
// as the bytes it was read from, and the file is replaced atomically: a failed
// write leaves the old file whole.
#pragma once

#include <QByteArray>
#include <QPair>
#include <QString>
#include <QVector>

struct SentenceEdit {
    float start = -1; // seconds; < 0: unchanged
    float end = -1; // seconds; < 0: unchanged
    QString text;
    bool changeText = false;
};

// index is the sentence's index in readSentenceFile(path).file.sentences. A
// new start rewrites the sentence's own tag or cue; a new end rewrites its end
// marker or cue end where the file has one, else the next sentence's start; a
// new text keeps the translation. False with a reason when nothing was written.
bool editSentence(const QString& path, int index, const SentenceEdit& edit, QString* error);

// Makes a new sentence of the text from selection's first occurrence on,
// starting at `at`; the translation stays with the first part. False, and the
// file unchanged, when the selection is empty, not found or at the very start.
bool splitSentence(const QString& path, int index, float at, const QString& selection, QString* error);

// UTF-8 LRC for sentences found by pauses: "[mm:ss.xx]第 1 句" per span and an
// end marker "[mm:ss.xx]" after it unless the next span starts there. Spans
// that are no valid time range are left out.
QByteArray lrcFromSpans(const QVector<QPair<float, float>>& spans);
