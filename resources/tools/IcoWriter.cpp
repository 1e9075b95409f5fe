#include "IcoWriter.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>

namespace {

constexpr int kMaxSide = 256;           // an entry stores 256 as 0
constexpr quint32 kDirectoryBytes = 6;  // reserved, type, count
constexpr quint32 kEntryBytes = 16;     // one directory entry
constexpr quint32 kInfoHeaderBytes = 40; // BITMAPINFOHEADER

int maskRowBytes(int width) { return ((width + 31) / 32) * 4; }

// One entry's bitmap: the header, the colour rows and the mask rows, both
// bottom-up as the bitmap format stores them.
QByteArray bitmap(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width();
    const int h = image.height();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QDataStream out(&buffer);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint32 imageBytes = quint32(w * h * 4 + maskRowBytes(w) * h);
    out << kInfoHeaderBytes << qint32(w) << qint32(h * 2) << quint16(1) << quint16(32)
        << quint32(0) << imageBytes << qint32(0) << qint32(0) << quint32(0) << quint32(0);
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            out << quint8(qBlue(row[x])) << quint8(qGreen(row[x])) << quint8(qRed(row[x]))
                << quint8(qAlpha(row[x]));
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray mask(maskRowBytes(w), '\0');
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            if (qAlpha(row[x]) == 0)
                mask[x / 8] = char(mask[x / 8] | (0x80 >> (x % 8)));
        }
        out.writeRawData(mask.constData(), int(mask.size()));
    }
    return bytes;
}

} // namespace

bool writeIco(const QString& path, const QList<QImage>& images)
{
    QList<QByteArray> bitmaps;
    for (const QImage& image : images) {
        if (image.isNull() || image.width() > kMaxSide || image.height() > kMaxSide)
            return false;
        bitmaps.append(bitmap(image));
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(images.size());
    quint32 offset = kDirectoryBytes + kEntryBytes * quint32(images.size());
    for (int i = 0; i < images.size(); ++i) {
        const QImage& image = images[i];
        out << quint8(image.width() % kMaxSide) << quint8(image.height() % kMaxSide) << quint8(0)
            << quint8(0) << quint16(1) << quint16(32) << quint32(bitmaps[i].size()) << offset;
        offset += quint32(bitmaps[i].size());
    }
    for (const QByteArray& data : bitmaps)
        out.writeRawData(data.constData(), int(data.size()));
    return out.status() == QDataStream::Ok && file.flush();
}
