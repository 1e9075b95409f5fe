#include "SpeedControl.h"

#include "controller/PracticeSpeed.h"

SpeedControl::SpeedControl(QWidget* parent)
    : StepField(parent)
    , m_speed(speed::kNormal)
{
    setToolTip(tr("播放速度"));
    setSpeed(speed::kNormal);
    connect(this, &StepField::stepRequested, this,
            [this](int steps) { emit speedRequested(speed::snapped(m_speed + steps * speed::kStep)); });
    connect(this, &StepField::resetRequested, this, [this] { emit speedRequested(speed::kNormal); });
}

void SpeedControl::setSpeed(double value)
{
    m_speed = speed::snapped(value);
    setText(tr("%1×").arg(m_speed, 0, 'f', 2));
}
