#include "OctImgBtn.h"

#include "resources/Artwork.h"
#include "widgets/Sprite.h"

#include <QPainter>

#include <algorithm>

OctImgBtn::OctImgBtn(QWidget* parent)
    : QCheckBox(parent)
{
    // A picture button only checks when asked to; QCheckBox would by default.
    setCheckable(false);
}

void OctImgBtn::setSprite(const QPixmap& sprite, int rows)
{
    m_pictures.fill(QPixmap());
    if (sprite.isNull())
        return;
    rows = std::clamp(rows, 1, int(RowCount));
    const int columns = isCheckable() ? kColumns : 1;
    const QSize whole = layoutSize(sprite);
    setFixedSize(whole.width() / columns, whole.height() / rows);
    for (int column = 0; column < columns; ++column) {
        for (int row = 0; row < rows; ++row)
            m_pictures[size_t(column * RowCount + row)] = spriteCell(sprite, column, row, columns, rows);
    }
    update();
}

void OctImgBtn::setTexts(const QString& unchecked, const QString& checked)
{
    m_uncheckedText = unchecked;
    m_checkedText = checked;
    update();
}

OctImgBtn::StateRow OctImgBtn::stateRow() const
{
    if (!isEnabled())
        return DisabledRow;
    if (isDown())
        return PressedRow;
    return m_hovered ? HoveredRow : NormalRow;
}

bool OctImgBtn::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

void OctImgBtn::paintEvent(QPaintEvent*)
{
    const int column = isChecked() ? 1 : 0;
    QPainter painter(this);
    painter.drawPixmap(QPoint(0, 0), m_pictures[size_t(column * RowCount + stateRow())]);
    painter.drawText(rect(), Qt::AlignCenter, isChecked() ? m_checkedText : m_uncheckedText);
}

void OctImgBtn::enterEvent(QEnterEvent* event)
{
    m_hovered = true;
    update();
    QCheckBox::enterEvent(event);
}

void OctImgBtn::leaveEvent(QEvent* event)
{
    m_hovered = false;
    update();
    QCheckBox::leaveEvent(event);
}

OctImgBtn* spriteButton(const QString& picture, bool checkable, QWidget* parent)
{
    auto* button = new OctImgBtn(parent);
    button->setCheckable(checkable);
    button->setSprite(loadArtwork(picture), OctImgBtn::RowCount);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}
