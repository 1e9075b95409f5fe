// Marks on a playing media: each fires once as playback crosses it, carries
// its times, can be cleared, and a backward seek does not fire the marks it
// jumps over.
#include "EngineFixture.h"
#include "TestEnvironment.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

constexpr int kSignalTimeoutMs = 5000;

// Waits for the spy's next signal; the seconds since `clock` started, or -1.
double arrival(QSignalSpy& spy, const QElapsedTimer& clock)
{
    const int before = spy.count();
    if (spy.count() == before && !spy.wait(kSignalTimeoutMs))
        return -1;
    return clock.elapsed() / 1000.0;
}

} // namespace

class MarksTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(testenv::soundServerRunning()); }
    void marksFireOnceEachAsPlaybackCrossesThem();
    void clearedMarksFireNothing();
    void backwardSeekFiresNoMarkItJumpsOver();
    void marksOutsideTheMediasRangeAreRefused();
};

void MarksTest::marksFireOnceEachAsPlaybackCrossesThem()
{
    EngineFixture fixture;
    const MediaIdentifier id = fixture.open(testenv::media(QStringLiteral("sentences.mp3")));
    fixture.engine->doSetInOut(id, 1.0, 2.5);
    QElapsedTimer clock;
    clock.start();
    fixture.engine->doStart(id, true);
    const double in = arrival(fixture.markedIn, clock);
    const double out = arrival(fixture.markedOut, clock);
    EngineFixture::run(1000); // on past both marks
    fixture.engine->doStart(id, false);
    QVERIFY(fixture.waitStopped(1, kSignalTimeoutMs));

    QVERIFY2(in > 0.8 && in < 1.3, qPrintable(QString::number(in)));
    QVERIFY2(out > 2.3 && out < 2.8, qPrintable(QString::number(out)));
    QCOMPARE(fixture.markedIn.count(), 1);
    QCOMPARE(fixture.markedOut.count(), 1);
    const auto markedIn = fixture.markedIn.at(0).at(0).value<MediaIdentifier>();
    QCOMPARE(markedIn, id);
    QCOMPARE(markedIn.markIn, -1.0f);
    QCOMPARE(markedIn.markOut, -1.0f);
    const auto markedOut = fixture.markedOut.at(0).at(0).value<MediaIdentifier>();
    QCOMPARE(markedOut, id);
    QVERIFY(qAbs(markedOut.markIn - 1.0f) < 1e-3f);
    QVERIFY(qAbs(markedOut.markOut - 2.5f) < 1e-3f);
}

void MarksTest::clearedMarksFireNothing()
{
    EngineFixture fixture;
    const MediaIdentifier id = fixture.play(testenv::media(QStringLiteral("sentences.mp3")));
    fixture.engine->doSetInOut(id, 0.5, 1.0);
    fixture.engine->doSetInOut(id, -1, -1);
    EngineFixture::run(1800);
    fixture.engine->doStart(id, false);
    QVERIFY(fixture.waitStopped(1, kSignalTimeoutMs));
    QCOMPARE(fixture.markedIn.count(), 0);
    QCOMPARE(fixture.markedOut.count(), 0);
}

// At 2.3 s both marks lie behind; a seek back to 0.5 jumps over them. They
// fire only as playback crosses them again, 0.3 s and 1.5 s after the seek.
void MarksTest::backwardSeekFiresNoMarkItJumpsOver()
{
    EngineFixture fixture;
    const MediaIdentifier id = fixture.play(testenv::media(QStringLiteral("sentences.mp3")));
    EngineFixture::run(2300);
    fixture.engine->doSetInOut(id, 0.8, 2.0);
    EngineFixture::run(200); // a mark set behind playback does not fire
    QCOMPARE(fixture.markedIn.count() + fixture.markedOut.count(), 0);
    QElapsedTimer clock;
    clock.start();
    fixture.engine->doSeekTime(id, 0.5);
    const double in = arrival(fixture.markedIn, clock);
    const double out = arrival(fixture.markedOut, clock);
    fixture.engine->doStart(id, false);
    QVERIFY(fixture.waitStopped(1, kSignalTimeoutMs));

    QVERIFY2(in > 0.15 && in < 0.5, qPrintable(QString::number(in)));
    QVERIFY2(out > 1.35 && out < 1.7, qPrintable(QString::number(out)));
    QCOMPARE(fixture.markedIn.count(), 1);
    QCOMPARE(fixture.markedOut.count(), 1);
}

// A media with a range of its own (1 s to 3 s) takes marks inside it only.
void MarksTest::marksOutsideTheMediasRangeAreRefused()
{
    EngineFixture fixture;
    const MediaIdentifier ranged = fixture.openRange(testenv::media(QStringLiteral("sentences.mp3")), 1.0f, 3.0f);
    fixture.engine->doSetInOut(ranged, 0.5, 3.5); // before the in-time, after the out-time
    QElapsedTimer clock;
    clock.start();
    fixture.engine->doStart(ranged, true);
    // The range plays from 1 s and ends after 3 s by itself.
    QVERIFY(fixture.waitStopped(1, kSignalTimeoutMs));
    QVERIFY2(clock.elapsed() > 1700 && clock.elapsed() < 2800, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(fixture.markedIn.count(), 0);
    QCOMPARE(fixture.markedOut.count(), 0);
}

REPETA_TEST_MAIN(MarksTest)
#include "tst_marks.moc"
