#include "PanelView.h"

#include "resources/Artwork.h"
#include "widgets/Sprite.h"

#include <QPainter>

namespace {
constexpr int kCapWidthPx = 17;
// Rows of the right cap kept while open: the seam to the library starts below.
constexpr int kOpenSeamTopPx = 20;
} // namespace

PanelView::PanelView(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
    , m_left(loadArtwork(tr(":/images/bg-float-control-left.png")))
    , m_middle(loadArtwork(tr(":/images/bg-float-control.png")))
    , m_right(loadArtwork(tr(":/images/bg-float-control-right.png")))
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void PanelView::setOpen(bool open)
{
    m_open = open;
    update();
}

void PanelView::paintEvent(QPaintEvent*)
{
    const int w = width();
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QPoint(0, 0), m_left);
    painter.drawTiledPixmap(QRect(QPoint(kCapWidthPx, 0), QPoint(w - kCapWidthPx - 1, height() - 1)), m_middle);
    painter.drawPixmap(QPoint(w - kCapWidthPx, 0), m_right);
    if (m_open && !m_middle.isNull()) {
        const QSize middle = layoutSize(m_middle);
        const qreal ratio = m_middle.devicePixelRatio();
        const QRectF below(0, kOpenSeamTopPx * ratio, middle.width() * ratio,
                           (middle.height() - kOpenSeamTopPx) * ratio);
        const QRectF target(w - kCapWidthPx, kOpenSeamTopPx, layoutSize(m_right).width(),
                            middle.height() - kOpenSeamTopPx);
        painter.drawPixmap(target, m_middle, below);
    }
}
