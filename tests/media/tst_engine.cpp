// The engine's bookkeeping and its failures: identifiers that are not open,
// files that cannot be played, a file that goes away while it plays, a media
// stopped before it started, and one without sound.
#include "EngineFixture.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
constexpr int kTimeoutMs = 10000;
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

REPETA_TEST_MAIN(EngineTest)
#include "tst_engine.moc"
