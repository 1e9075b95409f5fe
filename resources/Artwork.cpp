#include "Artwork.h"

#include <QFile>
#include <QGuiApplication>

namespace {
constexpr qreal kDoubleDensity = 2.0;
}

QString doubleDensityPath(const QString& path)
{
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= path.lastIndexOf(QLatin1Char('/')))
        return path + QStringLiteral("@2x");
    return path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
}

QPixmap loadArtwork(const QString& path, qreal scale)
{
    if (scale <= 0)
        scale = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    if (scale > 1.0) {
        const QString dense = doubleDensityPath(path);
        QPixmap picture;
        if (QFile::exists(dense) && picture.load(dense)) {
            picture.setDevicePixelRatio(kDoubleDensity);
            return picture;
        }
    }
    return QPixmap(path);
}
