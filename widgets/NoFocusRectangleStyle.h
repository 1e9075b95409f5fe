// The application style without the focus frames of trees and push buttons,
// which the drawn look has no place for.
#pragma once

#include <QProxyStyle>

class NoFocusRectangleStyle : public QProxyStyle {
    Q_OBJECT
public:
    // Over the given style (taken over), or over the application's.
    explicit NoFocusRectangleStyle(QStyle* base = nullptr);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};
