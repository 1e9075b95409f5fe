#include "KaraokeText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextOption>

#include <algorithm>
#include <cmath>

KaraokeText::KaraokeText(const QString& text, const QFont& font, const QSize& area)
    : m_font(font)
{
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_layout.setTextOption(option);
    // A font sized in pixels reports -1 points and is never shrunk.
    for (;;) {
        layOut(text, area);
        const int size = m_font.pointSize();
        if (m_lines.size() * m_lineHeight <= area.height() || size <= kSmallestPointSize)
            break;
        m_font.setPointSize(size - 1);
    }
}

void KaraokeText::layOut(const QString& text, const QSize& area)
{
    m_layout.setFont(m_font);
    m_layout.setText(text);
    m_layout.beginLayout();
    QVector<QTextLine> made;
    qreal tallest = 0;
    for (QTextLine line = m_layout.createLine(); line.isValid(); line = m_layout.createLine()) {
        line.setLineWidth(area.width());
        tallest = std::max(tallest, line.height());
        made.append(line);
    }
    m_layout.endLayout();
    // A line with fallback glyphs (Chinese in a Latin font) is taller than the
    // font; every line gets the tallest one's height so the bands cover them.
    m_lineHeight = std::max(QFontMetrics(m_font).height(), int(std::ceil(tallest)));
    m_lines.clear();
    m_total = 0;
    for (int k = 0; k < made.size(); ++k) {
        made[k].setPosition(QPointF(0, k * m_lineHeight));
        const QRectF natural = made[k].naturalTextRect();
        const int left = int(std::floor(natural.left()));
        const int right = int(std::ceil(natural.right())) - 1;
        m_lines.append(QRect(QPoint(left, k * m_lineHeight), QPoint(right, (k + 1) * m_lineHeight - 1)));
        m_total += right - left + 1;
    }
}

QStringList KaraokeText::lineTexts() const
{
    QStringList texts;
    for (int k = 0; k < m_layout.lineCount(); ++k) {
        const QTextLine line = m_layout.lineAt(k);
        texts.append(m_layout.text().mid(line.textStart(), line.textLength()));
    }
    return texts;
}

int KaraokeText::widthBefore(int index) const
{
    int before = 0;
    for (int k = 0; k < m_layout.lineCount() && k < m_lines.size(); ++k) {
        const QTextLine line = m_layout.lineAt(k);
        if (index < line.textStart() + line.textLength() || k + 1 == m_layout.lineCount()) {
            const int x = int(line.cursorToX(std::max(index, line.textStart())));
            return before + std::clamp(x - m_lines[k].left(), 0, m_lines[k].width());
        }
        before += m_lines[k].width();
    }
    return before;
}

void KaraokeText::draw(QPainter& painter, const QColor& colour) const
{
    painter.save();
    painter.setPen(colour);
    m_layout.draw(&painter, QPointF(0, 0));
    painter.restore();
}

void KaraokeText::drawBars(QPainter& painter, const QColor& colour) const
{
    for (const WordBar& bar : wordBars())
        drawWordBar(painter, bar.box, colour);
}

int wordTimedWidth(const QVector<KaraokeWord>& words, int total, float fraction)
{
    if (words.isEmpty() || !(fraction >= words.first().at))
        return 0;
    int k = 0;
    while (k + 1 < words.size() && fraction >= words[k + 1].at)
        ++k;
    const float nextAt = k + 1 < words.size() ? words[k + 1].at : 1.0f;
    const int from = words[k].widthBefore;
    const int to = k + 1 < words.size() ? words[k + 1].widthBefore : total;
    if (!(nextAt > words[k].at))
        return to;
    const float share = std::min((fraction - words[k].at) / (nextAt - words[k].at), 1.0f);
    return from + int(float(to - from) * share);
}

QVector<KaraokeFill> karaokeFills(const QVector<QRect>& lines, int lineHeight, int total, float fraction)
{
    const float share = fraction > 0.0f ? std::min(fraction, 1.0f) : 0.0f;
    int spoken = int(float(total) * share);
    QVector<KaraokeFill> fills;
    for (int k = 0; k < lines.size(); ++k) {
        const int left = lines[k].left();
        const int right = lines[k].right();
        const int width = right - left + 1;
        const int top = k * lineHeight;
        const auto band = [&](int from, int to) { return QRect(QPoint(from, top), QPoint(to, top + lineHeight - 1)); };
        if (width < spoken) {
            fills.append({band(left, right), true});
            spoken -= width;
        } else if (spoken > 0) {
            fills.append({band(left, left + spoken - 1), true});
            if (left + spoken <= right)
                fills.append({band(left + spoken, right), false});
            spoken = 0;
        } else {
            fills.append({band(left, right), false});
        }
    }
    return fills;
}
