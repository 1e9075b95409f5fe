// The engine's bookkeeping and its failures: identifiers that are not open,
// files that cannot be played, a file that goes away while it plays, a media
// stopped before it started, one without sound, files cut short, and cover
// art that is no video.
#include "CaptureDevice.h"
#include "EngineFixture.h"
#include "TestEnvironment.h"
#include "tests/decoder/ContainerTable.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kTimeoutMs = 10000;
// What ffmpeg and the engine make of a damaged end may differ by a frame.
constexpr double kCutShortToleranceSeconds = 0.1;

// The video surface, as far as the engine uses it: whether it was switched
// on, and what it was shown.
class SurfaceProbe : public VideoDev {
public:
    void pushFrame(const VideoPicture&) override { ++pictures; }
    void setAspect(float) override {}
    void setFormat(int, int, int, bool on) override { switchedOn = switchedOn || on; }
    void resetClock() override {}

    bool switchedOn = false;
    int pictures = 0;
};

// Seconds up to the last sample that is not silent.
double soundSeconds(const Pcm& pcm)
{
    qsizetype end = pcm.samples.size();
    while (end > 0 && pcm.samples[end - 1] == 0)
        --end;
    return double(end / pcm.channels) / pcm.rate;
}

// Plays a file to its end into a capture device, as fast as it decodes.
// False when the media does not end by itself.
bool playToTheEnd(const QString& file, CaptureDevice& sound, VideoDev* surface = nullptr)
{
    MediaEngine engine;
    QSignalSpy stopped(&engine, &MediaEngine::sigPlayStopped);
    MediaIdentifier id;
    id.path = testenv::media(file);
    id.audio = &sound;
    id.video = surface;
    engine.doOpen(id);
    engine.doStart(id, true);
    return stopped.wait(kTimeoutMs) && stopped.count() == 1;
}

} // namespace

class EngineTest : public QObject {
    Q_OBJECT
private slots:
    void identifiersThatAreNotOpenAreIgnored();
    void marksDoNotNameADifferentMedia();
    void openingTwiceKeepsTheFirst();
    void filesThatCannotBeOpenedStayWithoutStreams_data();
    void filesThatCannotBeOpenedStayWithoutStreams();
    void truncatedFilePlaysWhatItHas();
    void fileDeletedWhilePlayingEndsNormally();
    void mediaStoppedBeforeItStartedIsReported();
    void mediaWithoutSoundHasNoClock();
    void coverArtIsNoVideo_data();
    void coverArtIsNoVideo();
    void filesCutShortOrSilentEndByThemselves_data();
    void filesCutShortOrSilentEndByThemselves();
};

void EngineTest::identifiersThatAreNotOpenAreIgnored()
{
    EngineFixture fixture;
    MediaIdentifier unknown;
    unknown.path = testenv::media(QStringLiteral("sine1k.mp3"));
    QVERIFY(!fixture.engine->doStart(unknown, true));
    QVERIFY(!fixture.engine->doStart(unknown, false));
    QVERIFY(!fixture.engine->doPause(unknown, true));
    fixture.engine->doSeekTime(unknown, 1.0);
    fixture.engine->doSetInOut(unknown, 0.5, 1.0);
    fixture.engine->doSetVolume(unknown, 0.3f);
    QCOMPARE(fixture.engine->currentTime(unknown), -1.0);
    QCOMPARE(fixture.engine->duration(unknown), -1.0);
    EngineFixture::run(100);
    QCOMPARE(fixture.stopped.count(), 0);
}

void EngineTest::marksDoNotNameADifferentMedia()
{
    EngineFixture fixture;
    const MediaIdentifier id = fixture.open(testenv::media(QStringLiteral("sine1k.mp3")));
    // The same file with a device of its own is another media.
    const MediaIdentifier second = fixture.open(id.path);
    QVERIFY(second < id || id < second);
    MediaIdentifier marked = id;
    marked.markIn = 0.5f;
    marked.markOut = 1.5f;
    QVERIFY(qAbs(fixture.engine->duration(marked) - 3.03) < 0.01);
    QVERIFY(fixture.engine->doStart(marked, true));
    QVERIFY(fixture.waitStopped(1, kTimeoutMs));
    QCOMPARE(fixture.stopped.at(0).at(0).value<MediaIdentifier>(), id);

    QVERIFY(!fixture.engine->doStart(id, true)); // that one has ended
    QVERIFY(fixture.engine->doStart(second, false));
    QVERIFY(fixture.waitStopped(2, kTimeoutMs));
}

void EngineTest::openingTwiceKeepsTheFirst()
{
    EngineFixture fixture;
    const MediaIdentifier id = fixture.open(testenv::media(QStringLiteral("sine1k.mp3")));
    fixture.engine->doSetInOut(id, -1, 1.0);
    fixture.engine->doOpen(id); // no effect: the marks stay
    QVERIFY(fixture.engine->doStart(id, true));
    QVERIFY(fixture.markedOut.wait(kTimeoutMs));
    fixture.engine->doStart(id, false);
    QVERIFY(fixture.waitStopped(1, kTimeoutMs));
    EngineFixture::run(100);
    QCOMPARE(fixture.stopped.count(), 1);
}

void EngineTest::filesThatCannotBeOpenedStayWithoutStreams_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("empty") << testenv::media(QStringLiteral("empty.mp3"));
    QTest::newRow("text") << testenv::media(QStringLiteral("text.mp3"));
    QTest::newRow("missing") << testenv::media(QStringLiteral("no such file.mp3"));
}

// Such a media is open but has nothing to play: it never runs, reports
// nothing, and goes when the engine does.
void EngineTest::filesThatCannotBeOpenedStayWithoutStreams()
{
    QFETCH(QString, path);
    EngineFixture fixture;
    const MediaIdentifier id = fixture.open(path);
    QVERIFY(fixture.engine->doStart(id, true));
    QVERIFY(fixture.engine->doPause(id, true));
    QVERIFY(fixture.engine->doPause(id, false));
    fixture.engine->doSeekTime(id, 1.0);
    QCOMPARE(fixture.engine->currentTime(id), -1.0);
    QCOMPARE(fixture.engine->duration(id), -1.0);
    QVERIFY(fixture.engine->doStart(id, false));
    EngineFixture::run(300);
    QCOMPARE(fixture.stopped.count(), 0);
    fixture.engine.reset();
    QCOMPARE(fixture.stopped.count(), 1);
}

// 20000 bytes of a 3 s file: a little over a second of it plays, then the
// media ends as usual.
void EngineTest::truncatedFilePlaysWhatItHas()
{
    EngineFixture fixture;
    QElapsedTimer clock;
    clock.start();
    fixture.play(testenv::media(QStringLiteral("truncated.mp3")));
    QVERIFY(fixture.waitStopped(1, kTimeoutMs));
    QVERIFY2(clock.elapsed() > 1000 && clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    EngineFixture::run(200);
    QCOMPARE(fixture.stopped.count(), 1);
}

void EngineTest::fileDeletedWhilePlayingEndsNormally()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doomed.mp3"));
    QVERIFY(QFile::copy(testenv::media(QStringLiteral("sine1k.mp3")), path));
    EngineFixture fixture;
    const MediaIdentifier id = fixture.play(path);
    EngineFixture::run(500);
    QVERIFY(QFile::remove(path));
    QVERIFY(fixture.waitStopped(1, kTimeoutMs));
    EngineFixture::run(200);
    QCOMPARE(fixture.stopped.count(), 1);
    QCOMPARE(fixture.stopped.at(0).at(0).value<MediaIdentifier>(), id);
}

// Opened and stopped without ever starting: it still ends with one report,
// so that its device is released.
void EngineTest::mediaStoppedBeforeItStartedIsReported()
{
    EngineFixture fixture;
    const MediaIdentifier id = fixture.open(testenv::media(QStringLiteral("video.flv")));
    QVERIFY(fixture.engine->doStart(id, false));
    QVERIFY(fixture.engine->doStart(id, false));
    QVERIFY(fixture.waitStopped(1, kTimeoutMs));
    EngineFixture::run(200);
    QCOMPARE(fixture.stopped.count(), 1);
    QVERIFY(!fixture.engine->doStart(id, true));
}

void EngineTest::mediaWithoutSoundHasNoClock()
{
    EngineFixture fixture;
    const MediaIdentifier id = fixture.open(testenv::media(QStringLiteral("noaudio.flv")));
    QCOMPARE(fixture.engine->currentTime(id), -1.0);
    QVERIFY(qAbs(fixture.engine->duration(id) - 3.0) < 0.05);
    // Without a surface nobody shows its pictures: nothing keeps it running.
    QVERIFY(fixture.engine->doStart(id, true));
    QVERIFY(fixture.waitStopped(1, 1000));
}

void EngineTest::coverArtIsNoVideo_data()
{
    QTest::addColumn<containers::Row>("row");
    QTest::newRow("m4a") << containers::Row{QStringLiteral("cover.m4a")};
    QTest::newRow("mp3") << containers::Row{QStringLiteral("cover.mp3")};
}

// The picture of an M4A or MP3 is not shown as video: the surface stays off,
// and the whole sound plays.
void EngineTest::coverArtIsNoVideo()
{
    const containers::Row row = containers::fetch();
    CaptureDevice sound;
    SurfaceProbe surface;
    QVERIFY(playToTheEnd(row.file, sound, &surface));
    QVERIFY(!surface.switchedOn);
    QCOMPARE(surface.pictures, 0);
    const Pcm reference = containers::reference(row);
    const QString difference = containers::compare(sound.pcm(), reference, row, 0.0, reference.frames());
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    QVERIFY(containers::silentAfter(sound.pcm(), reference, row, 0.0));
}

void EngineTest::filesCutShortOrSilentEndByThemselves_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("video only") << QStringLiteral("noaudio.mp4");
    QTest::newRow("cover only") << QStringLiteral("coveronly.m4a");
    QTest::newRow("m4a cut short") << QStringLiteral("truncated.m4a");
    QTest::newRow("ogg cut short") << QStringLiteral("truncated.ogg");
    QTest::newRow("flac cut short") << QStringLiteral("truncated.flac");
    QTest::newRow("mkv cut short") << QStringLiteral("truncated.mkv");
}

// Without sound there is nothing to play; cut short, a file plays the sound
// it still has. Either way the media ends with one report, never hangs.
void EngineTest::filesCutShortOrSilentEndByThemselves()
{
    QFETCH(QString, file);
    CaptureDevice sound;
    QVERIFY(playToTheEnd(file, sound));
    const double played = soundSeconds(sound.pcm());
    const double decoded = soundSeconds(decodeFile(testenv::media(file)));
    QVERIFY2(std::abs(played - decoded) < kCutShortToleranceSeconds,
             qPrintable(QStringLiteral("%1 s played, %2 s decoded").arg(played).arg(decoded)));
}

REPETA_TEST_MAIN(EngineTest)
#include "tst_engine.moc"
