// Writing a Windows icon file that holds several sizes of one picture.
#pragma once

#include <QImage>
#include <QList>
#include <QString>

// Writes the images, each at most 256 x 256 pixels, as 32-bit entries with
// their transparency mask. False when an image is too large or the file
// cannot be written.
bool writeIco(const QString& path, const QList<QImage>& images);
