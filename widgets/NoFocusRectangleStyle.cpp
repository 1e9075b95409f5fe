#include "NoFocusRectangleStyle.h"

#include <QWidget>

NoFocusRectangleStyle::NoFocusRectangleStyle(QStyle* base)
    : QProxyStyle(base)
{
}

void NoFocusRectangleStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                          QPainter* painter, const QWidget* widget) const
{
    if (element == PE_FrameFocusRect && widget
        && (widget->inherits("QTreeWidget") || widget->inherits("QPushButton")))
        return;
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}
