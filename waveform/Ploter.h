// Loudness pictures of whole media files and of time ranges, computed on
// worker threads and cached by request. Lives in the GUI thread.
#pragma once

#include "controller/Contracts.h"

#include <QObject>
#include <QPixmap>

#include <map>
#include <memory>

class plotThread;

class Ploter : public QObject {
    Q_OBJECT
public:
    explicit Ploter(QObject* parent = nullptr);
    ~Ploter() override;

    // The cached picture, or null; valid until the entry is removed.
    const QPixmap* plotPixmap(const PlotIdentifier& id) const;
    // The file's duration in seconds recorded for the request, -1 if none.
    float plotDuration(const PlotIdentifier& id) const;
    // Cancels a request in progress and forgets its picture and duration.
    void removePlot(const PlotIdentifier& id);
    // The same for every request that is not a whole file.
    void clearPiecePlots();

signals:
    void sigPlotDone(PlotIdentifier id);

public slots:
    void doPlot(PlotIdentifier id);

private slots:
    void threadFinished();

private:
    using Workers = std::map<PlotIdentifier, std::unique_ptr<plotThread>>;
    // Stops the worker, waits for it and frees it.
    static void cancel(std::unique_ptr<plotThread>& worker);

    std::map<PlotIdentifier, float> durations;
    std::map<PlotIdentifier, QPixmap> pixmaps; // nodes stay put: views hold pointers into them
    Workers workers;
};
