// Loading the program's embedded pictures (":/images/...") at the density of
// the screen. Every picture is embedded twice: as drawn and as "@2x".
#pragma once

#include <QPixmap>
#include <QString>

// The picture at a resource path. When the scale (0: the application's device
// pixel ratio) is above 1 and the "@2x" variant exists, that one is loaded
// with a device pixel ratio of 2, so its deviceIndependentSize() is the size
// of the plain picture. A path without a picture gives a null pixmap.
QPixmap loadArtwork(const QString& path, qreal scale = 0);

// The "@2x" variant's path: "name@2x.png" for "name.png".
QString doubleDensityPath(const QString& path);
