#include "Ploter.h"

#include "plotThread.h"

#include <algorithm>

namespace {

// Whole files at least this long are decoded in two halves at once.
constexpr double kSplitMinimumSeconds = 30.0;

int partsFor(const PlotIdentifier& id, double duration)
{
    const bool worthSplitting = id.isWholeFile() && duration >= kSplitMinimumSeconds;
    return worthSplitting && QThread::idealThreadCount() >= 2 ? 2 : 1;
}

} // namespace

Ploter::Ploter(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<PlotIdentifier>();
}

Ploter::~Ploter()
{
    for (auto& entry : workers)
        cancel(entry.second);
}

const QPixmap* Ploter::plotPixmap(const PlotIdentifier& id) const
{
    const auto found = pixmaps.find(id);
    return found == pixmaps.end() ? nullptr : &found->second;
}

float Ploter::plotDuration(const PlotIdentifier& id) const
{
    const auto found = durations.find(id);
    return found == durations.end() ? -1.0f : found->second;
}

void Ploter::doPlot(PlotIdentifier id)
{
    if (workers.count(id))
        return;
    if (pixmaps.count(id)) {
        emit sigPlotDone(id);
        return;
    }
    auto worker = std::make_unique<plotThread>();
    worker->openSource(id.path.toUtf8());
    connect(worker.get(), &plotThread::sigThreadDone, this, &Ploter::threadFinished);
    worker->setRange(id.start, id.end);
    const double duration = worker->fileDuration();
    worker->setParts(partsFor(id, duration));
    durations[id] = float(duration);
    worker->start();
    workers[id] = std::move(worker);
}

void Ploter::threadFinished()
{
    // A notice from a worker cancelled meanwhile, or a stale one whose address
    // a newer worker reuses, finds nothing delivered and is ignored.
    const auto found = std::find_if(workers.begin(), workers.end(), [this](const Workers::value_type& entry) {
        return entry.second.get() == sender() && entry.second->isDelivered();
    });
    if (found == workers.end())
        return;
    const PlotIdentifier id = found->first;
    plotThread& worker = *found->second;
    worker.wait();
    pixmaps[id] = QPixmap::fromImage(worker.picture());
    worker.closeSource();
    workers.erase(found);
    // Last, so that a receiver may request, remove or clear plots at once.
    emit sigPlotDone(id);
}

void Ploter::cancel(std::unique_ptr<plotThread>& worker)
{
    worker->requestStop();
    worker->wait();
    worker->closeSource();
    worker.reset();
}

void Ploter::removePlot(const PlotIdentifier& id)
{
    const auto found = workers.find(id);
    if (found != workers.end()) {
        cancel(found->second);
        workers.erase(found);
    }
    pixmaps.erase(id);
    durations.erase(id);
}

void Ploter::clearPiecePlots()
{
    for (auto it = workers.begin(); it != workers.end();) {
        if (it->first.isWholeFile()) {
            ++it;
            continue;
        }
        cancel(it->second);
        durations.erase(it->first);
        pixmaps.erase(it->first);
        it = workers.erase(it);
    }
    for (auto it = pixmaps.begin(); it != pixmaps.end();) {
        if (it->first.isWholeFile()) {
            ++it;
            continue;
        }
        durations.erase(it->first);
        it = pixmaps.erase(it);
    }
}
