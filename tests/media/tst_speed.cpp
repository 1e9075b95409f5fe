// Playback slower and faster: the tone keeps its pitch at the sink, a looped
// sentence's round lasts its length over the speed and jumps back without a
// click, the clock stays in the media's own seconds, and a change of speed
// is heard at once. At normal speed the sound is as decoded, which
// tst_timeline checks to the sample.
#include "CaptureDevice.h"
#include "EngineFixture.h"
#include "SoundCapture.h"
#include "Subprocess.h"
#include "TestEnvironment.h"
#include "ToneRuns.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

namespace {

constexpr int kTimeoutMs = 30000;
constexpr double kSilenceDb = -45.0;
// twotones.wav holds 400 Hz, then 600 Hz from 1 s: the sentence looped
// starts in the one and ends in the other, so that each round shows its
// start, the change of tone in its middle and its jump back.
constexpr double kMarkIn = 0.5;
constexpr double kChange = 1.0;
constexpr double kMarkOut = 1.5;
constexpr int kRounds = 4;
constexpr double kRoundToleranceSeconds = 0.010;
// The stretcher lines up its overlapping windows by likeness, which moves a
// change of tone by up to about 10 ms at half speed.
constexpr double kChangeToleranceSeconds = 0.020;
// A click stands out by tens of dB above 4 kHz.
constexpr double kClickMarginDb = 6.0;
constexpr double kAroundJumpSeconds = 0.015;
// Where a change of speed was heard is known to some 10 ms.
constexpr double kAroundChangeSeconds = 0.030;
constexpr double kPitchToleranceHz = 2.0;
constexpr double kHeardWithinSeconds = 0.150;
// The recorder's own delay may put a change that many seconds before its
// command in the recording.
constexpr double kRecorderSlackSeconds = 0.020;

constexpr int kRecordRate = 44100;
constexpr int kRecordFrameBytes = 4; // stereo, 16 bits
constexpr double kConnectedSeconds = 0.1;

// The null sink's monitor through parec, whose length at a moment tells
// where that moment lies in the recording.
class TimedRecording {
public:
    bool start()
    {
        if (!m_parec.start({QStringLiteral("parec"), QStringLiteral("-d"), QStringLiteral("out.monitor"),
                            QStringLiteral("--raw"), QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
                            QStringLiteral("--channels=2"), QStringLiteral("--latency-msec=10")}))
            return false;
        // Silence streams in once it is connected.
        QElapsedTimer clock;
        clock.start();
        while (now() < kConnectedSeconds && clock.elapsed() < kTimeoutMs)
            EngineFixture::run(10);
        return now() >= kConnectedSeconds;
    }
    double now() { return double(m_parec.outputSize()) / (kRecordRate * kRecordFrameBytes); }
    Pcm stop()
    {
        EngineFixture::run(300); // the end is still on its way through the server
        m_parec.terminate();
        return pcmFromBytes(m_parec.output());
    }

private:
    Subprocess m_parec;
};

bool waitForClock(EngineFixture& fixture, const MediaIdentifier& id, double seconds)
{
    QElapsedTimer clock;
    clock.start();
    while (fixture.engine->currentTime(id) < seconds && clock.elapsed() < kTimeoutMs)
        EngineFixture::run(5);
    return fixture.engine->currentTime(id) >= seconds;
}

// When a change of speed from `before` to `after` took effect, from the
// recorded start and end of a step of the steps file that lasts one second
// of the original: before*(t - start) + after*(end - t) = 1.
double switchTime(double start, double end, double before, double after)
{
    return (1.0 + before * start - after * end) / (before - after);
}

} // namespace

class SpeedTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(testenv::soundServerRunning()); }
    void toneKeepsItsPitch_data();
    void toneKeepsItsPitch();
    void loopRoundLastsTheSentenceOverTheSpeed_data();
    void loopRoundLastsTheSentenceOverTheSpeed();
    void clockAndChangesFollowTheSound();
};

void SpeedTest::toneKeepsItsPitch_data()
{
    QTest::addColumn<double>("speed");
    QTest::newRow("0.50") << 0.5;
    QTest::newRow("1.50") << 1.5;
}

// Recorded from the null sink: the 2 s tone of 440 Hz lasts 2 s over the
// speed, at its own frequency in both channels.
void SpeedTest::toneKeepsItsPitch()
{
    QFETCH(double, speed);
    SoundCapture capture;
    QVERIFY(capture.start());
    EngineFixture fixture;
    const MediaIdentifier id = fixture.open(testenv::media(QStringLiteral("tone440.mp3")));
    fixture.engine->doSetSpeed(id, speed);
    QVERIFY(qFuzzyCompare(fixture.engine->speed(id), speed));
    fixture.engine->doStart(id, true);
    QVERIFY(fixture.waitStopped(1, kTimeoutMs));
    const Pcm pcm = capture.stop();

    const SoundSpan span = soundSpan(pcm, kSilenceDb);
    QVERIFY2(qAbs(span.length() - 2.0 / speed) <= 0.15, qPrintable(QString::number(span.length())));
    for (int channel = 0; channel < 2; ++channel) {
        const double frequency = toneFrequency(pcm.slice(span.start + 0.2, span.end - 0.2), channel);
        QVERIFY2(qAbs(frequency - 440.0) <= kPitchToleranceHz, qPrintable(QString::number(frequency)));
    }
}

void SpeedTest::loopRoundLastsTheSentenceOverTheSpeed_data()
{
    QTest::addColumn<double>("speed");
    QTest::newRow("0.50") << 0.5;
    QTest::newRow("0.75") << 0.75;
    QTest::newRow("1.25") << 1.25;
}

// Every sample the engine writes, from a capture device: each round and its
// first half of 400 Hz last their original length over the speed, and where
// 600 Hz jumps back to 400 Hz there is no click.
void SpeedTest::loopRoundLastsTheSentenceOverTheSpeed()
{
    QFETCH(double, speed);
    CaptureDevice device;
    MediaEngine engine;
    QSignalSpy stopped(&engine, &MediaEngine::sigPlayStopped);
    QSignalSpy markedIn(&engine, &MediaEngine::sigMarkIn);
    QSignalSpy markedOut(&engine, &MediaEngine::sigMarkOut);
    MediaIdentifier id;
    id.path = testenv::media(QStringLiteral("twotones.wav"));
    id.audio = &device;
    engine.doOpen(id);
    engine.doSetSpeed(id, speed);
    engine.doSetInOut(id, kMarkIn, kMarkOut);
    engine.doSetLooping(id, true);
    engine.doSeekTime(id, kMarkIn);
    engine.doStart(id, true);
    QElapsedTimer clock;
    clock.start();
    while (markedOut.count() < kRounds && clock.elapsed() < kTimeoutMs)
        markedOut.wait(kTimeoutMs);
    engine.doStart(id, false);
    QVERIFY(!stopped.isEmpty() || stopped.wait(kTimeoutMs));
    QVERIFY2(markedOut.count() >= kRounds, qPrintable(QString::number(markedOut.count())));
    QVERIFY2(markedIn.count() >= kRounds, qPrintable(QString::number(markedIn.count())));

    const Pcm pcm = device.pcm();
    const QVector<tones::Run> runs = tones::runs(pcm, {400.0, 600.0}, 0.010, 0.001);
    const QVector<double> jumps = tones::changes(runs, 600.0, 400.0);
    const QVector<double> middles = tones::changes(runs, 400.0, 600.0);
    QVERIFY2(jumps.size() >= kRounds - 1 && middles.size() >= jumps.size(),
             qPrintable(QStringLiteral("%1 jumps, %2 changes").arg(jumps.size()).arg(middles.size())));
    // Rounds start at the capture's start and at each jump.
    QVector<double> starts{0.0};
    starts.append(jumps);
    for (qsizetype round = 0; round + 1 < starts.size(); ++round) {
        const QString where = QStringLiteral("round %1 from %2 s, change at %3 s, next at %4 s")
                                  .arg(round + 1)
                                  .arg(starts[round])
                                  .arg(middles[round])
                                  .arg(starts[round + 1]);
        QVERIFY2(qAbs(starts[round + 1] - starts[round] - (kMarkOut - kMarkIn) / speed) <= kRoundToleranceSeconds,
                 qPrintable(where));
        QVERIFY2(qAbs(middles[round] - starts[round] - (kChange - kMarkIn) / speed) <= kChangeToleranceSeconds,
                 qPrintable(where));
    }
    const double click = tones::highBandExcessDb(pcm, jumps, kAroundJumpSeconds, 0.0, jumps.last());
    QVERIFY2(click <= kClickMarginDb, qPrintable(QString::number(click)));
}

// On the null sink, the steps file (second k a tone of 300 + 100 k Hz) at
// 1.5x, then 0.5x from the middle of its second 1, then normal speed from
// the middle of its second 2. The recorded steps tell when each change was
// heard, and it was heard without a click; meanwhile at 0.5x a second of
// playing moves the clock by half a second of the media. In FLAC, whose long
// frames the engine must stretch in pieces to follow a change soon.
void SpeedTest::clockAndChangesFollowTheSound()
{
    TimedRecording recording;
    QVERIFY(recording.start());
    EngineFixture fixture;
    const MediaIdentifier id = fixture.open(testenv::media(QStringLiteral("steps.flac")));
    fixture.engine->doSetSpeed(id, 1.5);
    fixture.engine->doStart(id, true);
    QVERIFY(waitForClock(fixture, id, 1.45));
    const double slowedAt = recording.now();
    fixture.engine->doSetSpeed(id, 0.5);
    QVERIFY(waitForClock(fixture, id, 2.1));
    QElapsedTimer wall;
    wall.start();
    const double clockBefore = fixture.engine->currentTime(id);
    EngineFixture::run(1000);
    const double clockRate = (fixture.engine->currentTime(id) - clockBefore) / (double(wall.elapsed()) / 1000.0);
    QVERIFY(waitForClock(fixture, id, 2.7));
    const double normalAt = recording.now();
    fixture.engine->doSetSpeed(id, 1.0);
    QVERIFY(waitForClock(fixture, id, 3.5));
    fixture.engine->doStart(id, false);
    QVERIFY(fixture.waitStopped(1, kTimeoutMs));
    const Pcm pcm = recording.stop();

    QVERIFY2(qAbs(clockRate - 0.5) <= 0.05, qPrintable(QString::number(clockRate)));
    QVector<double> steps;
    for (int k = 0; k < 10; ++k)
        steps.append(300.0 + 100.0 * k);
    const QVector<tones::Run> runs = tones::runs(pcm, steps, 0.020, 0.002);
    const QVector<double> second1 = tones::changes(runs, 300.0, 400.0);
    const QVector<double> second2 = tones::changes(runs, 400.0, 500.0);
    const QVector<double> second3 = tones::changes(runs, 500.0, 600.0);
    QVERIFY(second1.size() == 1 && second2.size() == 1 && second3.size() == 1);
    const double slowed = switchTime(second1[0], second2[0], 1.5, 0.5);
    const double normal = switchTime(second2[0], second3[0], 0.5, 1.0);
    for (double heard : {slowed - slowedAt, normal - normalAt})
        QVERIFY2(heard > -kRecorderSlackSeconds && heard <= kHeardWithinSeconds,
                 qPrintable(QStringLiteral("heard after %1 s and %2 s").arg(slowed - slowedAt).arg(normal - normalAt)));
    const double click = tones::highBandExcessDb(pcm, {slowed, normal}, kAroundChangeSeconds, second1[0], second3[0]);
    QVERIFY2(click <= kClickMarginDb, qPrintable(QString::number(click)));
}

REPETA_TEST_MAIN(SpeedTest)
#include "tst_speed.moc"
