#include "SkinGeometry.h"

#include <QRegularExpression>
#include <QSvgRenderer>

#include <algorithm>

namespace {

// Larger "WIDTHxHEIGHT" icon texts are taken for mistakes, not sizes.
constexpr int kLargestIconText = 4096;

int truncated(double value)
{
    return static_cast<int>(value);
}

int buttonTop(const SkinElements& skin)
{
    return truncated((skin.top.height() - skin.button.height()) * 0.5);
}

} // namespace

QRect elementBox(const QSvgRenderer& renderer, const QString& id)
{
    if (!renderer.isValid() || !renderer.elementExists(id))
        return QRect();
    const QRectF box = renderer.boundsOnElement(id);
    return QRect(truncated(box.x()), truncated(box.y()), truncated(box.width()), truncated(box.height()));
}

SkinElements SkinElements::fromRenderer(const QSvgRenderer& renderer)
{
    SkinElements skin;
    skin.topLeft = elementBox(renderer, QStringLiteral("border_topleft"));
    skin.top = elementBox(renderer, QStringLiteral("border_top"));
    skin.topRight = elementBox(renderer, QStringLiteral("border_topright"));
    skin.left = elementBox(renderer, QStringLiteral("border_left"));
    skin.right = elementBox(renderer, QStringLiteral("border_right"));
    skin.bottomLeft = elementBox(renderer, QStringLiteral("border_bottomleft"));
    skin.bottom = elementBox(renderer, QStringLiteral("border_bottom"));
    skin.bottomRight = elementBox(renderer, QStringLiteral("border_bottomright"));
    for (const char* id : {"minimize_button_normal", "maximize_button_normal", "close_button_normal"})
        skin.button = skin.button.expandedTo(elementBox(renderer, QLatin1String(id)).size());
    return skin;
}

QMargins frameMargins(const SkinElements& skin)
{
    return QMargins(skin.left.width(), skin.top.height(), skin.right.width(), skin.bottom.height());
}

QSize frameMinimumSize(const SkinElements& skin)
{
    return QSize(skin.right.width() + skin.left.width() + kMinimumTitleWidth,
                 skin.top.height() + skin.bottom.height());
}

QVector<FramePiece> framePieces(const SkinElements& s, QSize size)
{
    const int w = size.width();
    const int h = size.height();
    const int leftHeight = h - s.topLeft.height() - s.bottomLeft.height();
    const int rightHeight = h - s.topRight.height() - s.bottomRight.height();
    const int bottomWidth = w - s.bottomLeft.width() - s.bottomRight.width();
    return {
        {QStringLiteral("border_top"),
         QRect(s.topLeft.width(), 0, w - s.topLeft.width() - s.topRight.width(), s.top.height())},
        {QStringLiteral("border_topleft"),
         QRect(0, s.top.height() - s.topLeft.height(), s.topLeft.width(), s.topLeft.height())},
        {QStringLiteral("border_topright"),
         QRect(w - s.topRight.width(), s.top.height() - s.topRight.height(), s.topRight.width(),
               s.topRight.height())},
        {QStringLiteral("border_left"), QRect(0, s.topLeft.height(), s.left.width(), leftHeight)},
        {QStringLiteral("border_right"),
         QRect(w - s.right.width(), s.topRight.height(), s.right.width(), rightHeight)},
        {QStringLiteral("border_bottomleft"),
         QRect(0, leftHeight + s.topLeft.height(), s.bottomLeft.width(), s.bottomLeft.height())},
        {QStringLiteral("border_bottom"),
         QRect(s.bottomLeft.width(), h - s.bottom.height(), bottomWidth, s.bottom.height())},
        {QStringLiteral("border_bottomright"),
         QRect(s.bottomLeft.width() + bottomWidth, s.topRight.height() + rightHeight, s.bottomRight.width(),
               s.bottomRight.height())},
    };
}

QRect clientArea(const SkinElements& s, QSize size)
{
    return QRect(s.left.width(), s.top.height(), size.width() - s.right.width() - s.left.width(),
                 size.height() - s.top.height() - s.bottom.height());
}

QRect closeButtonArea(const SkinElements& s, int windowWidth)
{
    return QRect(QPoint(windowWidth - s.topRight.width() - s.button.width(), buttonTop(s)), s.button);
}

QRect minimizeButtonArea(const SkinElements& s, int windowWidth)
{
    return QRect(QPoint(windowWidth - s.topRight.width() - kMinimizeButtonSlots * s.button.width(), buttonTop(s)),
                 s.button);
}

QRect titleArea(const SkinElements& s, QSize size, int closeWidth)
{
    return QRect(2 * s.left.width() + kTitleTextOffset, 0,
                 size.width() - kMinimizeButtonSlots * closeWidth - s.left.width() - s.right.width(),
                 s.top.height());
}

QRect titleIconArea(const SkinElements& s)
{
    return QRect(2 * s.left.width() + kTitleIconOffset, truncated(s.top.height() * 0.5 - kTitleIconSize / 2),
                 kTitleIconSize, kTitleIconSize);
}

QRect sizedIconArea(const SkinElements& s, QSize iconSize)
{
    return QRect(QPoint(2 * s.left.width() + kSizedIconOffset,
                        truncated((s.top.height() - iconSize.height()) * 0.5)),
                 iconSize);
}

QSize iconSizeFromText(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,9})x(\\d{1,9})$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return QSize();
    const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
    if (size.width() > kLargestIconText || size.height() > kLargestIconText)
        return QSize();
    return size;
}

bool releaseMayAct(const SkinElements& s, QPoint pos, int windowWidth, int closeHeight)
{
    if (pos.x() >= windowWidth - kRightResizeStrip)
        return false;
    const int top = s.top.height();
    return pos.y() > kInactiveTopRows && pos.y() < top + (top - closeHeight + kInactiveTopRows);
}

int gripWidthFor(const SkinElements& s, int closeHeight)
{
    const double halfBeside = (s.top.height() - closeHeight) * 0.5;
    const int grip = std::max(0, truncated(std::min(halfBeside, double(s.left.width()))));
    return grip <= kWidestFullGrip ? grip : grip / 2;
}
