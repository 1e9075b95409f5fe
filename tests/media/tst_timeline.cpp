// Times to the sample in every container: seconds against timestamps, where
// each container puts the start of its sound, and what the engine puts out
// from the start, after a seek and around a loop, against ffmpeg's own decode.
#include "CaptureDevice.h"
#include "TestEnvironment.h"
#include "tests/decoder/ContainerTable.h"

#include "decoder/Timeline.h"
#include "media/MediaEngine.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

namespace {

constexpr int kTimeoutMs = 20000;
// The sentence looped: it spans the change from 400 to 600 Hz.
constexpr double kMarkIn = 1.5;
constexpr double kMarkOut = 2.5;
constexpr int kLoopRounds = 3;

struct Played {
    Pcm pcm;
    int marksOut = 0;
};

// Plays a file into a capture device from `from` seconds (-1: from the
// start); with a mark-out it loops from `from` to there until kLoopRounds
// rounds are out, else it plays to the end of the file.
Played play(const QString& file, double from = -1, double markOut = -1)
{
    CaptureDevice device;
    MediaEngine engine;
    QSignalSpy stopped(&engine, &MediaEngine::sigPlayStopped);
    QSignalSpy marked(&engine, &MediaEngine::sigMarkOut);
    MediaIdentifier id;
    id.path = testenv::media(file);
    id.audio = &device;
    engine.doOpen(id);
    if (markOut > 0) {
        engine.doSetInOut(id, from, markOut);
        engine.doSetLooping(id, true);
    }
    if (from >= 0)
        engine.doSeekTime(id, from);
    engine.doStart(id, true);
    if (markOut > 0) {
        QElapsedTimer clock;
        clock.start();
        while (marked.count() < kLoopRounds && clock.elapsed() < kTimeoutMs)
            marked.wait(kTimeoutMs);
        engine.doStart(id, false);
    }
    if (stopped.isEmpty() && !stopped.wait(kTimeoutMs))
        return {};
    return {device.pcm(), int(marked.count())};
}

} // namespace

class TimelineTest : public QObject {
    Q_OBJECT
private slots:
    void secondsBecomeTimestampsAndBack();
    void wholeFileComesOutAsDecoded_data() { containers::addRows(); }
    void wholeFileComesOutAsDecoded();
    void seekStartsAtItsSample_data() { containers::addRows(); }
    void seekStartsAtItsSample();
    void loopRepeatsItsSentenceToTheSample_data() { containers::addRows(); }
    void loopRepeatsItsSentenceToTheSample();
    void heldLoopStopsAtItsEndUntilASeek();
};

void TimelineTest::secondsBecomeTimestampsAndBack()
{
    const Timeline flv{{1, 1000}, 0.025};
    QCOMPARE(flv.toTimestamp(1.0), 1025);
    QCOMPARE(flv.toTimestamp(0.0), 25);
    // A float a hair below 4.35 still names 4.35 s.
    QCOMPARE(flv.toTimestamp(double(4.35f)), 4375);
    QCOMPARE(flv.toTimestamp(-0.5), kNoTimestamp);
    QCOMPARE(flv.toSeconds(1025), 1.0);
    QCOMPARE(flv.toSeconds(10), 0.0); // before the sound: its start
    QCOMPARE(flv.toSeconds(kNoTimestamp), -1.0);

    const Timeline mp3{{1, 14112000}, 0.025057};
    QVERIFY(std::abs(mp3.toSeconds(mp3.toTimestamp(2.5)) - 2.5) < 1e-6);
    QCOMPARE(flv.rescale(1000, mp3.timeBase), 14112000);
    QCOMPARE(flv.rescale(kNoTimestamp, mp3.timeBase), kNoTimestamp);
}

// Everything from the first sample of the sound comes out, the decoders'
// last frames too, and then only silence.
void TimelineTest::wholeFileComesOutAsDecoded()
{
    const containers::Row row = containers::fetch();
    const Pcm reference = containers::reference(row);
    QVERIFY(containers::silenceEndsAtOneSecond(reference, row));
    const Pcm out = play(row.file).pcm;
    const QString difference = containers::compare(out, reference, row, 0.0, reference.frames());
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    QVERIFY2(containers::silentAfter(out, reference, row, 0.0), qPrintable(row.file));
}

// A seek before the start plays the file's own sound from the target on,
// sample for sample: nothing from before it, nothing lost, no decoder
// warming up on it.
void TimelineTest::seekStartsAtItsSample()
{
    const containers::Row row = containers::fetch();
    const Pcm reference = containers::reference(row);
    for (double target : {0.98, 2.7}) {
        const Pcm out = play(row.file, target).pcm;
        const QString difference = containers::compare(out, reference, row, target, reference.frames());
        QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("from %1 s: %2").arg(target).arg(difference)));
    }
}

// A looping sentence: the sound from the mark-in to the mark-out's very
// sample, over and over, nothing between the rounds.
void TimelineTest::loopRepeatsItsSentenceToTheSample()
{
    const containers::Row row = containers::fetch();
    const Pcm reference = containers::reference(row);
    const Played looped = play(row.file, kMarkIn, kMarkOut);
    QVERIFY2(looped.marksOut >= kLoopRounds, qPrintable(QString::number(looped.marksOut)));
    const qsizetype round = containers::frameAt(row, kMarkOut) - containers::frameAt(row, kMarkIn);
    QVERIFY2(looped.pcm.frames() >= kLoopRounds * round, qPrintable(QString::number(looped.pcm.frames())));
    for (qsizetype start = 0; start < looped.pcm.frames(); start += round) {
        const Pcm part = containers::frames(looped.pcm, start, round);
        const QString difference = containers::compare(part, reference, row, kMarkIn, part.frames());
        QVERIFY2(difference.isEmpty(),
                 qPrintable(QStringLiteral("round %1: %2").arg(start / round + 1).arg(difference)));
    }
}

// A loop held at its end plays one round to the mark-out's very sample,
// then nothing, however long it waits; a seek plays on from its target.
void TimelineTest::heldLoopStopsAtItsEndUntilASeek()
{
    const containers::Row row{QStringLiteral("seconds.wav")};
    const Pcm reference = containers::reference(row);
    CaptureDevice device;
    MediaEngine engine;
    QSignalSpy marked(&engine, &MediaEngine::sigMarkOut);
    QSignalSpy stopped(&engine, &MediaEngine::sigPlayStopped);
    MediaIdentifier id;
    id.path = testenv::media(row.file);
    id.audio = &device;
    engine.doOpen(id);
    engine.doSetInOut(id, kMarkIn, kMarkOut);
    engine.doSetLooping(id, true);
    engine.doSetLoopHold(id, true);
    engine.doSeekTime(id, kMarkIn);
    engine.doStart(id, true);
    QVERIFY(marked.wait(kTimeoutMs));
    QTest::qWait(int((kMarkOut - kMarkIn) * 1500)); // a round and a half
    QCOMPARE(marked.count(), 1);
    QVERIFY(stopped.isEmpty());
    const Pcm held = device.pcm();
    const qsizetype round = containers::frameAt(row, kMarkOut) - containers::frameAt(row, kMarkIn);
    QCOMPARE(held.frames(), round);
    const QString difference = containers::compare(held, reference, row, kMarkIn, round);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));

    engine.doSetLoopHold(id, false);
    engine.doSeekTime(id, kMarkIn);
    QVERIFY(marked.wait(kTimeoutMs));
    engine.doStart(id, false);
    QVERIFY(device.pcm().frames() >= 2 * round);
}

REPETA_TEST_MAIN(TimelineTest)
#include "tst_timeline.moc"
