// A progress bar drawn as a capsule: a grey-blue outline on a light ground,
// filled from the left with a blue gradient, the bar's text centred in black.
#pragma once

#include <QProgressBar>

class ExpProgBar : public QProgressBar {
    Q_OBJECT

public:
    explicit ExpProgBar(QWidget* parent = nullptr);

    // The filled part of the bar's range, 0 to 1 (0 for an empty range).
    double filledFraction() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
