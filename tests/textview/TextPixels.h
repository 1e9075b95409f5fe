// Telling the karaoke colours apart in rendered pictures.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

enum class Ink { Ground, Spoken, Unspoken, Uncoloured, Other };

// Antialiased glyph edges are darker shades of the same colour, so the
// classes go by the ratio of the channels, not by exact values.
inline Ink inkOf(const QColor& c)
{
    const int r = c.red();
    const int g = c.green();
    const int b = c.blue();
    if (qMax(r, qMax(g, b)) < 24)
        return Ink::Ground;
    if (r <= g / 6 + 2 && b <= g / 6 + 2)
        return Ink::Spoken;
    if (g <= r / 6 + 2 && qAbs(r - b) <= r / 8 + 2)
        return Ink::Unspoken;
    if (qAbs(r - g) < 12 && qAbs(g - b) < 12)
        return Ink::Uncoloured;
    return Ink::Other;
}

inline bool karaokeInk(const QColor& c)
{
    return inkOf(c) != Ink::Ground;
}

// How many pixels of the area (in device pixels) have each kind of ink.
struct InkCount {
    int spoken = 0;
    int unspoken = 0;
    int uncoloured = 0;
    int other = 0;
    int inked() const { return spoken + unspoken + uncoloured + other; }
};

inline InkCount countInk(const QImage& image, const QRect& area)
{
    InkCount count;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            switch (inkOf(image.pixelColor(x, y))) {
            case Ink::Spoken: ++count.spoken; break;
            case Ink::Unspoken: ++count.unspoken; break;
            case Ink::Uncoloured: ++count.uncoloured; break;
            case Ink::Other: ++count.other; break;
            case Ink::Ground: break;
            }
        }
    }
    return count;
}

// Share of the inked pixels whose eight neighbours are inked too. Blind
// listening's solid bars are mostly inside; glyph strokes, one or two pixels
// wide, are mostly edge.
template <typename IsInk>
double coreShare(const QImage& image, const QRect& area, IsInk isInk)
{
    const auto inked = [&](int x, int y) { return isInk(image.pixelColor(x, y)); };
    const QRect inside = area & image.rect().adjusted(1, 1, -1, -1);
    int all = 0;
    int core = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (!inked(x, y))
                continue;
            ++all;
            bool surrounded = true;
            for (int dy = -1; dy <= 1 && surrounded; ++dy)
                for (int dx = -1; dx <= 1 && surrounded; ++dx)
                    surrounded = inked(x + dx, y + dy);
            core += surrounded ? 1 : 0;
        }
    }
    return all > 0 ? double(core) / double(all) : 0.0;
}
