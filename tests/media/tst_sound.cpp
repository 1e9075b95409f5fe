// The engine's sound, recorded from the null sink's monitor: tone, length,
// volume, pause, stop, two media at once, every container, and destruction.
#include "EngineFixture.h"
#include "SoundCapture.h"
#include "TestEnvironment.h"

#include <QTest>

namespace {
constexpr double kSilenceDb = -45.0;
constexpr int kPlayTimeoutMs = 15000;
} // namespace

class SoundTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(testenv::soundServerRunning()); }

    void toneHasTheFilesFrequencyAndLength_data();
    void toneHasTheFilesFrequencyAndLength();
    void halfVolumeIsSixDecibelsLower();
    void pauseAndResumeKeepThePosition();
    void stopEndsPlaybackOnce();
    void twoMediaPlayAtOnce();
    void destroyingTheEngineStopsEverything();
};

void SoundTest::toneHasTheFilesFrequencyAndLength_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("mp3") << QStringLiteral("sine1k.mp3");
    QTest::newRow("flv") << QStringLiteral("video.flv");
    QTest::newRow("wmv") << QStringLiteral("video.wmv");
    QTest::newRow("rm") << QStringLiteral("video.rm");
}

void SoundTest::toneHasTheFilesFrequencyAndLength()
{
    QFETCH(QString, file);
    SoundCapture capture;
    QVERIFY(capture.start());
    EngineFixture fixture;
    const MediaIdentifier id = fixture.play(testenv::media(file));
    QVERIFY(fixture.waitStopped(1, kPlayTimeoutMs));
    EngineFixture::run(300);
    const Pcm pcm = capture.stop();

    // The end of the file gives exactly one report.
    QCOMPARE(fixture.stopped.count(), 1);
    QCOMPARE(fixture.stopped.at(0).at(0).value<MediaIdentifier>(), id);
    const SoundSpan span = soundSpan(pcm, kSilenceDb);
    QVERIFY2(qAbs(span.length() - 3.0) <= 0.15, qPrintable(QString::number(span.length())));
    for (int channel = 0; channel < 2; ++channel)
        QVERIFY(qAbs(toneFrequency(pcm.slice(span.start + 0.2, span.end - 0.2), channel) - 1000.0) < 5.0);
}

void SoundTest::halfVolumeIsSixDecibelsLower()
{
    SoundCapture capture;
    QVERIFY(capture.start());
    EngineFixture fixture;
    const MediaIdentifier id = fixture.open(testenv::media(QStringLiteral("sine1k.mp3")));
    fixture.engine->doSetVolume(id, 1.0f);
    fixture.engine->doStart(id, true);
    EngineFixture::run(1500);
    fixture.engine->doSetVolume(id, 0.5f);
    QVERIFY(fixture.waitStopped(1, kPlayTimeoutMs));
    const Pcm pcm = capture.stop();

    const SoundSpan span = soundSpan(pcm, kSilenceDb);
    const double full = levelDb(pcm.slice(span.start + 0.2, span.start + 1.0));
    const double half = levelDb(pcm.slice(span.end - 1.0, span.end - 0.2));
    QVERIFY2(qAbs(half - full + 6.02) <= 0.5, qPrintable(QStringLiteral("%1 -> %2 dB").arg(full).arg(half)));
}

void SoundTest::pauseAndResumeKeepThePosition()
{
    SoundCapture capture;
    QVERIFY(capture.start());
    EngineFixture fixture;
    // Second k of this file is a tone of 300 + 100 k Hz.
    const MediaIdentifier id = fixture.play(testenv::media(QStringLiteral("steps.mp3")));
    EngineFixture::run(2500);
    QVERIFY(fixture.engine->doPause(id, true));
    QVERIFY(fixture.engine->doPause(id, true)); // paused already: still open, nothing changes
    EngineFixture::run(200);
    const double pausedAt = fixture.engine->currentTime(id);
    EngineFixture::run(800);
    QCOMPARE(fixture.engine->currentTime(id), pausedAt);
    QVERIFY(fixture.engine->doPause(id, false));
    EngineFixture::run(600);
    const double resumedTo = fixture.engine->currentTime(id);
    fixture.engine->doStart(id, false);
    QVERIFY(fixture.waitStopped(1, kPlayTimeoutMs));
    const Pcm pcm = capture.stop();

    QVERIFY2(pausedAt > 2.0 && pausedAt < 3.0, qPrintable(QString::number(pausedAt)));
    QVERIFY2(resumedTo > pausedAt + 0.4 && resumedTo < pausedAt + 0.8, qPrintable(QString::number(resumedTo)));
    // The recording: sound, a silence as long as the pause, sound again that
    // goes on with the tone it stopped on.
    const SoundSpan first = soundSpan(pcm, kSilenceDb);
    qsizetype silentFrom = -1;
    const int window = pcm.rate / 100;
    for (qsizetype at = qsizetype(first.start * pcm.rate); at + window < pcm.frames(); at += window) {
        if (levelDb(pcm.slice(double(at) / pcm.rate, double(at + window) / pcm.rate)) < kSilenceDb) {
            silentFrom = at;
            break;
        }
    }
    QVERIFY(silentFrom > 0);
    const double pauseStart = double(silentFrom) / pcm.rate;
    const Pcm after = pcm.slice(pauseStart);
    const SoundSpan resumed = soundSpan(after, kSilenceDb);
    QVERIFY2(resumed.start > 0.8 && resumed.start < 1.4, qPrintable(QString::number(resumed.start)));
    const double before = toneFrequency(pcm.slice(pauseStart - 0.2, pauseStart - 0.05));
    const double again = toneFrequency(after.slice(resumed.start + 0.02, resumed.start + 0.15));
    QCOMPARE(qRound(before / 100.0), 5); // the tone of second 2
    QCOMPARE(qRound(again / 100.0), 5);
}

void SoundTest::stopEndsPlaybackOnce()
{
    SoundCapture capture;
    QVERIFY(capture.start());
    EngineFixture fixture;
    const MediaIdentifier id = fixture.play(testenv::media(QStringLiteral("steps.mp3")));
    EngineFixture::run(1000);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(fixture.engine->doStart(id, false));
    QVERIFY(fixture.waitStopped(1, 2000));
    QVERIFY(clock.elapsed() < 500);
    EngineFixture::run(700);
    const Pcm pcm = capture.stop();

    QCOMPARE(fixture.stopped.count(), 1);
    // Gone from the engine: the identifier is no longer open.
    QVERIFY(!fixture.engine->doStart(id, true));
    QCOMPARE(fixture.engine->duration(id), -1.0);
    const SoundSpan span = soundSpan(pcm, kSilenceDb);
    QVERIFY(span.length() > 0.7 && span.length() < 1.4);
    QVERIFY(levelDb(pcm.slice(span.end + 0.05)) < kSilenceDb);
}

void SoundTest::twoMediaPlayAtOnce()
{
    SoundCapture capture;
    QVERIFY(capture.start());
    EngineFixture fixture;
    fixture.play(testenv::media(QStringLiteral("sine1k.mp3")));
    fixture.play(testenv::media(QStringLiteral("tone440.mp3")));
    QVERIFY(fixture.waitStopped(2, kPlayTimeoutMs));
    const Pcm pcm = capture.stop();

    const SoundSpan span = soundSpan(pcm, kSilenceDb);
    const Pcm both = pcm.slice(span.start + 0.3, span.start + 1.7);
    const Pcm lastOnly = pcm.slice(span.end - 0.8, span.end - 0.2);
    QVERIFY(toneLevelDb(both, 1000) > -35.0);
    QVERIFY(toneLevelDb(both, 440) > -35.0);
    // The 2 s tone has ended while the 3 s one goes on.
    QVERIFY(toneLevelDb(lastOnly, 1000) > -35.0);
    QVERIFY(toneLevelDb(lastOnly, 440) < -60.0);
}

void SoundTest::destroyingTheEngineStopsEverything()
{
    EngineFixture fixture;
    const MediaIdentifier first = fixture.play(testenv::media(QStringLiteral("steps.mp3")));
    const MediaIdentifier second = fixture.play(testenv::media(QStringLiteral("video.flv")));
    EngineFixture::run(500);
    QElapsedTimer clock;
    clock.start();
    fixture.engine.reset();
    QVERIFY(clock.elapsed() < 1000);
    QCOMPARE(fixture.stopped.count(), 2);
    QList<MediaIdentifier> reported{fixture.stopped.at(0).at(0).value<MediaIdentifier>(),
                                    fixture.stopped.at(1).at(0).value<MediaIdentifier>()};
    QVERIFY(reported.contains(first));
    QVERIFY(reported.contains(second));
}

REPETA_TEST_MAIN(SoundTest)
#include "tst_sound.moc"
