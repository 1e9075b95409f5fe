// The recorder against the test server's microphone, a 440 Hz tone: what it
// records decodes to that tone at the level the gain gives, for as long as it
// ran, and every way a recording can fail still ends it with finished().
#include "Levels.h"
#include "record/PaRecThread.h"

#include "SoundCapture.h"
#include "TestEnvironment.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include <unistd.h>

namespace {
constexpr double kMicrophoneHz = 440;
constexpr int kFinishTimeoutMs = 5000;
// Start-up of PortAudio and of the stream before the first block arrives.
constexpr double kStartAllowanceS = 0.3;
// The finish takes effect after the current block and wakes the thread.
constexpr double kFinishAllowanceS = 0.5;
constexpr double kLevelToleranceDb = 0.3;
// The record-volume control's fraction times this is the gain.
constexpr float kGainScale = 327670.0f;

struct Take {
    QString path;
    bool finished = false;
    double elapsedS = 0; // start() to finished()
    double capturedS = 0;
    qint64 bytes = 0;
    QString error;
};

// Everything written to stderr while it lives, through the file descriptor,
// as the sound library's back ends write.
class StderrCapture {
public:
    explicit StderrCapture(const QString& path)
        : m_file(std::fopen(QFile::encodeName(path).constData(), "w+"))
        , m_saved(::dup(STDERR_FILENO))
    {
        std::fflush(stderr);
        if (m_file)
            ::dup2(::fileno(m_file), STDERR_FILENO);
    }
    ~StderrCapture() { restore(); }
    QByteArray text()
    {
        restore();
        QByteArray all;
        if (m_file) {
            std::rewind(m_file);
            char buffer[4096];
            for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, m_file)) > 0;)
                all.append(buffer, qsizetype(n));
            std::fclose(m_file);
            m_file = nullptr;
        }
        return all;
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }
    std::FILE* m_file;
    int m_saved;
};

// Suspends the test microphone, so that it delivers nothing, until destroyed.
struct SuspendedMicrophone {
    const bool suspended = suspend(true);
    ~SuspendedMicrophone() { suspend(false); }
    static bool suspend(bool on)
    {
        return exitCodeOf({QStringLiteral("pactl"), QStringLiteral("suspend-source"), QStringLiteral("mic"),
                           on ? QStringLiteral("1") : QStringLiteral("0")}) == 0;
    }
};
} // namespace

class RecorderTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(testenv::soundServerRunning());
        SoundCapture microphone(QStringLiteral("mic"));
        QVERIFY(microphone.start());
        QTest::qWait(1000);
        const Pcm heard = microphone.stop();
        QVERIFY(qAbs(toneFrequency(heard) - kMicrophoneHz) < 1);
        m_microphoneDb = levelDb(heard);
    }

    void twoSecondsDecodeToTheMicrophonesToneAtTheGainsLevel()
    {
        PaRecThread recorder;
        const float gain = 0.05f * kGainScale; // half of unity
        recorder.setGain(gain);
        const QString path = m_dir.filePath(QStringLiteral("two seconds.mp3"));
        const Take take = record(recorder, path, 2000);
        QVERIFY(take.finished);
        QVERIFY2(take.error.isEmpty(), qPrintable(take.error));
        QCOMPARE(QFileInfo(path).size(), take.bytes);

        QVERIFY2(take.capturedS > 2.0 - kStartAllowanceS && take.capturedS < 2.0 + kFinishAllowanceS,
                 qPrintable(QString::number(take.capturedS)));
        QVERIFY(take.capturedS <= take.elapsedS);
        expectRecorded(take, gain);
    }

    // Recording after recording, and the sound library's servers are not
    // probed again: nothing reaches the terminal.
    void oneRecorderServesRecordingAfterRecording()
    {
        StderrCapture terminal(m_dir.filePath(QStringLiteral("stderr.txt")));
        PaRecThread recorder;
        const float fractions[] = {0.1f, 0.025f, 0.2f};
        for (int i = 0; i < 3; ++i) {
            const float gain = fractions[i] * kGainScale;
            recorder.setGain(gain);
            QTimer::singleShot(200, &recorder, [&recorder] { recorder.setGain(kGainScale); });
            const Take take = record(recorder, m_dir.filePath(QStringLiteral("take %1.mp3").arg(i)), 600);
            QVERIFY(take.finished);
            QVERIFY2(take.error.isEmpty(), qPrintable(take.error));
            QVERIFY(take.capturedS > 0.6 - kStartAllowanceS);
            // A gain set while recording waits for the next start.
            expectRecorded(take, gain);
        }
        const QByteArray printed = terminal.text();
        QVERIFY2(printed.isEmpty(), printed.constData());
    }

    void aFinishRightAfterStartEndsAfterOneBlock()
    {
        PaRecThread recorder;
        const QString path = m_dir.filePath(QStringLiteral("instant.mp3"));
        const Take take = record(recorder, path, 0);
        QVERIFY(take.finished);
        QVERIFY2(take.error.isEmpty(), qPrintable(take.error));
        QVERIFY2(take.capturedS > 0 && take.capturedS <= 2 * 512.0 / 44100, qPrintable(QString::number(take.capturedS)));
        QVERIFY(take.bytes > 0);
        QVERIFY(decodeFile(path).frames() > 0);
    }

    void aFinishRequestedWhileIdleDoesNotCutTheNextRecording()
    {
        PaRecThread recorder;
        recorder.requestFinish();
        const Take take = record(recorder, m_dir.filePath(QStringLiteral("after stale.mp3")), 600);
        QVERIFY(take.finished);
        QVERIFY2(take.capturedS > 0.6 - kStartAllowanceS, qPrintable(QString::number(take.capturedS)));
    }

    void aStalledMicrophoneStillLetsTheRecordingFinish()
    {
        PaRecThread recorder;
        recorder.setGain(0.1f * kGainScale);
        const QString path = m_dir.filePath(QStringLiteral("stalled.mp3"));
        std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "w+b");
        QVERIFY(file);
        bool finished = false;
        connect(&recorder, &QThread::finished, this, [&finished] { finished = true; });
        recorder.setOutputFile(file);
        recorder.start(QThread::InheritPriority);
        QTRY_VERIFY(recorder.framesCaptured() > 44100 / 2);
        {
            const SuspendedMicrophone microphone;
            QVERIFY(microphone.suspended);
            QTest::qWait(300);
            recorder.requestFinish();
            QTRY_VERIFY_WITH_TIMEOUT(finished, kFinishTimeoutMs);
        }
        std::fclose(file);
        QVERIFY2(recorder.succeeded(), qPrintable(recorder.errorText()));
        Take take;
        take.path = path;
        take.capturedS = double(recorder.framesCaptured()) / 44100;
        expectRecorded(take, 0.1f * kGainScale);
    }

    void aMissingFileIsReported()
    {
        PaRecThread recorder;
        bool finished = false;
        connect(&recorder, &QThread::finished, this, [&finished] { finished = true; });
        recorder.setOutputFile(nullptr);
        recorder.start(QThread::InheritPriority);
        QTRY_VERIFY_WITH_TIMEOUT(finished, kFinishTimeoutMs);
        QCOMPARE(recorder.errorText(), QStringLiteral("NULL file pointer."));
        QVERIFY(!recorder.succeeded());
    }

    void aFullDiskEndsTheRecordingAsAFailure()
    {
        PaRecThread recorder;
        std::FILE* full = std::fopen("/dev/full", "w+b");
        QVERIFY(full);
        bool finished = false;
        connect(&recorder, &QThread::finished, this, [&finished] { finished = true; });
        recorder.setOutputFile(full);
        recorder.start(QThread::InheritPriority);
        // No finish request: the recorder gives up on the file by itself.
        QTRY_VERIFY_WITH_TIMEOUT(finished, kFinishTimeoutMs);
        std::fclose(full);
        QCOMPARE(recorder.errorText(), QStringLiteral("write fail: No space left on device"));
        QVERIFY(!recorder.succeeded());
    }

private:
    // Records for holdMs, then asks the recorder to finish and waits for it.
    Take record(PaRecThread& recorder, const QString& path, int holdMs)
    {
        Take take;
        take.path = path;
        std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "w+b");
        if (!file)
            return take;
        bool finished = false;
        const QMetaObject::Connection watch =
            connect(&recorder, &QThread::finished, this, [&finished] { finished = true; });
        QElapsedTimer clock;
        clock.start();
        recorder.setOutputFile(file);
        recorder.start(QThread::InheritPriority);
        QTest::qWait(holdMs);
        recorder.requestFinish();
        take.finished = QTest::qWaitFor([&finished] { return finished; }, kFinishTimeoutMs);
        take.elapsedS = double(clock.elapsed()) / 1000;
        disconnect(watch);
        std::fclose(file);
        take.capturedS = double(recorder.framesCaptured()) / 44100;
        take.bytes = recorder.bytesWritten();
        take.error = recorder.errorText();
        return take;
    }

    // Everything captured is in the file, the encoder's last frames too: the
    // microphone's tone in both channels, at its level changed by the gain.
    void expectRecorded(const Take& take, float gain)
    {
        const Pcm sound = decodeFile(take.path);
        const SoundSpan span = soundSpan(sound);
        QVERIFY2(qAbs(span.length() - take.capturedS) < 0.03,
                 qPrintable(QStringLiteral("%1 s decoded of %2 s").arg(span.length()).arg(take.capturedS)));
        const Pcm steady = sound.slice(span.start + 0.05, span.end - 0.05);
        const double expectedDb = m_microphoneDb + levels::gainDb(gain) + levels::kLameScaleDb;
        for (int channel : {0, 1}) {
            QVERIFY2(qAbs(toneFrequency(steady, channel) - kMicrophoneHz) < 1,
                     qPrintable(QString::number(toneFrequency(steady, channel))));
            QVERIFY2(qAbs(levelDb(steady, channel) - expectedDb) < kLevelToleranceDb,
                     qPrintable(QStringLiteral("channel %1: %2 dB, expected %3 dB")
                                    .arg(channel)
                                    .arg(levelDb(steady, channel))
                                    .arg(expectedDb)));
        }
    }

    QTemporaryDir m_dir;
    double m_microphoneDb = 0;
};

REPETA_TEST_MAIN(RecorderTest)
#include "tst_recorder.moc"
