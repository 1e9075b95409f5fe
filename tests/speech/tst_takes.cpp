// The take check of the hands-free drill and the bounds for trimming, on
// generated takes: half a second of room noise, one sentence, half a second
// of room noise (make_speech.sh --takes).
#include "TestEnvironment.h"
#include "speech/SpeechScan.h"

#include <cmath>

namespace {

QString media(const char* name) { return QStringLiteral(SPEECH_MEDIA_DIR "/") + QLatin1String(name); }

constexpr double kLeadSeconds = 0.5; // room noise around the sentence
constexpr double kBoundsToleranceSeconds = 0.05;

} // namespace

class TakesTest : public QObject {
    Q_OBJECT
private slots:
    void takeHoldsSpeech_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("speech");
        QTest::newRow("spoken") << media("take_spoken.mp3") << true;
        QTest::newRow("quieter voice") << media("take_quiet.mp3") << true;
        QTest::newRow("silent") << media("take_silent.mp3") << false;
        QTest::newRow("room noise") << media("take_noise.mp3") << false;
    }

    void takeHoldsSpeech()
    {
        QFETCH(QString, file);
        QFETCH(bool, speech);
        QString error = QStringLiteral("stale");
        QCOMPARE(holdsSpeech(file, &error), speech);
        QVERIFY2(error.isEmpty(), qPrintable(error));

        // Trimming keeps the sentence and drops the room noise around it.
        const SpeechScan bounds = speechBounds(file);
        QVERIFY2(bounds.ok, qPrintable(bounds.error));
        QCOMPARE(bounds.spans.size(), speech ? 1 : 0);
        if (speech) {
            QVERIFY(std::abs(bounds.spans[0].start - kLeadSeconds) < kBoundsToleranceSeconds);
            QVERIFY(std::abs(bounds.spans[0].end - (bounds.duration - kLeadSeconds)) < kBoundsToleranceSeconds);
        }
    }

    void unreadableTakeHoldsNoSpeech()
    {
        QString error;
        QVERIFY(!holdsSpeech(media("missing.mp3"), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!holdsSpeech(media("video_only.mp4"), &error));
        QVERIFY(!error.isEmpty());
    }
};

REPETA_TEST_MAIN(TakesTest)
#include "tst_takes.moc"
