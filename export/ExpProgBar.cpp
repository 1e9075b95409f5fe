#include "ExpProgBar.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor kGround(0xF7, 0xF7, 0xF7);
const QColor kOutline(0xB6, 0xCC, 0xDC);
const QColor kFillStart(0x6C, 0xB1, 0xCF);
const QColor kFillEnd(0x11, 0x71, 0xA3);
// How far the straight part of the capsule stays from either end, in pixels.
constexpr qreal kCapInsetPx = 5;

// The capsule inside a w x h box, `inset` pixels in from its edges (the
// ends bulge to the box's sides).
QPainterPath capsule(qreal w, qreal h, qreal inset)
{
    QPainterPath path(QPointF(kCapInsetPx, inset));
    path.lineTo(w - kCapInsetPx, inset);
    path.quadTo(QPointF(w - inset, h / 2), QPointF(w - kCapInsetPx, h - inset));
    path.lineTo(kCapInsetPx, h - inset);
    path.quadTo(QPointF(inset, h / 2), QPointF(kCapInsetPx, inset));
    return path;
}

} // namespace

ExpProgBar::ExpProgBar(QWidget* parent)
    : QProgressBar(parent)
{
}

double ExpProgBar::filledFraction() const
{
    const double range = double(maximum()) - double(minimum());
    if (range <= 0)
        return 0;
    return qBound(0.0, (double(value()) - double(minimum())) / range, 1.0);
}

void ExpProgBar::paintEvent(QPaintEvent*)
{
    const qreal w = width();
    const qreal h = height();
    const qreal ratio = devicePixelRatioF();
    QPixmap picture((QSizeF(w, h) * ratio).toSize());
    picture.setDevicePixelRatio(ratio);
    picture.fill(kGround);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.strokePath(capsule(w, h, 0), QPen(kOutline));

        const QPainterPath inner = capsule(w, h, 1);
        const QRectF bounds = inner.boundingRect();
        const qreal filledWidth = bounds.width() * filledFraction();
        if (filledWidth > 0) {
            QPainterPath filled;
            filled.addRect(QRectF(bounds.left(), bounds.top(), filledWidth, bounds.height()));
            QLinearGradient gradient(0, 0, filledWidth, 0);
            gradient.setColorAt(0, kFillStart);
            gradient.setColorAt(1, kFillEnd);
            painter.fillPath(inner.intersected(filled), gradient);
        }
        painter.setPen(Qt::black);
        painter.drawText(bounds, Qt::AlignCenter, text());
    }
    QPainter(this).drawPixmap(0, 0, picture);
}
