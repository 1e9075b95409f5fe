// Build-time tool: renders the artwork's SVG sources into the PNG files that
// the program embeds (each at 1x and as "@2x"), and the program icon into a
// multi-size ICO file.
//
//   render_artwork <output dir> <picture.svg>... [--icon <icon.svg> <name.ico>]
//                  [--hicolor <icon.svg> <name>]
//
// --hicolor writes the program icon into the icon theme's folders under the
// output dir: <N>x<N>/apps/<name>.png and, for screens at twice the density,
// <N>x<N>@2/apps/<name>.png.
#include "IcoWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

// Sizes of the program icon in pixels: the title bar, the tray, the task
// switcher and the file manager each pick the nearest one.
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
// Every size of the icon theme's "hicolor" folders.
constexpr int kThemeSizes[] = {16, 22, 24, 32, 36, 48, 64, 72, 96, 128, 192, 256, 512};

QImage render(QSvgRenderer& renderer, const QSize& size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    renderer.render(&painter);
    painter.end();
    return image;
}

bool fail(const QString& message)
{
    std::fprintf(stderr, "render_artwork: %s\n", qPrintable(message));
    return false;
}

bool openSvg(const QString& path, QSvgRenderer& renderer)
{
    if (!renderer.load(path) || !renderer.isValid())
        return fail(QStringLiteral("cannot read %1").arg(path));
    if (renderer.defaultSize().isEmpty())
        return fail(QStringLiteral("%1 has no size").arg(path));
    return true;
}

bool renderPicture(const QString& svgPath, const QDir& out)
{
    QSvgRenderer renderer;
    if (!openSvg(svgPath, renderer))
        return false;
    const QString name = QFileInfo(svgPath).completeBaseName();
    const QSize size = renderer.defaultSize();
    const QString single = out.filePath(name + QStringLiteral(".png"));
    const QString twice = out.filePath(name + QStringLiteral("@2x.png"));
    if (!render(renderer, size).save(single))
        return fail(QStringLiteral("cannot write %1").arg(single));
    if (!render(renderer, size * 2).save(twice))
        return fail(QStringLiteral("cannot write %1").arg(twice));
    return true;
}

bool renderIcon(const QString& svgPath, const QString& icoPath)
{
    QSvgRenderer renderer;
    if (!openSvg(svgPath, renderer))
        return false;
    QList<QImage> images;
    for (int side : kIconSizes)
        images.append(render(renderer, QSize(side, side)));
    if (!writeIco(icoPath, images))
        return fail(QStringLiteral("cannot write %1").arg(icoPath));
    return true;
}

bool renderThemeIcons(const QString& svgPath, const QString& name, const QDir& out)
{
    QSvgRenderer renderer;
    if (!openSvg(svgPath, renderer))
        return false;
    for (int side : kThemeSizes) {
        for (int scale : {1, 2}) {
            const QString density = scale == 1 ? QString() : QStringLiteral("@2");
            const QString folder = QStringLiteral("%1x%1%2/apps").arg(side).arg(density);
            const QString path = out.filePath(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
            if (!out.mkpath(folder) || !render(renderer, QSize(side, side) * scale).save(path))
                return fail(QStringLiteral("cannot write %1").arg(path));
        }
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    // Text in the pictures needs fonts, which need a platform; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        fail(QStringLiteral("usage: render_artwork <output dir> <svg>... [--icon <svg> <ico>] [--hicolor <svg> <name>]"));
        return 2;
    }
    const QDir out(args.first());
    if (!out.mkpath(QStringLiteral("."))) {
        fail(QStringLiteral("cannot create %1").arg(args.first()));
        return 1;
    }
    for (int i = 1; i < args.size(); ++i) {
        const bool icon = args[i] == QLatin1String("--icon");
        if (icon || args[i] == QLatin1String("--hicolor")) {
            if (i + 2 >= args.size()) {
                fail(QStringLiteral("%1 needs an SVG and a name").arg(args[i]));
                return 2;
            }
            if (!(icon ? renderIcon(args[i + 1], out.filePath(args[i + 2]))
                       : renderThemeIcons(args[i + 1], args[i + 2], out)))
                return 1;
            i += 2;
        } else if (!renderPicture(args[i], out)) {
            return 1;
        }
    }
    return 0;
}
