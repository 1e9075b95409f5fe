#include "WordBars.h"

#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace {
// A bar spans the middle of its line: from a quarter of the ascent below the
// line's top to a third of the descent below the baseline, the band that
// lower-case letters fill.
constexpr qreal kBarTopShareOfAscent = 0.25;
constexpr qreal kBarBottomShareOfDescent = 0.35;
// Corner radius as a share of the bar's height: rounded, not a pill.
constexpr qreal kCornerShareOfHeight = 0.3;
// Full-width punctuation (CJK symbols and punctuation, full-width forms)
// starts here; ASCII marks inside a word ("don't", "well-known") do not split it.
constexpr char16_t kFirstWidePunctuation = 0x3000;

bool separatesWords(QChar c)
{
    return c.isSpace() || (c.unicode() >= kFirstWidePunctuation && c.isPunct());
}
} // namespace

QVector<WordBar> wordBars(const QTextLayout& layout, const QString& text)
{
    QVector<WordBar> bars;
    for (int k = 0; k < layout.lineCount(); ++k) {
        const QTextLine line = layout.lineAt(k);
        const qreal top = line.y() + line.ascent() * kBarTopShareOfAscent;
        const qreal bottom = line.y() + line.ascent() + line.descent() * kBarBottomShareOfDescent;
        const int end = std::min(line.textStart() + line.textLength(), int(text.size()));
        int from = line.textStart();
        while (from < end) {
            if (separatesWords(text[from])) {
                ++from;
                continue;
            }
            int to = from + 1;
            while (to < end && !separatesWords(text[to]))
                ++to;
            const qreal x0 = line.cursorToX(from);
            const qreal x1 = line.cursorToX(to);
            bars.append({QRectF(QPointF(std::min(x0, x1), top), QPointF(std::max(x0, x1), bottom)), from, to});
            from = to;
        }
    }
    return bars;
}

void drawWordBar(QPainter& painter, const QRectF& box, const QColor& colour)
{
    const qreal radius = box.height() * kCornerShareOfHeight;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(box, radius, radius);
    painter.restore();
}
