// At a device pixel ratio of 2 (this test runs with QT_SCALE_FACTOR=2) the
// widgets load the "@2x" pictures and still lay out in layout pixels.
#include "PixelChecks.h"
#include "TestEnvironment.h"
#include "resources/Artwork.h"
#include "widgets/ChromeTabs.h"
#include "widgets/OctImgBtn.h"
#include "widgets/VolSlider.h"

class DensityTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(qApp->devicePixelRatio(), 2.0); }

    void picturesComeAtDoubleDensity()
    {
        const QPixmap sprite = loadArtwork(QStringLiteral(":/images/btn-wikipauser-check.png"));
        QCOMPARE(sprite.devicePixelRatio(), 2.0);
        QCOMPARE(sprite.size(), QSize(104, 208));
    }

    void sizesStayInLayoutPixels()
    {
        OctImgBtn button;
        button.setCheckable(true);
        button.setSprite(loadArtwork(QStringLiteral(":/images/btn-wikipauser-check.png")), 4);
        QCOMPARE(button.size(), QSize(26, 26));

        ChromeTabs tabs;
        tabs.setDotSprite(loadArtwork(QStringLiteral(":/images/bg-tab-dot.png")));
        tabs.setInnerMargins(5, 4, 5, 1);
        tabs.addTab(QString());
        tabs.addTab(QString());
        tabs.resize(tabs.sizeHint());
        QCOMPARE(tabs.dotRect(1).size(), QSize(24, 12));
    }

    void paintingUsesEveryDevicePixel()
    {
        VolSlider slider;
        slider.resize(100, 20);
        slider.setRange(0, 100);
        slider.setValue(50);
        const QImage image = slider.grab().toImage();
        QCOMPARE(image.size(), QSize(200, 40));
        // Filled at left, pale at right, at the track's middle row (device y 20).
        QVERIFY(isStrongBlue(image.pixelColor(2 * 20, 20)));
        QVERIFY(isPaleTrack(image.pixelColor(2 * 80, 20)));
        // The seeker's ring (half a pixel in from its left edge at x 43) is two
        // device pixels wide and sharp, with white right inside it.
        const int ringLeft = 2 * 43 + 1;
        QVERIFY(isNear(image.pixelColor(ringLeft, 20), QColor(24, 120, 164), 20));
        QVERIFY(isNear(image.pixelColor(ringLeft + 1, 20), QColor(24, 120, 164), 20));
        QCOMPARE(image.pixelColor(ringLeft + 3, 20), QColor(Qt::white));
    }
};

REPETA_TEST_MAIN(DensityTest)
#include "tst_density.moc"
