// Sentences found by their pauses: on generated speech whose sentence starts
// are known, on files without speech, and on files that cannot be scanned.
#include "OnsetScore.h"
#include "TestEnvironment.h"
#include "speech/SpeechScan.h"

#include <cmath>

namespace {

QString media(const char* name) { return QStringLiteral(SPEECH_MEDIA_DIR "/") + QLatin1String(name); }

// In order, disjoint, not empty, within the sound.
void checkSpans(const SpeechScan& scan)
{
    double last = 0;
    for (const SpeechSpan& span : scan.spans) {
        QVERIFY2(span.start >= last && span.end > span.start,
                 qPrintable(QStringLiteral("span %1-%2 after %3").arg(span.start).arg(span.end).arg(last)));
        last = span.end;
    }
    QVERIFY(scan.spans.isEmpty() || last <= scan.duration + 1e-9);
}

} // namespace

class PausesTest : public QObject {
    Q_OBJECT
private slots:
    void corpusSentenceStarts()
    {
        const auto known = onsets::read(media("corpus.onsets"));
        QVERIFY(known && known->size() >= 30);
        const SpeechScan scan = findSentences(media("corpus.mp3"));
        QVERIFY2(scan.ok, qPrintable(scan.error));
        checkSpans(scan);
        QVERIFY(std::abs(scan.duration - (known->last() + 2)) < 5);
        const onsets::Score score = onsets::score(scan.spans, *known);
        qInfo("%d sentences: %d starts found within %.0f ms (worst %.0f ms), %d extra", score.known, score.found,
              onsets::kToleranceSeconds * 1e3, score.worstErrorSeconds * 1e3, score.extra);
        QVERIFY(score.foundRate() >= 0.95);
        QVERIFY(score.extraRate() <= 0.05);
    }

    // A range starts decoding mid-file; its times stay on the whole sound's
    // timeline, and speech cut by the range ends where the range ends.
    void rangeKeepsTheTimeline()
    {
        const auto known = onsets::read(media("corpus.onsets"));
        QVERIFY(known && known->size() > 11);
        const double from = (*known)[10] - 0.25;
        const double to = (*known)[11] - 0.05;
        const SpeechScan scan = speechBounds(media("corpus.mp3"), from, to);
        QVERIFY2(scan.ok, qPrintable(scan.error));
        QCOMPARE(scan.spans.size(), 1);
        QVERIFY(std::abs(scan.spans[0].start - (*known)[10]) < onsets::kToleranceSeconds);
        QVERIFY(scan.spans[0].end <= to + 1e-9 && scan.spans[0].end > to - 0.5);
        QVERIFY(std::abs(scan.duration - to) < 0.01);

        const SpeechScan pastTheEnd = speechBounds(media("corpus.mp3"), 1000);
        QVERIFY2(pastTheEnd.ok, qPrintable(pastTheEnd.error));
        QVERIFY(pastTheEnd.spans.isEmpty());
    }

    void noSpeechNoSentences_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("digital silence") << media("silent.mp3");
        QTest::newRow("noise bed alone") << media("noise.mp3");
    }

    void noSpeechNoSentences()
    {
        QFETCH(QString, file);
        const SpeechScan scan = findSentences(file);
        QVERIFY2(scan.ok, qPrintable(scan.error));
        QVERIFY(scan.spans.isEmpty());
        QVERIFY(std::abs(scan.duration - 30) < 0.1);
    }

    void unscannableFilesFail_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("video without sound") << media("video_only.mp4");
        QTest::newRow("cut short") << media("truncated.mp3");
        QTest::newRow("not media") << media("corpus.onsets");
        QTest::newRow("missing") << media("missing.mp3");
    }

    void unscannableFilesFail()
    {
        QFETCH(QString, file);
        const SpeechScan scan = findSentences(file);
        QVERIFY(!scan.ok);
        QVERIFY(!scan.error.isEmpty());
        checkSpans(scan); // what a cut-short file held before its end
    }

    void cancelledScanFails()
    {
        const std::atomic<bool> cancel{true};
        const SpeechScan scan = findSentences(media("corpus.mp3"), &cancel);
        QVERIFY(!scan.ok);
        QVERIFY(!scan.error.isEmpty());
        QVERIFY(scan.error != findSentences(media("missing.mp3")).error);
    }
};

REPETA_TEST_MAIN(PausesTest)
#include "tst_pauses.moc"
