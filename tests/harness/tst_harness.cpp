// The harness itself: the generated media are what the tests assume, and the
// sound server records what is played and what the test microphone sends.
#include "SoundCapture.h"
#include "TestEnvironment.h"

#include <QFileInfo>

class HarnessTest : public QObject {
    Q_OBJECT
private slots:
    void tonesHaveTheirFrequencyAndLength()
    {
        const Pcm sine = decodeFile(testenv::media(QStringLiteral("sine1k.mp3")));
        QVERIFY(qAbs(sine.seconds() - 3.0) < 0.05);
        QVERIFY2(qAbs(toneFrequency(sine) - 1000) < 2, qPrintable(QString::number(toneFrequency(sine))));
        QVERIFY(qAbs(toneFrequency(sine, 1) - 1000) < 2);

        const Pcm silence = decodeFile(testenv::media(QStringLiteral("silence.mp3")));
        QVERIFY(silence.seconds() > 2.9);
        QCOMPARE(soundSpan(silence).start, -1.0);
    }

    void eachSecondOfTheStepsHasItsOwnTone()
    {
        const Pcm steps = decodeFile(testenv::media(QStringLiteral("steps.mp3")));
        QVERIFY(qAbs(steps.seconds() - 10.0) < 0.05);
        for (int k = 0; k < 10; ++k) {
            const double heard = toneFrequency(steps.slice(k + 0.1, k + 0.9));
            QVERIFY2(qAbs(heard - (300 + 100 * k)) < 3, qPrintable(QStringLiteral("second %1: %2 Hz").arg(k).arg(heard)));
        }
    }

    void speechStartsWhereItsLrcSays()
    {
        const Pcm speech = decodeFile(testenv::media(QStringLiteral("speech.mp3")));
        QFile lrc(testenv::media(QStringLiteral("speech.lrc")));
        QVERIFY(lrc.open(QIODevice::ReadOnly));
        QVector<double> starts;
        while (!lrc.atEnd()) {
            const QString line = QString::fromUtf8(lrc.readLine());
            if (line.startsWith(QLatin1String("[0")))
                starts.append(line.mid(1, 2).toInt() * 60 + line.mid(4, 5).toDouble());
        }
        QCOMPARE(starts.size(), 3);
        for (int i = 0; i < starts.size(); ++i) {
            const double end = i + 1 < starts.size() ? starts[i + 1] : speech.seconds();
            const SoundSpan spoken = soundSpan(speech.slice(starts[i], end), -45);
            QVERIFY2(spoken.start >= 0 && spoken.start < 0.3, qPrintable(QString::number(spoken.start)));
            // Every sentence ends in the pause that separates it from the next.
            QVERIFY(spoken.end < end - starts[i] - 0.1);
        }
    }

    void videosAndBrokenFilesExist()
    {
        for (const char* name : {"video.flv", "video.wmv", "video.rm", "wide.flv"}) {
            const Pcm sound = decodeFile(testenv::media(QLatin1String(name)));
            QVERIFY2(qAbs(toneFrequency(sound.slice(0.5, 2.0)) - 1000) < 3, name);
        }
        QCOMPARE(QFileInfo(testenv::media(QStringLiteral("empty.mp3"))).size(), 0);
        QVERIFY(QFileInfo(testenv::media(QStringLiteral("truncated.mp3"))).size() <
                QFileInfo(testenv::media(QStringLiteral("sine1k.mp3"))).size());
        QVERIFY(decodeFile(testenv::media(QStringLiteral("text.mp3"))).samples.isEmpty());
    }

    void theNullSinkMonitorRecordsWhatIsPlayed()
    {
        QVERIFY(testenv::soundServerRunning());
        SoundCapture capture;
        QVERIFY(capture.start());
        QVERIFY(playWithPaplay(testenv::media(QStringLiteral("sine1k.wav"))));
        const Pcm heard = capture.stop();
        const SoundSpan span = soundSpan(heard, -40);
        QVERIFY2(qAbs(span.length() - 3.0) < 0.15, qPrintable(QString::number(span.length())));
        QVERIFY(qAbs(toneFrequency(heard.slice(span.start + 0.1, span.end - 0.1)) - 1000) < 2);
        const Pcm file = decodeFile(testenv::media(QStringLiteral("sine1k.wav")));
        QVERIFY(qAbs(levelDb(heard.slice(span.start + 0.1, span.end - 0.1)) - levelDb(file)) < 0.5);
    }

    void theTestMicrophonePlaysA440HzTone()
    {
        SoundCapture microphone(QStringLiteral("mic"));
        QVERIFY(microphone.start());
        QTest::qWait(1000);
        const Pcm heard = microphone.stop();
        QVERIFY(heard.seconds() > 0.5);
        QVERIFY(qAbs(toneFrequency(heard) - 440) < 2);
    }
};

REPETA_TEST_MAIN(HarnessTest)
#include "tst_harness.moc"
