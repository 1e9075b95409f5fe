#include "Columns.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kBaselinePixels = 20.0;   // where a zero sample sits before the bar is stood up
constexpr double kSampleUnitsPerPixel = 1350.0; // full scale is about 48 pixels: loud bars clip
const QColor kBarTop(24, 120, 164);
const QColor kBarBottom(157, 214, 240);

} // namespace

QImage wave::blankPicture()
{
    QImage picture(kColumns, kPictureHeight, QImage::Format_RGB32);
    picture.fill(Qt::black);
    return picture;
}

Columns::Columns(double samplesPerColumn, int first, int end)
    : m_samplesPerColumn(samplesPerColumn)
    , m_first(first)
    , m_end(end)
    , m_column(first)
{
}

int64_t Columns::boundary(int column) const
{
    return int64_t(std::ceil(column * m_samplesPerColumn));
}

void Columns::feed(const int16_t* samples, int count)
{
    while (count > 0 && m_column < m_end) {
        const int64_t start = boundary(m_column);
        if (m_position < start) {
            const int skip = int(std::min<int64_t>(count, start - m_position));
            samples += skip;
            count -= skip;
            m_position += skip;
            continue;
        }
        const int64_t end = boundary(m_column + 1);
        const int take = int(std::clamp<int64_t>(end - m_position, 0, count));
        int16_t lowest = m_minima[m_column];
        int16_t highest = m_maxima[m_column];
        for (int i = 0; i < take; ++i) {
            lowest = std::min(lowest, samples[i]);
            highest = std::max(highest, samples[i]);
        }
        m_minima[m_column] = lowest;
        m_maxima[m_column] = highest;
        m_columnStarted = m_columnStarted || take > 0;
        samples += take;
        count -= take;
        m_position += take;
        if (m_position >= end) {
            ++m_column;
            m_columnStarted = false;
        }
    }
}

void Columns::finish()
{
    if (m_columnStarted && m_column < m_end) {
        ++m_column;
        m_columnStarted = false;
    }
}

void Columns::draw(QImage& picture) const
{
    QPainter painter(&picture);
    for (int c = m_first; c < m_column; ++c) {
        const int bottom = int(kBaselinePixels - m_minima[c] / kSampleUnitsPerPixel);
        const int top = int(kBaselinePixels - m_maxima[c] / kSampleUnitsPerPixel);
        const int height = bottom - top;
        if (height < 1)
            continue;
        // Each bar carries the whole gradient from its own top to the bottom
        // edge; bars higher than the picture are clipped at the top.
        const int y = wave::kPictureHeight - height;
        QLinearGradient gradient(0, y, 0, wave::kPictureHeight);
        gradient.setColorAt(0, kBarTop);
        gradient.setColorAt(1, kBarBottom);
        painter.fillRect(QRect(c, y, 1, height), gradient);
    }
}
