// Rendering widgets into images and classifying the pixels of the artwork.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

// The widget painted over a uniform ground, without its own background.
inline QImage renderOver(QWidget& widget, const QColor& ground = Qt::black)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(ground);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// The saturated blue of filled tracks and current tabs.
inline bool isStrongBlue(const QColor& c)
{
    return c.blue() > 150 && c.blue() - c.red() > 90 && c.alpha() == 255;
}

// The pale blue-grey of empty tracks.
inline bool isPaleTrack(const QColor& c)
{
    return c.red() > 180 && c.green() > 200 && c.blue() > 210 && c.blue() - c.red() < 40;
}

inline bool isNear(const QColor& c, const QColor& expected, int tolerance = 40)
{
    return qAbs(c.red() - expected.red()) <= tolerance && qAbs(c.green() - expected.green()) <= tolerance
        && qAbs(c.blue() - expected.blue()) <= tolerance;
}

// Whether any pixel of the rectangle is near the colour.
inline bool anyNear(const QImage& image, const QRect& area, const QColor& colour, int tolerance = 40)
{
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (isNear(image.pixelColor(x, y), colour, tolerance))
                return true;
        }
    }
    return false;
}

// Whether every pixel of the rectangle is exactly the colour.
inline bool allExactly(const QImage& image, const QRect& area, const QColor& colour)
{
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (image.pixelColor(x, y) != colour)
                return false;
        }
    }
    return true;
}
