// No extraction yet: no request is ever cached or answered.
#include "Ploter.h"

Ploter::Ploter(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<PlotIdentifier>();
}

Ploter::~Ploter() = default;

const QPixmap* Ploter::plotPixmap(const PlotIdentifier&) const { return nullptr; }
float Ploter::plotDuration(const PlotIdentifier&) const { return -1.0f; }
void Ploter::removePlot(const PlotIdentifier&) {}
void Ploter::clearPiecePlots() {}
void Ploter::doPlot(PlotIdentifier) {}
