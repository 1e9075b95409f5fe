// Blind listening's placeholders: in place of each word of a laid-out text, a
// rounded bar as wide as the word, on the word's line, so that the learner
// sees where the sentence is and how long its words are but not the words.
#pragma once

#include <QColor>
#include <QRectF>
#include <QVector>

class QPainter;
class QTextLayout;

struct WordBar {
    QRectF box; // relative to the layout's position
    int from;   // the word's characters in the layout's text: from <= i < to
    int to;
};

// Words are runs between white space and, in Chinese, between punctuation
// marks; a word broken over two lines gives a bar on each. `text` is the
// layout's text: a document block's layout does not hold its own.
QVector<WordBar> wordBars(const QTextLayout& layout, const QString& text);

void drawWordBar(QPainter& painter, const QRectF& box, const QColor& colour);
