// Where the pieces of a skinned frame go, computed from the bounding boxes of
// the skin picture's elements. Real values become pixels by truncation.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

class QSvgRenderer;

// Width left between the borders for the title, in pixels.
constexpr int kMinimumTitleWidth = 128;
// The window icon beside the title and its offset from twice the left border.
constexpr int kTitleIconSize = 16;
constexpr int kTitleIconOffset = 16;
constexpr int kTitleTextOffset = 36;
// Offset of an icon drawn at the size that the icon text names ("146x32").
constexpr int kSizedIconOffset = 10;
// The minimize button sits this many button widths left of the right border.
constexpr int kMinimizeButtonSlots = 5;
// A grip wider than this many pixels is halved.
constexpr int kWidestFullGrip = 9;
// Releases here never act on a button: the right resize strip (pixels from
// the right edge) and the top rows (pixels from the top).
constexpr int kRightResizeStrip = 5;
constexpr int kInactiveTopRows = 6;

struct SkinElements {
    QRect topLeft, top, topRight, left, right, bottomLeft, bottom, bottomRight;
    QSize button; // the largest of the minimize, maximize and close images

    // Boxes of an unusable renderer, or of missing elements, are empty.
    static SkinElements fromRenderer(const QSvgRenderer& renderer);
};

// An element's bounding box in whole pixels; empty when it is missing.
QRect elementBox(const QSvgRenderer& renderer, const QString& id);

struct FramePiece {
    QString element;
    QRect target;
};

QMargins frameMargins(const SkinElements& skin);
QSize frameMinimumSize(const SkinElements& skin);
// The eight border elements and where each is drawn in a window of `size`.
QVector<FramePiece> framePieces(const SkinElements& skin, QSize size);
QRect clientArea(const SkinElements& skin, QSize size);

QRect closeButtonArea(const SkinElements& skin, int windowWidth);
QRect minimizeButtonArea(const SkinElements& skin, int windowWidth);

// The title text's rectangle, given the width of the close button.
QRect titleArea(const SkinElements& skin, QSize size, int closeWidth);
QRect titleIconArea(const SkinElements& skin);
// An icon of `iconSize` beside the left border, centred in the title band.
QRect sizedIconArea(const SkinElements& skin, QSize iconSize);
// "146x32" gives 146 by 32; anything else an invalid size.
QSize iconSizeFromText(const QString& text);

// Whether a left release at `pos` may act on the button found there.
bool releaseMayAct(const SkinElements& skin, QPoint pos, int windowWidth, int closeHeight);

// Width of the resize zones: the smaller of half the title band left beside
// the close button and the left border, halved when it is wide.
int gripWidthFor(const SkinElements& skin, int closeHeight);
