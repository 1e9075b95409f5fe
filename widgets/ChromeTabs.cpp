#include "ChromeTabs.h"

#include "widgets/BalTipLable.h"
#include "widgets/Sprite.h"

#include <QHoverEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
// Room after the last tab's picture, so that the strip reaches the bar's end
// without the last picture stretching there.
constexpr int kTrailingRoomPx = 200;
} // namespace

ChromeTabs::ChromeTabs(QWidget* parent)
    : QTabBar(parent)
{
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    // Pictures do not stretch: spare room stays after the tabs.
    setExpanding(false);
}

ChromeTabs::Rows ChromeTabs::cutRows(const QPixmap& sprite)
{
    Rows rows;
    for (int row = 0; row < RowCount; ++row)
        rows[size_t(row)] = spriteCell(sprite, 0, row, 1, RowCount);
    return rows;
}

void ChromeTabs::setDotSprite(const QPixmap& sprite)
{
    m_defaultRows = cutRows(sprite);
    const QSize size = layoutSize(sprite);
    m_dotWidth = size.width();
    m_dotHeight = size.height() / RowCount;
}

void ChromeTabs::setTabSprite(int index, const QPixmap& sprite)
{
    m_tabRows[index] = cutRows(sprite);
}

void ChromeTabs::setOuterMargins(int left, int top, int right, int bottom)
{
    m_outer = QMargins(left, top, right, bottom);
}

void ChromeTabs::setInnerMargins(int left, int top, int right, int bottom)
{
    m_inner = QMargins(left, top, right, bottom);
}

void ChromeTabs::setLead(int lead)
{
    m_lead = lead;
}

void ChromeTabs::setOffset(int x, int y)
{
    m_offset = QPoint(x, y);
}

QSize ChromeTabs::tabSizeHint(int index) const
{
    const QMargins room = m_outer + m_inner;
    int width = room.left() + qMax(m_dotWidth, 0) + room.right();
    if (index == 0)
        width += m_lead;
    if (index == count() - 1)
        width += kTrailingRoomPx;
    return QSize(width, room.top() + qMax(m_dotHeight, 0) + room.bottom());
}

// The pictures cannot shrink, so the bar never squeezes a tab.
QSize ChromeTabs::minimumTabSizeHint(int index) const
{
    return tabSizeHint(index);
}

QRect ChromeTabs::dotRect(int index) const
{
    QRect dot = tabRect(index).marginsRemoved(m_outer + m_inner).translated(m_offset);
    if (index == 0)
        dot.setLeft(dot.left() + m_lead);
    if (index == count() - 1)
        dot.setRight(dot.right() - kTrailingRoomPx);
    return dot;
}

int ChromeTabs::dotAt(const QPoint& point) const
{
    for (int i = 0; i < count(); ++i) {
        if (dotRect(i).contains(point))
            return i;
    }
    return -1;
}

const ChromeTabs::Rows& ChromeTabs::picturesOf(int index) const
{
    const auto own = m_tabRows.constFind(index);
    return own != m_tabRows.constEnd() ? *own : m_defaultRows;
}

// A tab's own sprite may be wider than the dot; it then reaches further right.
QRect ChromeTabs::pictureRect(int index) const
{
    QRect picture = dotRect(index);
    const auto own = m_tabRows.constFind(index);
    if (own != m_tabRows.constEnd())
        picture.setRight(picture.right() + layoutSize((*own)[NormalRow]).width() - m_dotWidth);
    return picture;
}

void ChromeTabs::paintPictures(QPainter& painter) const
{
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int i = 0; i < count(); ++i) {
        if (isTabEnabled(i))
            painter.drawPixmap(pictureRect(i), picturesOf(i)[i == m_hovered ? HoverRow : NormalRow]);
    }
    const int current = currentIndex();
    if (current >= 0 && isTabEnabled(current))
        painter.drawPixmap(pictureRect(current), picturesOf(current)[CurrentRow]);
}

void ChromeTabs::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintPictures(painter);
}

void ChromeTabs::setHovered(int index)
{
    if (index == m_hovered)
        return;
    m_hovered = index;
    update();
}

bool ChromeTabs::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ToolTip:
        return true; // the balloon stands in for it
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
        setHovered(dotAt(static_cast<QHoverEvent*>(event)->position().toPoint()));
        break;
    case QEvent::HoverLeave:
        setHovered(-1);
        break;
    default:
        break;
    }
    return QTabBar::event(event);
}

void ChromeTabs::mousePressEvent(QMouseEvent* event)
{
    const int tab = dotAt(event->position().toPoint());
    if (tab >= 0 && isTabEnabled(tab))
        setCurrentIndex(tab);
    event->accept();
}

void ChromeTabs::showBalloonOver(int index)
{
    const QRect dot = dotRect(index);
    const QPoint topCentre(dot.left() + dot.width() / 2, dot.top());
    QWidget* holder = parentWidget();
    if (holder)
        BalTipLable::showBalloon(mapToParent(topCentre), tabToolTip(index), holder);
    else
        BalTipLable::showBalloon(mapToGlobal(topCentre), tabToolTip(index), nullptr);
    m_balloonTab = index;
}

void ChromeTabs::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    const int tab = dotAt(event->position().toPoint());
    if (tab >= 0 && isTabEnabled(tab) && !tabToolTip(tab).isEmpty()) {
        const BalTipLable* shown = BalTipLable::currentBalloon();
        if (tab != m_balloonTab || !shown || !shown->isVisible())
            showBalloonOver(tab);
        setCursor(Qt::PointingHandCursor);
        return;
    }
    BalTipLable::hideBalloon();
    m_balloonTab = -1;
    setCursor(Qt::ArrowCursor);
}

void ChromeTabs::leaveEvent(QEvent* event)
{
    BalTipLable::hideBalloon();
    m_balloonTab = -1;
    if (cursor().shape() != Qt::ArrowCursor)
        setCursor(Qt::ArrowCursor);
    QTabBar::leaveEvent(event);
}
