// Every picture the program names under ":/images/": present at 1x and 2x,
// with the sprite layout its users cut it by, and with state pictures that
// can be told apart.
#include "TestEnvironment.h"
#include "resources/Artwork.h"

#include <QIcon>
#include <QImageReader>
#include <QPixmap>

namespace {

struct Picture {
    const char* name;
    int columns; // 2 for the sprites of checkable buttons
    int rows;    // 4 for every state sprite
};

const Picture kPictures[] = {
    {"bg-volslider-normal.png", 1, 1},       {"bg-volslider-light.png", 1, 1},
    {"bg-volslider-seeker.png", 1, 1},       {"bg-wikislider-normal.png", 1, 1},
    {"bg-wikislider-light.png", 1, 1},       {"bg-wikislider-seeker.png", 1, 1},
    {"bg-tab-dot.png", 1, 4},                {"bg-tab-chrome.png", 1, 4},
    {"bg-tab-chrome-right.png", 1, 4},       {"bg-tab-mat.png", 1, 4},
    {"bg-tab-mat0.png", 1, 4},               {"bg-tab-mat1.png", 1, 4},
    {"bg-tab-mat2.png", 1, 4},               {"bg-balloon-tip.png", 1, 1},
    {"bg-repetascrollbar-begin.png", 1, 1},  {"bg-repetascrollbar-mid.png", 1, 1},
    {"bg-repetascrollbar-end.png", 1, 1},    {"bg-repetascrollbar-btnbegin.png", 1, 1},
    {"bg-repetascrollbar-btnmid.png", 1, 1}, {"bg-repetascrollbar-btnend.png", 1, 1},
    {"bg-float-control-left.png", 1, 1},     {"bg-float-control.png", 1, 1},
    {"bg-float-control-right.png", 1, 1},    {"btn-wikipauser-check.png", 2, 4},
    {"btn-wikistopper-press.png", 1, 4},     {"btn-PlotCtrlView-check.png", 2, 4},
    {"btn-PlotCtrlView-press.png", 1, 4},    {"btn-recctrl-check.png", 2, 4},
    {"btn-matshow-press.png", 1, 4},         {"btn-exporter-scan.png", 1, 4},
    {"btn-exporter-export.png", 1, 4},       {"btn-exporter-cancel.png", 1, 4},
    {"bg-export-pointer.png", 1, 1},         {"bg-export-wndicon.png", 1, 1},
    {"volumer000.png", 1, 1},                {"volumer025.png", 1, 1},
    {"volumer050.png", 1, 1},                {"volumer075.png", 1, 1},
    {"volumer100.png", 1, 1},                {"recvol000.png", 1, 1},
    {"recvol025.png", 1, 1},                 {"recvol050.png", 1, 1},
    {"recvol075.png", 1, 1},                 {"recvol100.png", 1, 1},
    {"btn-speed-slower-press.png", 1, 4},    {"btn-speed-faster-press.png", 1, 4},
    {"btn-speed-reset-press.png", 1, 4},     {"btn-drill-check.png", 2, 4},
    {"btn-drill-arrow-press.png", 1, 4},     {"btn-drill-option-check.png", 2, 4},
    {"btn-blind-check.png", 2, 4},           {"bg-drill-status.png", 1, 1},
    {"btn-compare-press.png", 1, 4},
};

QString resource(const char* name)
{
    return QStringLiteral(":/images/") + QLatin1String(name);
}

QImage cell(const QImage& sheet, int column, int row, int columns, int rows)
{
    const int w = sheet.width() / columns;
    const int h = sheet.height() / rows;
    return sheet.copy(column * w, row * h, w, h);
}

int visiblePixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    }
    return count;
}

} // namespace

class ArtworkTest : public QObject {
    Q_OBJECT

private slots:
    void everyPictureAtBothDensities_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        for (const Picture& picture : kPictures)
            QTest::newRow(picture.name) << resource(picture.name) << picture.columns << picture.rows;
    }

    void everyPictureAtBothDensities()
    {
        QFETCH(QString, path);
        QFETCH(int, columns);
        QFETCH(int, rows);
        const QImage single(path);
        const QImage twice(doubleDensityPath(path));
        QVERIFY2(!single.isNull(), qPrintable(path));
        QVERIFY2(!twice.isNull(), qPrintable(doubleDensityPath(path)));
        QCOMPARE(twice.size(), single.size() * 2);
        // Cells of equal whole-pixel size at both densities.
        QCOMPARE(single.width() % columns, 0);
        QCOMPARE(single.height() % rows, 0);
        QVERIFY2(visiblePixels(single) > 0, "a picture that shows nothing");
    }

    // Each state of a sprite must look different from the others.
    void spriteStatesDiffer_data() { everyPictureAtBothDensities_data(); }

    void spriteStatesDiffer()
    {
        QFETCH(QString, path);
        QFETCH(int, columns);
        QFETCH(int, rows);
        const QImage sheet = QImage(path).convertToFormat(QImage::Format_ARGB32);
        QList<QImage> cells;
        for (int column = 0; column < columns; ++column) {
            for (int row = 0; row < rows; ++row)
                cells.append(cell(sheet, column, row, columns, rows));
        }
        for (int a = 0; a < cells.size(); ++a) {
            for (int b = a + 1; b < cells.size(); ++b)
                QVERIFY2(cells[a] != cells[b], qPrintable(QStringLiteral("cells %1 and %2 are equal").arg(a).arg(b)));
        }
    }

    void loaderPicksTheDensity()
    {
        const QString path = QStringLiteral(":/images/bg-tab-dot.png");
        const QPixmap plain = loadArtwork(path, 1.0);
        const QPixmap dense = loadArtwork(path, 2.0);
        QCOMPARE(plain.devicePixelRatio(), 1.0);
        QCOMPARE(dense.devicePixelRatio(), 2.0);
        QCOMPARE(dense.size(), plain.size() * 2);
        QCOMPARE(dense.deviceIndependentSize(), plain.deviceIndependentSize());
        QVERIFY(loadArtwork(QStringLiteral(":/images/no-such-picture.png"), 2.0).isNull());
    }

    void doubleDensityNames()
    {
        QCOMPARE(doubleDensityPath(QStringLiteral(":/images/a.png")), QStringLiteral(":/images/a@2x.png"));
        QCOMPARE(doubleDensityPath(QStringLiteral("./dir.d/name")), QStringLiteral("./dir.d/name@2x"));
        QCOMPARE(doubleDensityPath(QStringLiteral("x.tar.png")), QStringLiteral("x.tar@2x.png"));
    }

    void programIconHoldsEverySize()
    {
        const QString path = QStringLiteral(":/images/Repeta.ico");
        QImageReader reader(path);
        QCOMPARE(reader.imageCount(), 7);
        QList<int> sides;
        for (int i = 0; i < reader.imageCount(); ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage image = reader.read();
            QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
            QCOMPARE(image.width(), image.height());
            sides.append(image.width());
            // Transparent outside the rounded square, the blue ground inside it.
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            const QColor edge = image.pixelColor(image.width() / 2, image.height() / 16 + 1);
            QCOMPARE(edge.alpha(), 255);
            QVERIFY(edge.blue() > 150 && edge.red() < 80);
        }
        QCOMPARE(sides, QList<int>({16, 24, 32, 48, 64, 128, 256}));
        const QIcon icon(path);
        QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
    }
};

REPETA_TEST_MAIN(ArtworkTest)
#include "tst_artwork.moc"
