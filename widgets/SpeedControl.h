// The playback speed in the control panel: "1.00×" between a slower and a
// faster button. It only asks for a speed on the grid (speedRequested); the
// controller answers with setSpeed, which is what it shows.
#pragma once

#include "widgets/StepField.h"

class SpeedControl : public StepField {
    Q_OBJECT
public:
    explicit SpeedControl(QWidget* parent = nullptr);

    double speed() const { return m_speed; }

signals:
    void speedRequested(double speed);

public slots:
    void setSpeed(double speed);

private:
    double m_speed;
};
