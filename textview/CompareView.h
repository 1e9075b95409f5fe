// The comparison page: the model's and the take's pitch curves over each
// other on the model's timeline, the places where they differ most as tinted
// bands, and the figures in a line above. The tempo shows as "用时 1.25×":
// the take took 1.25 times as long as the model, the number the learner can
// check against their own sense of having rushed or dragged.
#pragma once

#include "controller/Contracts.h"

#include <QWidget>

class CompareView : public QWidget {
    Q_OBJECT
public:
    explicit CompareView(QWidget* parent = nullptr);

    void setComparison(const Comparison& result, const Sentence& sentence);

    // What the page shows, for the tooltip and for tests.
    QString figuresText() const;
    QString message() const; // centred instead of the curves when there is no result; empty otherwise
    QRectF plotArea() const; // where the curves go, in logical pixels
    QString wordAt(const QPoint& position) const; // the word spoken at that x, or empty

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPointF toPlot(const CurvePoint& point) const;
    void drawGrid(QPainter& painter) const;
    void drawBands(QPainter& painter) const;
    void drawCurve(QPainter& painter, const QVector<CurvePoint>& curve, const QColor& colour, qreal width) const;
    void drawFigures(QPainter& painter) const;
    void drawLegend(QPainter& painter) const;

    Comparison m_result;
    Sentence m_sentence;
    // The model seconds that span the plot's width: the first and last curve points.
    double m_from = 0;
    double m_to = 1;
};
