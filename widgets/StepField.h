// A value between a step-down and a step-up button: [-] value [+]. The field
// only asks: its owner decides the value and writes it back with setText.
// Clicking the value asks for the default; the wheel over any part steps.
#pragma once

#include <QWidget>

class OctImgBtn;

class StepField : public QWidget {
    Q_OBJECT
public:
    explicit StepField(QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const;

    OctImgBtn* downButton() const { return m_down; }
    OctImgBtn* valueButton() const { return m_value; }
    OctImgBtn* upButton() const { return m_up; }

signals:
    // steps > 0 asks for a larger value, steps < 0 for a smaller one.
    void stepRequested(int steps);
    void resetRequested();

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    OctImgBtn* m_down;
    OctImgBtn* m_value;
    OctImgBtn* m_up;
    QString m_text;
    int m_wheelRemainder = 0; // eighths of a degree not yet turned into a step
};
