// The loudness columns of a waveform picture: the lowest and highest sample
// value seen in each column's share of the interleaved samples, and how a
// column is drawn.
#pragma once

#include <QImage>

#include <array>
#include <cstdint>

namespace wave {

constexpr int kColumns = 561;      // picture width, pixels
constexpr int kPictureHeight = 40; // pixels

// A black picture: what a request without sound delivers.
QImage blankPicture();

} // namespace wave

class Columns {
public:
    // samplesPerColumn: interleaved sample values (all channels) per column.
    // The reducer fills columns [first, end); a request split between two
    // workers gives each its own share.
    explicit Columns(double samplesPerColumn, int first = 0, int end = wave::kColumns);

    // Index of the next sample fed, counted from the first sample of column 0.
    // Samples before the first column of the share are skipped.
    void setPosition(int64_t position) { m_position = position; }
    int64_t firstSample() const { return boundary(m_first); }

    void feed(const int16_t* samples, int count);
    // At the end of the sound the column in progress counts as complete, so
    // that rounding never leaves the last column of a loud file black.
    void finish();
    bool complete() const { return m_column >= m_end; }
    int completedColumns() const { return m_column - m_first; }

    // Draws the completed columns of the share as bars standing on the bottom
    // edge of a picture that is already black.
    void draw(QImage& picture) const;

private:
    // Index of the first sample of column c: column c takes the samples that
    // carry a running count past c × samplesPerColumn.
    int64_t boundary(int column) const;

    double m_samplesPerColumn;
    int m_first;
    int m_end;
    int m_column;
    int64_t m_position = 0;
    bool m_columnStarted = false;
    std::array<int16_t, wave::kColumns> m_minima{};
    std::array<int16_t, wave::kColumns> m_maxima{};
};
