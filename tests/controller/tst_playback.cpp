// Playback through the controller against the real engine and the null
// sink: the whole passage, a looping sentence, and how the current sentence
// follows the passage as it plays.
#include "ControllerFixture.h"


#include <QElapsedTimer>

namespace {
const QString kMaterial = QStringLiteral("./workspace/sentences.mp3");
constexpr int kStartTimeoutMs = 5000;
} // namespace

class PlaybackTest : public ControllerFixture {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        enterHome();
        resetHome();
        copyMedia(QStringLiteral("sentences.mp3"), kMaterial);
        copyMedia(QStringLiteral("sentences.lrc"), QStringLiteral("./workspace/sentences.lrc"));
    }

    void cleanupTestCase() { leaveHome(); }

    void init()
    {
        makeController();
        m_repeta->openMaterial(kMaterial);
        m_repeta->choosePhase(ListenRepeat);
        log().clear();
    }

    void cleanup() { destroyController(); }

    void switchingToTheSentenceKeepsTheMediaAndReleasesTheOriginal()
    {
        m_repeta->playOriginal(true);
        QTRY_VERIFY_WITH_TIMEOUT(position() > 0.3, kStartTimeoutMs);
        const MediaIdentifier playing = m_repeta->originalMedia();
        log().clear();
        m_repeta->playSentence(true);
        QCOMPARE(m_repeta->originalMedia().audio, playing.audio); // the same opening goes on
        QVERIFY(log().inOrder({QStringLiteral("ctrl.setOriPlayChecked(false)"), QStringLiteral("ctrl.setPcePlayChecked(true)")}));
        QCOMPARE(m_repeta->activity(), std::uint8_t(Repeta::PCE_PLAYING));
    }

    void aSentenceStartsAgainAtItsEnd()
    {
        m_repeta->selectSentence(1); // 2 s to 4 s
        m_repeta->playSentence(true);
        QTRY_VERIFY_WITH_TIMEOUT(position() >= 2.0, kStartTimeoutMs);
        const QString loop = jumpsBack(3.5, 2.6, 4.0);
        QVERIFY2(loop.isEmpty(), qPrintable(loop));
        QCOMPARE(m_repeta->currentSentence(), 1);
        QVERIFY(m_repeta->activity() & Repeta::PCE_PLAYING);
    }

    // The engine loops the sentence: choosing another while it plays moves
    // the loop there.
    void anotherSentenceChosenWhileLoopingLoopsInstead()
    {
        m_repeta->selectSentence(1); // 2 s to 4 s
        m_repeta->playSentence(true);
        QTRY_VERIFY_WITH_TIMEOUT(position() >= 2.0, kStartTimeoutMs);
        m_repeta->selectSentence(2); // 4 s to 6 s
        QTRY_VERIFY_WITH_TIMEOUT(position() >= 4.0, kStartTimeoutMs);
        double earliest = position();
        double latest = earliest;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 2600) {
            QTest::qWait(20);
            earliest = std::min(earliest, position());
            latest = std::max(latest, position());
        }
        QVERIFY2(latest < 6.0 && latest > 5.8, qPrintable(QString::number(latest)));
        QVERIFY2(earliest >= 4.0, qPrintable(QString::number(earliest)));
        QCOMPARE(m_repeta->currentSentence(), 2);
    }

    void theLastSentencePlaysToTheEndOnce()
    {
        m_repeta->selectSentence(3); // 6 s to the end, 8.05 s
        m_repeta->playSentence(true);
        QTRY_VERIFY_WITH_TIMEOUT(position() >= 6.0, kStartTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!(m_repeta->activity() & Repeta::PCE_PLAYING), 6000);
        QVERIFY(log().contains(QStringLiteral("ctrl.setPcePlayChecked(false)")));
    }

    void thePassageMovesTheCurrentSentence()
    {
        m_repeta->selectSentence(0);
        m_repeta->playOriginal(true);
        QTRY_COMPARE_WITH_TIMEOUT(m_repeta->currentSentence(), 1, 6000);
        QVERIFY(log().inOrder({QStringLiteral("ori.setCurrentSentence(1)"), QStringLiteral("tabs.showSentence(1,-1,-1)")}));
        QCOMPARE(m_repeta->recordPath(), QStringLiteral("files/sentences.mp3/shadowpieces/recordpiece001.mp3"));
        QVERIFY(log().startingWith(QStringLiteral("tabs.setKaraokeProgress")).size() > 5);

        // Back into the middle of sentence 1 from sentence 2: 1 is current, not 2.
        QTRY_COMPARE_WITH_TIMEOUT(m_repeta->currentSentence(), 2, 6000);
        const double duration = m_repeta->engine()->duration(m_repeta->originalMedia());
        QVERIFY(duration > 8);
        m_repeta->seekOriginal(float(2.7 / duration));
        QTRY_COMPARE_WITH_TIMEOUT(m_repeta->currentSentence(), 1, 3000);
        QVERIFY(m_repeta->activity() & Repeta::ORI_PLAYING);
    }

    void passageImitationLeavesTheSentenceRowAlone()
    {
        m_repeta->choosePhase(PassageImitation);
        m_repeta->playOriginal(true);
        QTRY_VERIFY_WITH_TIMEOUT(position() > 0.5, kStartTimeoutMs);
        log().clear();
        QTest::qWait(600);
        QVERIFY(!log().startingWith(QStringLiteral("ctrl.setOriTime")).isEmpty());
        QVERIFY(log().startingWith(QStringLiteral("ctrl.setPceTime")).isEmpty());
        QVERIFY(log().startingWith(QStringLiteral("pce.setPosition")).isEmpty());
        QVERIFY(log().startingWith(QStringLiteral("tabs.setKaraokeProgress")).isEmpty());
        QVERIFY(m_views->ori.position > 0);
        // Switching off pauses: the next start resumes where it stopped.
        m_repeta->playOriginal(false);
        QTest::qWait(200);
        const double paused = position();
        QTest::qWait(300);
        QCOMPARE(position(), paused);
        m_repeta->playOriginal(true);
        QTRY_VERIFY_WITH_TIMEOUT(position() > paused + 0.2, kStartTimeoutMs);
        QVERIFY(position() < paused + 2);
    }
};

REPETA_TEST_MAIN(PlaybackTest)
#include "tst_playback.moc"
