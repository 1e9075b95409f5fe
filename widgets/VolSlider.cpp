#include "VolSlider.h"

#include "resources/Artwork.h"
#include "widgets/Sprite.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

VolSlider::VolSlider(QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
    , m_track(loadArtwork(tr(":/images/bg-volslider-normal.png")))
    , m_light(loadArtwork(tr(":/images/bg-volslider-light.png")))
    , m_seeker(loadArtwork(tr(":/images/bg-volslider-seeker.png")))
{
    connect(this, &QSlider::valueChanged, this, &VolSlider::doValChanged);
}

float VolSlider::fractionOf(int value) const
{
    const int span = maximum() - minimum();
    if (span == 0)
        return 0.0f;
    return float(value - minimum()) / float(span);
}

void VolSlider::doValChanged(int value)
{
    emit sigPercChanged(fractionOf(value));
}

SliderGeometry VolSlider::geometry() const
{
    return sliderGeometry(size(), layoutSize(m_seeker), layoutSize(m_track).height());
}

// The pointer is taken one pixel to the right, so that the seeker's centre
// pixel, not its left half, lands on the pointer.
void VolSlider::moveTo(const QPoint& pointer)
{
    const SliderGeometry g = geometry();
    const int x = pointer.x() + 1;
    const int y = pointer.y();
    if (g.trackWidth <= 0 || !g.onTrack(x))
        return;
    if (y < g.seekerTop || y > g.seekerTop + layoutSize(m_seeker).height())
        return;
    const double span = double(maximum()) - double(minimum());
    setValue(int(double(x - g.half) / g.trackWidth * span + minimum()));
}

void VolSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::LeftButton)
        moveTo(event->position().toPoint());
    event->accept();
}

void VolSlider::mouseMoveEvent(QMouseEvent* event)
{
    moveTo(event->position().toPoint());
    event->accept();
}

void VolSlider::paintEvent(QPaintEvent*)
{
    const SliderGeometry g = geometry();
    const float fraction = std::clamp(fractionOf(value()), 0.0f, 1.0f);
    const int filled = int(fraction * float(std::max(g.trackWidth, 0)));
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(g.half, g.trackTop, g.trackWidth, layoutSize(m_track).height()), m_track);
    painter.drawPixmap(QRect(g.half, g.trackTop, filled, layoutSize(m_light).height()), m_light);
    painter.drawPixmap(QPoint(filled, g.seekerTop), m_seeker);
}
