// The comparison export: model sentences and the learner's takes, one after
// the other, re-encoded into one MP3 from models in any codec, and a failed
// export that leaves nothing behind.
#include "ControllerFixture.h"

#include "SoundAnalysis.h"
#include "Subprocess.h"

#include "decoder/AudioDecoder.h"

#include <QFile>

namespace {

const QString kTarget = QStringLiteral("out/跟读对照.mp3");
constexpr double kWindowSeconds = 0.01;
constexpr double kToleranceSeconds = 0.05;
constexpr double kPauseSeconds = 0.5;

// A take as the learner might have left it: a tone at a rate and channel
// count of its own, as MP3.
void writeTake(const QString& path, int hz, double seconds, int rate, int channels)
{
    QCOMPARE(exitCodeOf({QStringLiteral("ffmpeg"), QStringLiteral("-nostdin"), QStringLiteral("-v"),
                         QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                         QStringLiteral("-i"),
                         QStringLiteral("sine=frequency=%1:sample_rate=%2:duration=%3").arg(hz).arg(rate).arg(seconds),
                         QStringLiteral("-ac"), QString::number(channels), QStringLiteral("-c:a"),
                         QStringLiteral("libmp3lame"), path}),
             0);
}

// The runs of sound in a decoded file, split at every silent window.
QVector<SoundSpan> soundRuns(const Pcm& pcm)
{
    QVector<SoundSpan> runs;
    for (double at = 0; at + kWindowSeconds <= pcm.seconds(); at += kWindowSeconds) {
        const bool loud = levelDb(pcm.slice(at, at + kWindowSeconds)) > -40.0;
        if (loud && (runs.isEmpty() || runs.last().end < at - kWindowSeconds / 2))
            runs.append({at, at + kWindowSeconds});
        else if (loud)
            runs.last().end = at + kWindowSeconds;
    }
    return runs;
}

struct Expected {
    double hz;
    double seconds;
    double silenceAfter; // to the next run, or to the end of the file
};

// Tones, lengths and the silences between them, to the window.
QString compare(const Pcm& pcm, const QVector<Expected>& expected)
{
    const QVector<SoundSpan> runs = soundRuns(pcm);
    if (runs.size() != expected.size())
        return QStringLiteral("%1 runs of sound, expected %2").arg(runs.size()).arg(expected.size());
    for (int i = 0; i < runs.size(); ++i) {
        const SoundSpan& run = runs[i];
        const double next = i + 1 < runs.size() ? runs[i + 1].start : pcm.seconds();
        const Pcm steady = pcm.slice(run.start + 0.05, run.end - 0.05);
        for (int channel : {0, 1}) {
            if (qAbs(toneFrequency(steady, channel) - expected[i].hz) > expected[i].hz * 0.01)
                return QStringLiteral("run %1: %2 Hz, expected %3").arg(i).arg(toneFrequency(steady, channel)).arg(expected[i].hz);
        }
        if (qAbs(run.length() - expected[i].seconds) > kToleranceSeconds)
            return QStringLiteral("run %1: %2 s, expected %3").arg(i).arg(run.length()).arg(expected[i].seconds);
        if (qAbs(next - run.end - expected[i].silenceAfter) > kToleranceSeconds)
            return QStringLiteral("after run %1: %2 s of silence, expected %3").arg(i).arg(next - run.end).arg(expected[i].silenceAfter);
    }
    return QString();
}

} // namespace

class ComparisonExportTest : public ControllerFixture {
    Q_OBJECT
private:
    QString take(int sentence, const QString& material) const
    {
        return QStringLiteral("files/%1/shadowpieces/recordpiece%2.mp3").arg(material).arg(sentence, 3, 10, QLatin1Char('0'));
    }

    bool exportTo(const QString& target, QString* failed = nullptr)
    {
        FakeExporter exporter(log());
        exporter.comparisonTarget = target;
        return m_repeta->exportRecordings(&exporter, failed);
    }

private slots:
    void initTestCase() { enterHome(); }
    void cleanupTestCase() { leaveHome(); }
    void cleanup() { destroyController(); }

    // Sentences 1 and 3 of the four tones (750 and 1250 Hz, each 1.5 s of
    // tone and 0.5 s of quiet) with takes at other rates.
    void modelAndTakesAlternate()
    {
        openToneSentences(QStringLiteral("./workspace/sentences.mp3"));
        writeTake(take(1, QStringLiteral("sentences.mp3")), 2000, 1.0, 22050, 1);
        writeTake(take(3, QStringLiteral("sentences.mp3")), 1600, 0.7, 48000, 2);
        QVERIFY(QDir().mkpath(QStringLiteral("out")));
        QVERIFY(exportTo(kTarget));

        const QString mismatch = compare(decodeFile(kTarget), {{750, 1.5, 0.5 + kPauseSeconds},
                                                               {2000, 1.0, kPauseSeconds},
                                                               {1250, 1.5, 0.5 + kPauseSeconds},
                                                               {1600, 0.7, kPauseSeconds}});
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
        // One stream encoded here, not the takes' own frames joined on.
        AudioDecoder written;
        QVERIFY(written.open(QFile::encodeName(kTarget)));
        QCOMPARE(written.sampleRate(), 44100);
        QCOMPARE(written.channels(), 2);
        QCOMPARE(QDir(QStringLiteral("out")).entryList(QDir::Files), QStringList{QStringLiteral("跟读对照.mp3")});
    }

    void anyModelIsDecoded_data()
    {
        QTest::addColumn<QString>("material");
        QTest::newRow("aac") << QStringLiteral("seconds.m4a");
        QTest::newRow("opus") << QStringLiteral("seconds.opus");
    }

    // A second of quiet, then 400, 600 and 800 Hz for a second each: the
    // sentence from 2 s to 3 s is the 600 Hz second, cut to the sample.
    void anyModelIsDecoded()
    {
        QFETCH(QString, material);
        resetHome();
        const QString path = QStringLiteral("./workspace/") + material;
        copyMedia(material, path);
        testenv::writeFile(QStringLiteral("./workspace/%1.lrc").arg(QFileInfo(material).completeBaseName()),
                           "[00:01.00]One\n[00:02.00]Two\n[00:03.00]Three\n");
        makeController();
        m_repeta->openMaterial(path);
        QCOMPARE(m_repeta->sentenceCount(), 3u);
        writeTake(take(1, material), 1500, 0.6, 44100, 1);
        QVERIFY(exportTo(QStringLiteral("comparison.mp3")));
        const QString mismatch = compare(decodeFile(QStringLiteral("comparison.mp3")),
                                         {{600, 1.0, kPauseSeconds}, {1500, 0.6, kPauseSeconds}});
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    }

    // A target that cannot be created, and a take that cannot be decoded
    // half-way: reported, and the folder holds what it held before.
    void failuresLeaveNothing()
    {
        openToneSentences(QStringLiteral("./workspace/sentences.mp3"));
        writeTake(take(0, QStringLiteral("sentences.mp3")), 2000, 0.5, 44100, 2);
        QString failed;
        const QString nowhere = QStringLiteral("no/such/folder/跟读对照.mp3");
        QVERIFY(!exportTo(nowhere, &failed));
        QCOMPARE(failed, nowhere);
        QVERIFY(!QFileInfo::exists(QStringLiteral("no")));

        QVERIFY(QDir().mkpath(QStringLiteral("out")));
        testenv::writeFile(kTarget, "an earlier export");
        testenv::writeFile(take(2, QStringLiteral("sentences.mp3")), QByteArray(4096, '\0'));
        failed.clear();
        QVERIFY(!exportTo(kTarget, &failed));
        QCOMPARE(failed, kTarget);
        QCOMPARE(testenv::readFile(kTarget), QByteArray("an earlier export"));
        QCOMPARE(QDir(QStringLiteral("out")).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("跟读对照.mp3")});
    }
};

REPETA_TEST_MAIN(ComparisonExportTest)
#include "tst_comparisonexport.moc"
