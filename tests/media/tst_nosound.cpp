// Without a sound server: no output device, and media still run their
// course in silence, at the pace of real playback.
#include "EngineFixture.h"
#include "TestEnvironment.h"

#include <QMediaDevices>
#include <QTest>
#include <QThread>

class NoSoundTest : public QObject {
    Q_OBJECT
private slots:
    void thereIsNoOutputDevice();
    void silentDeviceTakesSamplesInRealTime();
    void mediaPlaysSilentlyToItsEnd();
};

void NoSoundTest::thereIsNoOutputDevice()
{
    QVERIFY(QMediaDevices::defaultAudioOutput().isNull());
    IAudio audio;
    audio.useDefaultOutput();
    QVERIFY(!audio.setFormat(44100, 16, 2));
    QVERIFY(!audio.hasOutput());
    audio.stop();
}

void NoSoundTest::silentDeviceTakesSamplesInRealTime()
{
    IAudio audio;
    audio.useDefaultOutput();
    QVERIFY(!audio.setFormat(44100, 16, 2));
    const QByteArray block(4096, '\0');
    qint64 taken = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 500) {
        const int accepted = audio.write(block.constData(), int(block.size()));
        QCOMPARE(accepted % 4, 0); // whole frames only
        taken += accepted;
        QThread::msleep(5);
    }
    const double seconds = double(taken) / (44100 * 4);
    // Half a second of playing plus what a full buffer holds.
    QVERIFY2(seconds > 0.5 && seconds < 0.65, qPrintable(QString::number(seconds)));
}

void NoSoundTest::mediaPlaysSilentlyToItsEnd()
{
    EngineFixture fixture;
    const MediaIdentifier id = fixture.open(testenv::media(QStringLiteral("sine1k.mp3")));
    fixture.engine->doSetInOut(id, 1.0, 2.0);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(fixture.engine->doStart(id, true));
    EngineFixture::run(1500);
    const double halfway = fixture.engine->currentTime(id);
    QVERIFY(fixture.waitStopped(1, 10000));
    QVERIFY2(clock.elapsed() > 2800 && clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(halfway > 1.3 && halfway < 1.8, qPrintable(QString::number(halfway)));
    QCOMPARE(fixture.markedIn.count(), 1);
    QCOMPARE(fixture.markedOut.count(), 1);
}

REPETA_TEST_MAIN(NoSoundTest)
#include "tst_nosound.moc"
