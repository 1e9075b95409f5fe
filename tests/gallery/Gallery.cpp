#include "Gallery.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <cstdio>

namespace {
constexpr int kGapPx = 12;
constexpr int kCaptionPx = 18;
} // namespace

Gallery::Gallery(const QString& directory)
    : m_directory(directory)
{
    m_directory.mkpath(QStringLiteral("."));
}

QImage Gallery::grab(QWidget& widget)
{
    return widget.grab().toImage();
}

QImage Gallery::sheet(const QList<Shot>& shots, const QColor& ground, int columns)
{
    const qreal ratio = shots.isEmpty() ? 1.0 : shots.first().image.devicePixelRatio();
    int cellWidth = 0;
    int cellHeight = 0;
    for (const Shot& shot : shots) {
        const QSize size = shot.image.deviceIndependentSize().toSize();
        cellWidth = qMax(cellWidth, size.width());
        cellHeight = qMax(cellHeight, size.height());
    }
    cellWidth = qMax(cellWidth, 64);
    const int used = qMin(columns, int(shots.size()));
    const int rows = (int(shots.size()) + columns - 1) / columns;
    const QSize size(kGapPx + used * (cellWidth + kGapPx), kGapPx + rows * (cellHeight + kCaptionPx + kGapPx));
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(ground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont caption = painter.font();
    caption.setPixelSize(11);
    painter.setFont(caption);
    painter.setPen(ground.lightness() > 128 ? QColor(7, 53, 77) : QColor(200, 215, 225));
    for (int i = 0; i < shots.size(); ++i) {
        const int x = kGapPx + (i % columns) * (cellWidth + kGapPx);
        const int y = kGapPx + (i / columns) * (cellHeight + kCaptionPx + kGapPx);
        painter.drawImage(QPoint(x, y), shots[i].image);
        painter.drawText(QRect(x, y + cellHeight + 2, cellWidth, kCaptionPx), Qt::AlignLeft | Qt::AlignTop,
                         shots[i].caption);
    }
    return image;
}

void Gallery::save(const QString& name, const QImage& image)
{
    const QString path = m_directory.filePath(name + QStringLiteral(".png"));
    if (!image.isNull() && image.save(path)) {
        ++m_written;
        return;
    }
    ++m_failures;
    std::fprintf(stderr, "gallery: cannot write %s\n", qPrintable(path));
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: repeta_gallery <output directory>\n");
        return 2;
    }
    Gallery gallery(args[1]);
    shootControls(gallery);
    shootTabs(gallery);
    shootViews(gallery);
    std::printf("gallery: %d pictures in %s\n", gallery.written(), qPrintable(args[1]));
    return gallery.allWritten() ? 0 : 1;
}
