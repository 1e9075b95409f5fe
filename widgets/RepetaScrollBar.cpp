#include "RepetaScrollBar.h"

#include "resources/Artwork.h"
#include "widgets/Sprite.h"

#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionSlider>

#include <algorithm>

ScrollHandle scrollHandle(int height, int minimum, int maximum, int pageStep, int value, int minLength)
{
    const double range = double(maximum) - double(minimum) + double(pageStep);
    if (range <= 0.0 || maximum <= minimum)
        return {0, height};
    ScrollHandle handle;
    handle.length = int(height * double(pageStep) / range);
    handle.top = int(height * (double(value) - double(minimum)) / range);
    if (handle.length < minLength) {
        handle.length = std::min(minLength, height);
        const double travel = height - handle.length;
        handle.top = int(travel * (double(value) - double(minimum)) / (double(maximum) - double(minimum)));
    }
    return handle;
}

namespace {

// Tells the standard scroll-bar behaviour where the drawn parts are: no
// arrow buttons, the groove over the whole bar, the slider where it is drawn.
class DrawnScrollBarStyle : public QProxyStyle {
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override
    {
        const auto* bar = qobject_cast<const RepetaScrollBar*>(widget);
        if (control != CC_ScrollBar || !bar)
            return QProxyStyle::subControlRect(control, option, part, widget);
        const QRect whole = option->rect;
        const ScrollHandle handle = bar->handle();
        switch (part) {
        case SC_ScrollBarGroove:
            return whole;
        case SC_ScrollBarSlider:
            return QRect(0, handle.top, whole.width(), handle.length);
        case SC_ScrollBarSubPage:
            return QRect(0, 0, whole.width(), handle.top);
        case SC_ScrollBarAddPage:
            return QRect(0, handle.top + handle.length, whole.width(),
                         whole.height() - handle.top - handle.length);
        default:
            return QRect();
        }
    }
};

} // namespace

RepetaScrollBar::RepetaScrollBar(QWidget* parent)
    : QScrollBar(Qt::Vertical, parent)
    , m_trackBegin(loadArtwork(tr(":/images/bg-repetascrollbar-begin.png")))
    , m_trackMid(loadArtwork(tr(":/images/bg-repetascrollbar-mid.png")))
    , m_trackEnd(loadArtwork(tr(":/images/bg-repetascrollbar-end.png")))
    , m_handleBegin(loadArtwork(tr(":/images/bg-repetascrollbar-btnbegin.png")))
    , m_handleMid(loadArtwork(tr(":/images/bg-repetascrollbar-btnmid.png")))
    , m_handleEnd(loadArtwork(tr(":/images/bg-repetascrollbar-btnend.png")))
    , m_sizeHint(layoutSize(m_trackBegin).width(), height())
{
    auto* style = new DrawnScrollBarStyle;
    style->setParent(this);
    setStyle(style);
}

QSize RepetaScrollBar::sizeHint() const
{
    return m_sizeHint;
}

ScrollHandle RepetaScrollBar::handle() const
{
    const int caps = layoutSize(m_handleBegin).height() + layoutSize(m_handleEnd).height();
    return scrollHandle(height(), minimum(), maximum(), pageStep(), sliderPosition(), caps);
}

void RepetaScrollBar::drawColumn(QPainter& painter, int top, int length, const QPixmap& begin,
                                 const QPixmap& mid, const QPixmap& end) const
{
    const int beginHeight = layoutSize(begin).height();
    const int endHeight = layoutSize(end).height();
    const int midHeight = length - beginHeight - endHeight;
    painter.drawPixmap(QPoint(0, top), begin);
    if (midHeight > 0)
        painter.drawPixmap(QRect(0, top + beginHeight, width(), midHeight), mid);
    painter.drawPixmap(QPoint(0, top + length - endHeight), end);
}

void RepetaScrollBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    drawColumn(painter, 0, height(), m_trackBegin, m_trackMid, m_trackEnd);
    const ScrollHandle knob = handle();
    drawColumn(painter, knob.top, knob.length, m_handleBegin, m_handleMid, m_handleEnd);
}
