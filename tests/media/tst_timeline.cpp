// Times to the sample: seconds against timestamps, where each container puts
// the start of its sound, seeks that start at their very sample, and files
// that come out whole.
#include "CaptureDevice.h"
#include "TestEnvironment.h"

#include "media/MediaEngine.h"
#include "decoder/Timeline.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace {

constexpr int kTimeoutMs = 10000;
constexpr double kOnsetLevel = 0.01; // of full scale: the tone has started

// Seconds to the first sample louder than kOnsetLevel, -1 for none.
double onset(const Pcm& pcm)
{
    for (qsizetype i = 0; i < pcm.frames(); ++i)
        if (std::abs(pcm.at(i, 0)) > kOnsetLevel * 32768)
            return double(i) / pcm.rate;
    return -1;
}

// Plays a file into a capture device, after an optional seek, to its end.
Pcm playAll(const QString& file, double seekTo = -1)
{
    CaptureDevice device;
    MediaEngine engine;
    QSignalSpy stopped(&engine, &MediaEngine::sigPlayStopped);
    MediaIdentifier id;
    id.path = testenv::media(file);
    id.audio = &device;
    engine.doOpen(id);
    if (seekTo >= 0)
        engine.doSeekTime(id, seekTo);
    engine.doStart(id, true);
    if (!stopped.wait(kTimeoutMs))
        return {};
    return device.pcm();
}

// Compares what the engine put out with ffmpeg's own decode from `offset`
// frames on: the same samples to the end of the file, then only silence.
QString differenceFromFile(const Pcm& out, const Pcm& reference, qsizetype offset)
{
    const qsizetype shared = reference.frames() - offset;
    if (out.frames() < shared)
        return QStringLiteral("%1 frames missing").arg(shared - out.frames());
    int worst = 0;
    for (qsizetype i = 0; i < shared; ++i)
        for (int channel = 0; channel < out.channels; ++channel)
            worst = std::max(worst, std::abs(out.at(i, channel) - reference.at(offset + i, channel)));
    if (worst > 1)
        return QStringLiteral("samples differ by %1").arg(worst);
    for (qsizetype i = shared; i < out.frames(); ++i)
        if (out.at(i, 0) != 0 || out.at(i, 1) != 0)
            return QStringLiteral("sound after the end, at frame %1").arg(i);
    return {};
}

} // namespace

class TimelineTest : public QObject {
    Q_OBJECT
private slots:
    void secondsBecomeTimestampsAndBack();
    void wholeFileComesOutAsDecoded_data();
    void wholeFileComesOutAsDecoded();
    void seekStartsAtItsSample_data();
    void seekStartsAtItsSample();
    void seekedSoundIsTheFilesOwn();
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

void TimelineTest::wholeFileComesOutAsDecoded_data()
{
    QTest::addColumn<QString>("file");
    for (const char* file : {"onset.mp3", "onset.flv", "onset.wmv", "onset.rm"})
        QTest::newRow(file) << QString::fromLatin1(file);
}

// Everything decoded comes out, the decoders' last frames too.
void TimelineTest::wholeFileComesOutAsDecoded()
{
    QFETCH(QString, file);
    const Pcm pcm = playAll(file);
    QVERIFY(pcm.frames() > 0);
    const QString difference = differenceFromFile(pcm, decodeFile(testenv::media(file)), 0);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TimelineTest::seekStartsAtItsSample_data()
{
    wholeFileComesOutAsDecoded_data();
}

// The files are a second of silence and two of tone. A seek to 0.98 s puts
// out 20 ms of silence before the tone: the seconds of the LRC count from the first sample of the sound, whatever delay the
// container leaves before it.
void TimelineTest::seekStartsAtItsSample()
{
    QFETCH(QString, file);
    const Pcm pcm = playAll(file, 0.98);
    QVERIFY(pcm.frames() > 0);
    const double start = onset(pcm);
    QVERIFY2(std::abs(start - 0.020) <= 0.002, qPrintable(QStringLiteral("tone after %1 s").arg(start)));
}

// What comes out after a seek is the file's own sound from the target on,
// sample for sample: nothing from before it, nothing lost, no decoder
// warming up on it.
void TimelineTest::seekedSoundIsTheFilesOwn()
{
    const QString file = QStringLiteral("steps.mp3");
    const Pcm reference = decodeFile(testenv::media(file));
    const Pcm seeked = playAll(file, 3.5);
    QVERIFY(seeked.frames() > reference.rate);
    const QString difference = differenceFromFile(seeked, reference, qsizetype(std::llround(3.5 * reference.rate)));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

REPETA_TEST_MAIN(TimelineTest)
#include "tst_timeline.moc"
