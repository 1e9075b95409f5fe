#include "wikiSlider.h"

#include "resources/Artwork.h"
#include "widgets/Sprite.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

wikiSlider::wikiSlider(QWidget* parent)
    : QWidget(parent)
    , m_track(loadArtwork(tr(":/images/bg-wikislider-normal.png")))
    , m_light(loadArtwork(tr(":/images/bg-wikislider-light.png")))
    , m_seeker(loadArtwork(tr(":/images/bg-wikislider-seeker.png")))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize wikiSlider::sizeHint() const
{
    const QSize seeker = layoutSize(m_seeker);
    return QSize(layoutSize(m_track).width() + seeker.width(), seeker.height());
}

SliderGeometry wikiSlider::geometry() const
{
    return sliderGeometry(size(), layoutSize(m_seeker), layoutSize(m_track).height());
}

// A position outside 0..1 (or not a number) would put the seeker off the track.
void wikiSlider::setPosition(float fraction)
{
    const float onTrack = fraction > 0.0f ? std::min(fraction, 1.0f) : 0.0f;
    m_seekerX = int(onTrack * float(std::max(geometry().trackWidth, 0)));
    update();
}

void wikiSlider::setSeekHandler(SeekHandler handler)
{
    m_seek = handler;
}

void wikiSlider::setHandlerObject(Repeta* controller)
{
    m_controller = controller;
}

void wikiSlider::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->buttons() != Qt::LeftButton)
        return;
    const SliderGeometry g = geometry();
    const QPoint at = event->position().toPoint();
    if (g.trackWidth <= 0 || !g.onTrack(at.x()))
        return;
    if (at.y() < g.trackTop || at.y() > g.trackTop + layoutSize(m_track).height())
        return;
    callHandler(m_controller, m_seek, float(at.x() - g.half) / float(g.trackWidth));
}

void wikiSlider::paintEvent(QPaintEvent*)
{
    const SliderGeometry g = geometry();
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(g.half, g.trackTop, g.trackWidth, layoutSize(m_track).height()), m_track);
    painter.drawPixmap(QRect(g.half, g.trackTop, m_seekerX + 1, layoutSize(m_light).height()), m_light);
    painter.drawPixmap(QPoint(m_seekerX, g.seekerTop), m_seeker);
}
