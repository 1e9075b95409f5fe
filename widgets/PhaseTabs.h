// The phase tabs: picture tabs that also write each tab's two captions, an
// English one over a Chinese one, from a text "English@中文".
#pragma once

#include "widgets/ChromeTabs.h"

#include <QPair>

class PhaseTabs : public ChromeTabs {
    Q_OBJECT
public:
    explicit PhaseTabs(QWidget* parent = nullptr);

    // The parts before and after the "@"; without one, both are the whole text.
    static QPair<QString, QString> captions(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    static QRect upperHalf(const QRect& dot);
    static QRect lowerHalf(const QRect& dot);
};
