// The two drawn sliders: fractions, the press windows of their tracks, the
// seek requests of the position slider and what each one paints.
#include "ControllerProbe.h"
#include "PixelChecks.h"
#include "TestEnvironment.h"
#include "widgets/VolSlider.h"
#include "widgets/wikiSlider.h"

#include <QSignalSpy>

#include <cmath>

namespace {
// 100 x 20 with the 14-pixel seeker: half 7, track 86 wide, seeker row 3..17,
// track 6 high from y 7.
constexpr int kVolWidth = 100;
constexpr int kVolHeight = 20;
constexpr int kVolHalf = 7;
constexpr int kVolTrack = 86;
constexpr int kVolTrackMiddleY = 10;
// 300 x 16 with the 16-pixel seeker: half 8, track 284 wide, track band 3..13.
constexpr int kWikiWidth = 300;
constexpr int kWikiHeight = 16;
constexpr int kWikiHalf = 8;
constexpr int kWikiTrack = 284;

void press(QWidget& widget, const QPoint& at, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(&widget, button, Qt::NoModifier, at);
    QTest::mouseRelease(&widget, button, Qt::NoModifier, at);
}

void dragTo(QWidget& widget, const QPoint& at)
{
    QMouseEvent move(QEvent::MouseMove, at, widget.mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
}
} // namespace

class SliderTest : public QObject {
    Q_OBJECT

private slots:
    void volumeReportsFractions()
    {
        VolSlider slider;
        slider.setRange(0, 100);
        QSignalSpy spy(&slider, &VolSlider::sigPercChanged);
        slider.setValue(75);
        slider.setValue(0);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy[0][0].toFloat(), 0.75f);
        QCOMPARE(spy[1][0].toFloat(), 0.0f);

        slider.setRange(20, 60);
        slider.setValue(30);
        QCOMPARE(spy.last()[0].toFloat(), 0.25f);
        // An empty range has no fraction to divide out; it reports 0.
        slider.setRange(5, 5);
        QCOMPARE(slider.fractionOf(5), 0.0f);
    }

    void volumePressWindow_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("expected"); // -1: the value stays
        QTest::newRow("track start, x' = half") << QPoint(kVolHalf - 1, 10) << 0;
        QTest::newRow("left of the track") << QPoint(kVolHalf - 2, 10) << -1;
        QTest::newRow("track end, x' = T + half") << QPoint(kVolTrack + kVolHalf - 1, 10) << 100;
        QTest::newRow("right of the track") << QPoint(kVolTrack + kVolHalf, 10) << -1;
        QTest::newRow("middle") << QPoint(49, 10) << 50;
        QTest::newRow("top row of the seeker") << QPoint(49, 3) << 50;
        QTest::newRow("above the seeker") << QPoint(49, 2) << -1;
        QTest::newRow("bottom row of the seeker") << QPoint(49, 17) << 50;
        QTest::newRow("below the seeker") << QPoint(49, 18) << -1;
    }

    void volumePressWindow()
    {
        QFETCH(QPoint, at);
        QFETCH(int, expected);
        VolSlider slider;
        slider.resize(kVolWidth, kVolHeight);
        slider.setRange(0, 100);
        slider.setValue(33);
        press(slider, at);
        QCOMPARE(slider.value(), expected < 0 ? 33 : expected);
    }

    void volumeTakesOnlyTheLeftButtonAndDrags()
    {
        VolSlider slider;
        slider.resize(kVolWidth, kVolHeight);
        slider.setRange(0, 100);
        slider.setValue(33);
        press(slider, QPoint(49, 10), Qt::RightButton);
        QCOMPARE(slider.value(), 33);
        QSignalSpy spy(&slider, &VolSlider::sigPercChanged);
        dragTo(slider, QPoint(kVolHalf - 1 + kVolTrack / 2, 10));
        QCOMPARE(slider.value(), 50);
        QCOMPARE(spy.last()[0].toFloat(), 0.5f);
    }

    void volumePaintsTheFilledPart()
    {
        VolSlider slider;
        slider.resize(kVolWidth, kVolHeight);
        slider.setRange(0, 100);
        slider.setValue(0);
        QImage image = renderOver(slider, Qt::white);
        // Nothing filled: the track is pale all along, the seeker sits at x 0..13.
        for (int x = kVolHalf + 14; x < kVolHalf + kVolTrack - 2; x += 7)
            QVERIFY2(isPaleTrack(image.pixelColor(x, kVolTrackMiddleY)), qPrintable(QString::number(x)));
        QVERIFY(isNear(image.pixelColor(kVolHalf, kVolTrackMiddleY), QColor(27, 177, 255), 60));

        slider.setValue(50);
        image = renderOver(slider, Qt::white);
        const int filled = kVolTrack / 2;
        for (int x = kVolHalf + 2; x < filled; x += 5)
            QVERIFY2(isStrongBlue(image.pixelColor(x, kVolTrackMiddleY)), qPrintable(QString::number(x)));
        for (int x = filled + 16; x < kVolHalf + kVolTrack - 2; x += 5)
            QVERIFY2(isPaleTrack(image.pixelColor(x, kVolTrackMiddleY)), qPrintable(QString::number(x)));
        // The seeker's white ring is centred on the fill's end.
        QCOMPARE(image.pixelColor(filled + kVolHalf - 4, kVolTrackMiddleY), QColor(Qt::white));
    }

    void positionSliderSeeksAcrossItsTrack_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<float>("expected"); // NaN: no seek
        const float none = std::nanf("");
        QTest::newRow("x = half") << QPoint(kWikiHalf, 8) << 0.0f;
        QTest::newRow("x = T + half") << QPoint(kWikiTrack + kWikiHalf, 8) << 1.0f;
        QTest::newRow("middle") << QPoint(kWikiHalf + kWikiTrack / 2, 8) << 0.5f;
        QTest::newRow("left of the track") << QPoint(kWikiHalf - 1, 8) << none;
        QTest::newRow("right of the track") << QPoint(kWikiTrack + kWikiHalf + 1, 8) << none;
        QTest::newRow("track band top") << QPoint(150, 3) << float(150 - kWikiHalf) / kWikiTrack;
        QTest::newRow("above the band") << QPoint(150, 2) << none;
        QTest::newRow("track band bottom") << QPoint(150, 13) << float(150 - kWikiHalf) / kWikiTrack;
        QTest::newRow("below the band") << QPoint(150, 14) << none;
    }

    void positionSliderSeeksAcrossItsTrack()
    {
        QFETCH(QPoint, at);
        QFETCH(float, expected);
        Repeta controller;
        wikiSlider slider;
        slider.resize(kWikiWidth, kWikiHeight);
        slider.setHandlerObject(&controller);
        slider.setSeekHandler(&Repeta::seek);
        press(slider, at);
        press(slider, at, Qt::RightButton);
        dragTo(slider, at + QPoint(2, 0));
        if (std::isnan(expected)) {
            QVERIFY(controller.seeks.isEmpty());
        } else {
            QCOMPARE(controller.seeks, QVector<float>({expected}));
        }
        QCOMPARE(slider.seekerX(), 0); // the owner moves it, not the click
    }

    void positionSliderWithoutHandlerCallsNothing()
    {
        Repeta controller;
        wikiSlider slider;
        slider.resize(kWikiWidth, kWikiHeight);
        slider.setSeekHandler(&Repeta::seek);
        press(slider, QPoint(100, 8));
        slider.setHandlerObject(&controller);
        slider.setSeekHandler(nullptr);
        press(slider, QPoint(100, 8));
        QVERIFY(controller.seeks.isEmpty());
        float in = 0.5f;
        float out = 0.5f;
        QVERIFY(!slider.marks(&in, &out));
    }

    void positionSliderPaintsItsPosition()
    {
        wikiSlider slider;
        slider.resize(kWikiWidth, kWikiHeight);
        slider.setPosition(1.0f);
        QCOMPARE(slider.seekerX(), kWikiTrack);
        QImage image = renderOver(slider, Qt::white);
        // The seeker's centre dot at T + half, its right edge at the widget's.
        QVERIFY(isNear(image.pixelColor(kWikiTrack + kWikiHalf, 8), QColor(27, 177, 255), 60));
        QVERIFY(isStrongBlue(image.pixelColor(kWikiTrack - 20, 8)));
        QVERIFY(image.pixelColor(kWikiWidth - 2, 8) != QColor(Qt::white));

        slider.setPosition(0.0f);
        image = renderOver(slider, Qt::white);
        QVERIFY(isPaleTrack(image.pixelColor(150, 8)));
        QVERIFY(isNear(image.pixelColor(kWikiHalf, 8), QColor(27, 177, 255), 60));

        slider.setPosition(1.5f);
        QCOMPARE(slider.seekerX(), kWikiTrack);
        slider.setPosition(std::nanf(""));
        QCOMPARE(slider.seekerX(), 0);
    }
};

REPETA_TEST_MAIN(SliderTest)
#include "tst_sliders.moc"
