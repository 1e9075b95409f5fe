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
