// The video surface where no OpenGL context can be made (the offscreen
// platform): it stays black, takes its pictures at their pace, and the media
// plays to its end.
#include "EngineFixture.h"
#include "TestEnvironment.h"

#include "media/IVideo.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTest>

class OffscreenTest : public QObject {
    Q_OBJECT
private slots:
    void videoPlaysWithoutAContext();
};

void OffscreenTest::videoPlaysWithoutAContext()
{
    IVideo surface;
    surface.resize(320, 240);
    surface.show();
    QTest::qWait(100);
    QVERIFY(!surface.hasCanvas());

    EngineFixture fixture;
    QElapsedTimer clock;
    clock.start();
    fixture.play(testenv::media(QStringLiteral("video.flv")), &surface);
    QVERIFY(surface.isOn());
    QTest::qWait(1000);
    const int shown = surface.shownPictures();
    QVERIFY(fixture.waitStopped(1, 10000));
    QVERIFY2(clock.elapsed() > 2800 && clock.elapsed() < 4500, qPrintable(QString::number(clock.elapsed())));
    // Paced as on a real surface, though nothing is drawn.
    QVERIFY2(shown >= 18 && shown <= 32, qPrintable(QString::number(shown)));
    const QImage image = surface.grab().toImage();
    for (int y = 0; y < image.height(); y += 16)
        for (int x = 0; x < image.width(); x += 16)
            QCOMPARE(qGray(image.pixel(x, y)), 0);
}

REPETA_TEST_MAIN(OffscreenTest)
#include "tst_offscreen.moc"
