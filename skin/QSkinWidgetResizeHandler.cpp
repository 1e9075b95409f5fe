#include "QSkinWidgetResizeHandler.h"

#include "QSkinObject.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

QSkinWidgetResizeHandler::QSkinWidgetResizeHandler(QSkinObject* skinObject, QWidget* skinned, int gripWidth)
    : QObject(skinned)
    , skin(skinObject)
    , window(skinned)
    , grip(gripWidth)
{
    window->installEventFilter(this);
}

QSkinWidgetResizeHandler::Zone QSkinWidgetResizeHandler::zoneAt(QPoint pos, QSize size, int g)
{
    const int x = pos.x();
    const int y = pos.y();
    const int w = size.width();
    const int h = size.height();
    if (y <= g && x <= g)
        return Zone::TopLeft;
    if (y >= h - g && x >= w - g)
        return Zone::BottomRight;
    if (y >= h - g && x <= g)
        return Zone::BottomLeft;
    if (y <= g && x >= w - g)
        return Zone::TopRight;
    if (y <= g)
        return Zone::Top;
    if (y >= h - g)
        return Zone::Bottom;
    if (x <= g)
        return Zone::Left;
    if (x >= w - g)
        return Zone::Right;
    return QRect(QPoint(0, 0), size).contains(pos) ? Zone::Body : Zone::None;
}

Qt::CursorShape QSkinWidgetResizeHandler::cursorFor(Zone zone)
{
    switch (zone) {
    case Zone::TopLeft:
    case Zone::BottomRight:
        return Qt::SizeFDiagCursor;
    case Zone::BottomLeft:
    case Zone::TopRight:
        return Qt::SizeBDiagCursor;
    case Zone::Top:
    case Zone::Bottom:
        return Qt::SizeVerCursor;
    case Zone::Left:
    case Zone::Right:
        return Qt::SizeHorCursor;
    case Zone::Body:
    case Zone::None:
        break;
    }
    return Qt::ArrowCursor;
}

bool QSkinWidgetResizeHandler::passesEventsThrough()
{
    return QApplication::activePopupWidget() != nullptr;
}

QSize QSkinWidgetResizeHandler::effectiveMinimumSize(const QWidget* w)
{
    // What a layout would enforce: the hint where the policy cannot shrink
    // below it, overridden by an explicit minimum.
    const QSizePolicy policy = w->sizePolicy();
    const QSize hint = w->sizeHint();
    const QSize minimumHint = w->minimumSizeHint();
    QSize size(0, 0);
    if (policy.horizontalPolicy() != QSizePolicy::Ignored)
        size.setWidth(policy.horizontalPolicy() & QSizePolicy::ShrinkFlag ? minimumHint.width()
                                                                           : qMax(hint.width(), minimumHint.width()));
    if (policy.verticalPolicy() != QSizePolicy::Ignored)
        size.setHeight(policy.verticalPolicy() & QSizePolicy::ShrinkFlag ? minimumHint.height()
                                                                         : qMax(hint.height(), minimumHint.height()));
    size = size.boundedTo(w->maximumSize());
    if (w->minimumWidth() > 0)
        size.setWidth(w->minimumWidth());
    if (w->minimumHeight() > 0)
        size.setHeight(w->minimumHeight());
    return size.expandedTo(QSize(0, 0));
}

bool QSkinWidgetResizeHandler::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != window)
        return false;
    if (passesEventsThrough()) {
        if (event->type() == QEvent::MouseButtonRelease)
            dragging = false;
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return mousePress(static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove:
        mouseMove(static_cast<QMouseEvent*>(event));
        return false;
    case QEvent::MouseButtonRelease:
        return mouseRelease(static_cast<QMouseEvent*>(event));
    case QEvent::ShortcutOverride:
        if (!dragging)
            return false;
        event->accept();
        return true;
    default:
        return false;
    }
}

bool QSkinWidgetResizeHandler::mousePress(const QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() != Qt::LeftButton || window->isMaximized() || !window->rect().contains(pos))
        return false;
    if (skin)
        skin->reportPress();
    emit activate();
    updateZone(pos);
    dragging = true;
    pressOffset = pos;
    pressOffsetFromBottomRight = window->rect().bottomRight() - pos;
    return true;
}

void QSkinWidgetResizeHandler::mouseMove(const QMouseEvent* event)
{
    if (window->isMaximized())
        return;
    if (!(event->buttons() & Qt::LeftButton))
        dragging = false;
    if (dragging)
        dragTo(event->globalPosition().toPoint());
    else
        updateZone(event->position().toPoint());
}

bool QSkinWidgetResizeHandler::mouseRelease(const QMouseEvent* event)
{
    if (skin) {
        const QPointer<QSkinWidgetResizeHandler> self(this);
        skin->reportRelease(event); // may close the window, and delete it with this handler
        if (!self)
            return true;
    }
    if (window->isMaximized() || event->button() != Qt::LeftButton)
        return false;
    dragging = false;
    window->releaseMouse();
    window->releaseKeyboard();
    return true;
}

void QSkinWidgetResizeHandler::updateZone(QPoint pos)
{
    currentZone = window->isMinimized() ? Zone::Body : zoneAt(pos, window->size(), grip);
    // Children inherit the window's cursor: keep a resize arrow off them.
    for (QWidget* child : window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!child->testAttribute(Qt::WA_SetCursor))
            child->setCursor(Qt::ArrowCursor);
    }
    window->setCursor(cursorFor(currentZone));
}

void QSkinWidgetResizeHandler::dragTo(QPoint globalPos)
{
    const QRect geometry = window->geometry();
    const QPoint newBottomRight = globalPos + pressOffsetFromBottomRight;
    const QPoint newTopLeft = globalPos - pressOffset;
    const QSize minimum = effectiveMinimumSize(window);
    const QSize maximum = window->maximumSize();

    // Edges dragged at the top or left keep the opposite edges in place.
    const QSize grown = QSize(geometry.right() - newTopLeft.x() + 1, geometry.bottom() - newTopLeft.y() + 1)
                            .expandedTo(minimum)
                            .boundedTo(maximum);
    const QPoint grownTopLeft(geometry.right() - grown.width() + 1, geometry.bottom() - grown.height() + 1);

    QRect target = geometry;
    switch (currentZone) {
    case Zone::TopLeft:
        target = QRect(grownTopLeft, geometry.bottomRight());
        break;
    case Zone::BottomRight:
        target = QRect(geometry.topLeft(), newBottomRight);
        break;
    case Zone::BottomLeft:
        target = QRect(QPoint(grownTopLeft.x(), geometry.top()), QPoint(geometry.right(), newBottomRight.y()));
        break;
    case Zone::TopRight:
        target = QRect(QPoint(geometry.left(), grownTopLeft.y()), QPoint(newBottomRight.x(), geometry.bottom()));
        break;
    case Zone::Top:
        target.setTop(grownTopLeft.y());
        break;
    case Zone::Bottom:
        target.setBottom(newBottomRight.y());
        break;
    case Zone::Left:
        target.setLeft(grownTopLeft.x());
        break;
    case Zone::Right:
        target.setRight(newBottomRight.x());
        break;
    case Zone::Body:
        target.moveTopLeft(newTopLeft);
        break;
    case Zone::None:
        return;
    }
    target.setSize(target.size().expandedTo(minimum).boundedTo(maximum));
    if (target == geometry)
        return;
    if (currentZone == Zone::Body)
        window->move(target.topLeft());
    else
        window->setGeometry(target);
}
