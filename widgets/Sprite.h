// Cutting sprite sheets into their state pictures at any pixel density: the
// arithmetic is in layout pixels, the copy in device pixels.
#pragma once

#include <QPixmap>
#include <QSize>

// A picture's size in layout pixels (device pixels divided by its ratio).
QSize layoutSize(const QPixmap& picture);

// Cell (column, row) of a sheet of columns x rows equal cells, each
// (sheet width / columns) x (sheet height / rows) layout pixels. Null for a
// null sheet or counts below 1.
QPixmap spriteCell(const QPixmap& sheet, int column, int row, int columns, int rows);
