// Loudness pictures of whole media files and of time ranges, computed on
// worker threads and cached by request.
#pragma once

#include "controller/Contracts.h"

#include <QObject>
#include <QPixmap>

class Ploter : public QObject {
    Q_OBJECT
public:
    explicit Ploter(QObject* parent = nullptr);
    ~Ploter() override;

    const QPixmap* plotPixmap(const PlotIdentifier& id) const;
    float plotDuration(const PlotIdentifier& id) const;
    void removePlot(const PlotIdentifier& id);
    void clearPiecePlots();

signals:
    void sigPlotDone(PlotIdentifier id);

public slots:
    void doPlot(PlotIdentifier id);
};
