// Seeks and loops on a playing media, heard on the null sink. In steps.mp3
// second k is a tone of 300 + 100 k Hz, in the "seconds" files of every
// container one of 200 + 200 k Hz, so each 20 ms of the recording tells where
// in the file it came from.
#include "EngineFixture.h"
#include "SoundCapture.h"
#include "TestEnvironment.h"
#include "tests/decoder/ContainerTable.h"

#include <QElapsedTimer>
#include <QTest>

#include <algorithm>

namespace {

constexpr double kWindowSeconds = 0.02;
constexpr double kSilenceDb = -45.0;
constexpr int kTimeoutMs = 15000;

struct Tones {
    double firstHz; // of second 0
    double stepHz;  // from one second to the next
};
constexpr Tones kSteps{300.0, 100.0};
constexpr Tones kSeconds{200.0, 200.0};

// The second of the file that each window of the recording comes from; -1
// for silence. Windows across a change of tone give no clean answer and are
// left out.
QVector<int> secondsHeard(const Pcm& pcm, Tones tones = kSteps)
{
    QVector<int> seconds;
    for (double at = 0; at + kWindowSeconds <= pcm.seconds(); at += kWindowSeconds) {
        const Pcm window = pcm.slice(at, at + kWindowSeconds);
        if (levelDb(window) < kSilenceDb) {
            seconds.append(-1);
            continue;
        }
        // A window cut short by the end of playback may hold too little of
        // a tone to name one.
        const double frequency = toneFrequency(window);
        const double second = (frequency - tones.firstHz) / tones.stepHz;
        if (frequency > 0 && std::abs(second - std::round(second)) < 0.1)
            seconds.append(int(std::round(second)));
    }
    return seconds;
}

QString describe(const QVector<int>& seconds)
{
    QStringList parts;
    for (int second : seconds)
        parts.append(QString::number(second));
    return parts.join(QLatin1Char(' '));
}

} // namespace

class SeekTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(testenv::soundServerRunning()); }
    void whatIsHeardNextComesFromTheTarget_data();
    void whatIsHeardNextComesFromTheTarget();
    void seekOutsideTheRangeCancelsAPendingOne();
    void seekToTheEndEndsPlayback();
    void aLoopPlaysItsSpanOverWithoutAGap_data() { containers::addRows(); }
    void aLoopPlaysItsSpanOverWithoutAGap();
};

void SeekTest::whatIsHeardNextComesFromTheTarget_data()
{
    QTest::addColumn<int>("playMs");
    QTest::addColumn<double>("target");
    QTest::newRow("forward") << 1200 << 6.1;
    QTest::newRow("backward") << 3300 << 1.1;
}

void SeekTest::whatIsHeardNextComesFromTheTarget()
{
    QFETCH(int, playMs);
    QFETCH(double, target);
    SoundCapture capture;
    QVERIFY(capture.start());
    EngineFixture fixture;
    const MediaIdentifier id = fixture.play(testenv::media(QStringLiteral("steps.mp3")));
    EngineFixture::run(playMs);
    const double before = fixture.engine->currentTime(id);
    fixture.engine->doSeekTime(id, target);
    EngineFixture::run(700);
    const double after = fixture.engine->currentTime(id);
    fixture.engine->doStart(id, false);
    QVERIFY(fixture.waitStopped(1, kTimeoutMs));
    const QVector<int> heard = secondsHeard(capture.stop());

    QVERIFY2(after > target + 0.5 && after < target + 0.85, qPrintable(QString::number(after)));
    const int old = int(before);
    const int wanted = int(target);
    const int jump = int(heard.indexOf(wanted, heard.indexOf(old)));
    QVERIFY2(jump > 0, qPrintable(describe(heard)));
    // Up to the jump: the seconds played before it. The window just before
    // the jump may hold both tones.
    for (int i = 0; i + 1 < jump; ++i)
        QVERIFY2(heard[i] == -1 || heard[i] <= old, qPrintable(describe(heard)));
    // After it: the target's second only, until the playback was stopped.
    const int end = int(heard.lastIndexOf(wanted));
    QVERIFY2(end - jump >= 25, qPrintable(describe(heard)));
    for (int i = jump; i <= end; ++i)
        QVERIFY2(heard[i] == wanted, qPrintable(describe(heard)));
    for (int i = end + 1; i < heard.size(); ++i)
        QVERIFY2(heard[i] == -1, qPrintable(describe(heard)));
}

// A media with a range of its own, 2 s to 6 s. While it is paused, seeks
// wait; one outside the range cancels the one inside before it.
void SeekTest::seekOutsideTheRangeCancelsAPendingOne()
{
    EngineFixture fixture;
    const MediaIdentifier ranged = fixture.openRange(testenv::media(QStringLiteral("steps.mp3")), 2.0f, 6.0f);
    fixture.engine->doStart(ranged, true);
    EngineFixture::run(300);
    QVERIFY(fixture.engine->doPause(ranged, true));
    const double paused = fixture.engine->currentTime(ranged);
    QVERIFY2(paused >= 2.0 && paused < 2.5, qPrintable(QString::number(paused)));

    fixture.engine->doSeekTime(ranged, 4.5);
    fixture.engine->doSeekTime(ranged, 6.5); // beyond the out-time
    fixture.engine->doPause(ranged, false);
    EngineFixture::run(300);
    const double cancelled = fixture.engine->currentTime(ranged);
    QVERIFY2(cancelled > paused && cancelled < paused + 0.5, qPrintable(QString::number(cancelled)));

    fixture.engine->doPause(ranged, true);
    fixture.engine->doSeekTime(ranged, 4.5);
    fixture.engine->doSeekTime(ranged, 1.0); // before the in-time
    fixture.engine->doSeekTime(ranged, 5.0);
    fixture.engine->doPause(ranged, false);
    EngineFixture::run(300);
    const double sought = fixture.engine->currentTime(ranged);
    QVERIFY2(sought > 5.0 && sought < 5.5, qPrintable(QString::number(sought)));
    fixture.engine->doStart(ranged, false);
    QVERIFY(fixture.waitStopped(1, kTimeoutMs));
}

// Nothing follows the end of the file: playback ends there instead of
// waiting for a packet.
void SeekTest::seekToTheEndEndsPlayback()
{
    EngineFixture fixture;
    const MediaIdentifier id = fixture.play(testenv::media(QStringLiteral("steps.mp3")));
    EngineFixture::run(500);
    fixture.engine->doSeekTime(id, fixture.engine->duration(id));
    QVERIFY(fixture.waitStopped(1, 2000));
    QCOMPARE(fixture.stopped.count(), 1);
}

// Half a second of the 600 Hz second looped, in every container: nothing
// else is heard, no silence comes between the rounds, the clock never passes
// the mark-out, and each round reports the mark-out once. Switched off,
// playback runs on into the 800 Hz second.
void SeekTest::aLoopPlaysItsSpanOverWithoutAGap()
{
    constexpr double kMarkIn = 2.2;
    constexpr double kMarkOut = 2.7;
    constexpr int kRounds = 3;
    const containers::Row row = containers::fetch();
    SoundCapture capture;
    QVERIFY(capture.start());
    EngineFixture fixture;
    const MediaIdentifier id = fixture.open(testenv::media(row.file));
    fixture.engine->doSetInOut(id, kMarkIn, kMarkOut);
    fixture.engine->doSetLooping(id, true);
    fixture.engine->doSeekTime(id, kMarkIn);
    fixture.engine->doStart(id, true);
    double latest = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < qint64(kRounds * (kMarkOut - kMarkIn) * 1000) + 150) {
        EngineFixture::run(10);
        latest = std::max(latest, fixture.engine->currentTime(id));
    }
    const int rounds = int(fixture.markedOut.count());
    const Pcm looped = capture.stop();
    QVERIFY2(latest < kMarkOut, qPrintable(QString::number(latest)));
    QVERIFY2(rounds == kRounds, qPrintable(QString::number(rounds)));

    QVector<int> heard = secondsHeard(looped, kSeconds);
    while (!heard.isEmpty() && heard.first() == -1)
        heard.removeFirst();
    while (!heard.isEmpty() && heard.last() == -1)
        heard.removeLast();
    QVERIFY2(heard.size() > 60, qPrintable(describe(heard)));
    QVERIFY2(heard.count(2) == heard.size(), qPrintable(describe(heard)));

    fixture.engine->doSetLooping(id, false);
    QTRY_VERIFY_WITH_TIMEOUT(fixture.engine->currentTime(id) > 3.05, 2500);
    fixture.engine->doStart(id, false);
    QVERIFY(fixture.waitStopped(1, kTimeoutMs));
}

REPETA_TEST_MAIN(SeekTest)
#include "tst_seek.moc"
