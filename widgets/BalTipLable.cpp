#include "BalTipLable.h"

#include "resources/Artwork.h"
#include "widgets/PanelColours.h"
#include "widgets/Sprite.h"

#include <QPainter>

namespace {
// The tail takes this fraction of the balloon's height; the text is centred above it.
constexpr int kTailShareOfHeight = 5;
} // namespace

QPointer<BalTipLable> BalTipLable::s_current;

BalTipLable::BalTipLable(const QString& text, QWidget* parent)
    : QLabel(text, parent, parent ? Qt::WindowFlags() : Qt::ToolTip)
    , m_picture(loadArtwork(tr(":/images/bg-balloon-tip.png")))
{
    setFixedSize(layoutSize(m_picture));
    // The balloon floats over other widgets and must not take their mouse.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground, !parent);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, kPanelText);
    setPalette(colours);
}

void BalTipLable::showBalloon(const QPoint& point, const QString& text, QWidget* parent)
{
    auto* balloon = new BalTipLable(text, parent);
    balloon->move(point.x() - balloon->width() / 2, point.y() - balloon->height());
    delete s_current.data();
    s_current = balloon;
    balloon->show();
    balloon->raise();
}

void BalTipLable::hideBalloon()
{
    if (s_current)
        s_current->hide();
}

BalTipLable* BalTipLable::currentBalloon()
{
    return s_current.data();
}

void BalTipLable::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), m_picture);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect().adjusted(0, 0, 0, -height() / kTailShareOfHeight), Qt::AlignCenter, text());
}
