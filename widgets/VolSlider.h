// A horizontal volume slider drawn from three pictures (track, filled track,
// seeker) that reports its value as a fraction.
#pragma once

#include "widgets/SliderGeometry.h"

#include <QPixmap>
#include <QSlider>

class VolSlider : public QSlider {
    Q_OBJECT
public:
    explicit VolSlider(QWidget* parent = nullptr);

    // (value - minimum) / (maximum - minimum); 0 when the range is empty.
    float fractionOf(int value) const;

signals:
    void sigPercChanged(float fraction);

public slots:
    void doValChanged(int value);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    SliderGeometry geometry() const;
    void moveTo(const QPoint& pointer);

    QPixmap m_track;
    QPixmap m_light;
    QPixmap m_seeker;
};
