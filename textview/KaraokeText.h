// A karaoke sentence laid out for its picture: centred lines broken at word
// boundaries, and inside a word that is wider than the picture wherever it
// overflows, so that no text is ever cut off. A sentence too tall for the
// picture is set in a smaller font, down to a floor.
#pragma once

#include "textview/WordBars.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <QTextLayout>
#include <QVector>

class QPainter;

class KaraokeText {
public:
    KaraokeText(const QString& text, const QFont& font, const QSize& area);

    // Horizontal extent of each line; line k spans rows k x lineHeight() to
    // (k + 1) x lineHeight() - 1.
    const QVector<QRect>& lines() const { return m_lines; }
    // The text of each line, in order; together they are the whole sentence.
    QStringList lineTexts() const;
    int lineHeight() const { return m_lineHeight; }
    // Sum of the lines' widths.
    int total() const { return m_total; }
    const QFont& font() const { return m_font; }
    // Spoken width, in the sense of total(), in front of character `index`
    // of the text: the widths of the lines before its line plus its distance
    // from its line's left edge.
    int widthBefore(int index) const;

    void draw(QPainter& painter, const QColor& colour) const;
    // Blind listening: a bar in place of each word, where draw() puts its glyphs.
    QVector<WordBar> wordBars() const { return ::wordBars(m_layout, m_layout.text()); }
    void drawBars(QPainter& painter, const QColor& colour) const;

    static constexpr int kSmallestPointSize = 8;

private:
    void layOut(const QString& text, const QSize& area);

    QTextLayout m_layout;
    QFont m_font;
    QVector<QRect> m_lines;
    int m_lineHeight = 0;
    int m_total = 0;
};

// One stretch of a line's band that the progress colours.
struct KaraokeFill {
    QRect band;
    bool spoken;
};

// A timed word of the sentence: where it starts, as a share 0..1 of the
// sentence's time, and the spoken width in front of it.
struct KaraokeWord {
    float at;
    int widthBefore;
};

// The spoken width at a share of the sentence's time: at each word's time the
// colour reaches the word's start and moves on evenly to the next word's start
// (for the last word, to the end of the text at the end of the sentence).
int wordTimedWidth(const QVector<KaraokeWord>& words, int total, float fraction);

// How far the progress colours the lines: trunc(total x fraction) pixels of
// spoken width are handed out to the lines in order; the rest is unspoken.
// A fraction outside 0..1 (or not a number) is taken as the nearer end.
QVector<KaraokeFill> karaokeFills(const QVector<QRect>& lines, int lineHeight, int total, float fraction);
