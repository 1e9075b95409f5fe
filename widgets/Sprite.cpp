#include "Sprite.h"

#include <QRect>

QSize layoutSize(const QPixmap& picture)
{
    return picture.deviceIndependentSize().toSize();
}

QPixmap spriteCell(const QPixmap& sheet, int column, int row, int columns, int rows)
{
    if (sheet.isNull() || columns < 1 || rows < 1)
        return QPixmap();
    const QSize whole = layoutSize(sheet);
    const int width = whole.width() / columns;
    const int height = whole.height() / rows;
    const qreal ratio = sheet.devicePixelRatio();
    const QRect device(qRound(column * width * ratio), qRound(row * height * ratio),
                       qRound(width * ratio), qRound(height * ratio));
    QPixmap cell = sheet.copy(device);
    cell.setDevicePixelRatio(ratio);
    return cell;
}
