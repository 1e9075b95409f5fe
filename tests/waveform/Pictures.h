// Reading waveform pictures back: which columns carry a bar and how high, and
// getting a picture from the ploter or from one worker.
#pragma once

#include "TestEnvironment.h"
#include "waveform/Ploter.h"
#include "waveform/plotThread.h"

#include <QSignalSpy>

namespace pictures {

constexpr int kWaitMs = 20000;

inline bool isBlack(QRgb pixel) { return (pixel & 0xffffff) == 0; }

// Lit pixels of column c, counted from the bottom edge up to the first black one.
inline int barHeight(const QImage& picture, int column)
{
    int height = 0;
    while (height < picture.height() && !isBlack(picture.pixel(column, picture.height() - 1 - height)))
        ++height;
    return height;
}

inline QVector<int> barHeights(const QImage& picture)
{
    QVector<int> heights;
    for (int c = 0; c < picture.width(); ++c)
        heights.append(barHeight(picture, c));
    return heights;
}

// Columns [from, to) whose bar height lies outside [low, high], as a text for
// failure messages; empty when all fit.
inline QString columnsOutside(const QVector<int>& heights, int from, int to, int low, int high)
{
    QStringList wrong;
    for (int c = from; c < to; ++c) {
        if (heights[c] < low || heights[c] > high)
            wrong.append(QStringLiteral("%1:%2").arg(c).arg(heights[c]));
    }
    return wrong.join(QLatin1Char(' '));
}

inline PlotIdentifier request(const QString& mediaName, float start = -1, float end = -1)
{
    return PlotIdentifier{testenv::media(mediaName), start, end};
}

// Requests a picture and waits for it; a null image when none arrived.
inline QImage plotted(Ploter& ploter, const PlotIdentifier& id)
{
    QSignalSpy done(&ploter, &Ploter::sigPlotDone);
    ploter.doPlot(id);
    while (done.isEmpty() || done.constLast().at(0).value<PlotIdentifier>() != id) {
        if (!done.wait(kWaitMs))
            return {};
    }
    const QPixmap* pixmap = ploter.plotPixmap(id);
    return pixmap ? pixmap->toImage() : QImage();
}

// One worker run to its end, with the given number of parts.
inline QImage drawnBy(const PlotIdentifier& id, int parts)
{
    plotThread worker;
    worker.openSource(id.path.toUtf8());
    worker.setRange(id.start, id.end);
    worker.setParts(parts);
    worker.start();
    worker.wait();
    return worker.isDelivered() ? worker.picture() : QImage();
}

} // namespace pictures
