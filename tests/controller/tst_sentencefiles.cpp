// Materials as learners have them, through the controller and the real
// engine: subtitle cues that end before the next one starts, a media file
// without any sentence file, and a lesson video in another container.
#include "ControllerFixture.h"
#include "Subprocess.h"

#include "sentences/SentenceFile.h"

namespace {
const QString kTones = QStringLiteral("./workspace/tones.mp3");
constexpr int kStartTimeoutMs = 5000;
constexpr int kScanTimeoutMs = 20000;

// The four tones of sentences.mp3 (1.5 s of tone, 0.5 s of silence each) as
// cues that end with their tone, not at the next cue.
const QByteArray kToneCues = "1\r\n00:00:00,000 --> 00:00:01,500\r\nFirst tone\r\n第一个音\r\n\r\n"
                             "2\r\n00:00:02,000 --> 00:00:03,500\r\nSecond tone\r\n\r\n"
                             "3\r\n00:00:04,000 --> 00:00:05,500\r\nThird tone\r\n\r\n"
                             "4\r\n00:00:06,000 --> 00:00:07,500\r\nFourth tone\r\n";
} // namespace

class SentenceFilesTest : public ControllerFixture {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        enterHome();
        resetHome();
    }

    void cleanupTestCase() { leaveHome(); }
    void init() { makeController(); }
    void cleanup() { destroyController(); }

    // The loop, the views and the edit all use a cue's own end.
    void cuesEndWhereTheFileSays()
    {
        copyMedia(QStringLiteral("sentences.mp3"), kTones);
        testenv::writeFile(QStringLiteral("./workspace/tones.srt"), kToneCues);
        m_repeta->openMaterial(kTones);
        QCOMPARE(m_repeta->sentenceCount(), 4u);
        QCOMPARE(m_repeta->sentenceEnds(), (QVector<float>{1.5f, 3.5f, 5.5f, 7.5f}));
        QCOMPARE(m_views->tabs.sentences.value(0).translation, QString::fromUtf8("第一个音"));
        m_repeta->choosePhase(ListenRepeat);
        QVERIFY(m_views->ori.sentenceEnds == &m_repeta->sentenceEnds());

        m_repeta->selectSentence(1);
        m_repeta->playSentence(true);
        QTRY_VERIFY_WITH_TIMEOUT(position() >= 2.0, kStartTimeoutMs);
        const QString loop = jumpsBack(3.0, 2.5, 3.6); // the cue ends at 3.5 s, the next starts at 4
        QVERIFY2(loop.isEmpty(), qPrintable(loop));
        m_repeta->playSentence(false);

        // The passage stays on a sentence through the pause after its cue.
        m_repeta->choosePhase(PassageImitation);
        m_repeta->playOriginal(true);
        QTRY_VERIFY_WITH_TIMEOUT(position() > 1.7, kStartTimeoutMs);
        if (position() < 1.95)
            QCOMPARE(m_repeta->currentSentence(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(m_repeta->currentSentence(), 1, kStartTimeoutMs);
        m_repeta->playOriginal(false);

        // Moving the out-mark rewrites the cue's end, not the next start.
        m_repeta->choosePhase(ListenRepeat);
        m_repeta->selectSentence(1);
        m_repeta->setLrcEditing(true);
        m_views->pce.markIn = 0.0f;
        m_views->pce.markOut = 0.5f;
        m_repeta->setLrcEditing(false);
        const SentenceRead read = readSentenceFile(QStringLiteral("./workspace/tones.srt"));
        QVERIFY(read.ok);
        QCOMPARE(read.file.sentences.size(), 4);
        QCOMPARE(read.file.sentences[1].end, 2.75f);
        QCOMPARE(read.file.sentences[2].start, 4.0f);
        QCOMPARE(m_repeta->sentenceEnds().value(1), 2.75f);
    }

    // No sentence file: the sentences are found by the pauses, written beside
    // the media and read back like any other file.
    void aMediaWithoutSentencesIsSplitAtItsPauses()
    {
        const QString speech = QStringLiteral("./workspace/speech.mp3");
        copyMedia(QStringLiteral("speech.mp3"), speech);
        m_repeta->openMaterial(speech);
        QCOMPARE(m_repeta->sentenceCount(), 0u);
        QTRY_VERIFY_WITH_TIMEOUT(m_repeta->sentenceCount() != 0, kScanTimeoutMs);
        QVERIFY(QFileInfo::exists(QStringLiteral("./workspace/speech.lrc")));
        QCOMPARE(QFileInfo(m_repeta->sentenceFile()).canonicalFilePath(), QFileInfo(QStringLiteral("./workspace/speech.lrc")).canonicalFilePath());
        QCOMPARE(m_repeta->sentences().value(0).text, QString::fromUtf8("第 1 句"));
        QVERIFY(log().contains(QStringLiteral("ctrl.setPhaseEnabled(true,1)")));
        // Every line of the generated LRC starts where a sentence was found;
        // its first line holds two spoken sentences, so one more is found.
        const SentenceRead known = readSentenceFile(testenv::media(QStringLiteral("speech.lrc")));
        QVERIFY(known.ok);
        QCOMPARE(m_repeta->sentenceCount(), unsigned(known.file.sentences.size()) + 1);
        for (const Sentence& sentence : known.file.sentences) {
            const auto near = [&](float start) { return std::abs(start - sentence.start) < 0.15f; };
            QVERIFY2(std::any_of(m_repeta->sentenceStarts().cbegin(), m_repeta->sentenceStarts().cend(), near),
                     qPrintable(QStringLiteral("nothing found near %1 s").arg(sentence.start)));
        }
    }

    // A lesson video shows its picture in every phase; cover art is no video.
    void aVideoLessonOpensItsPicturePage()
    {
        const QString video = QStringLiteral("./workspace/lesson.mp4");
        const QString podcast = QStringLiteral("./workspace/podcast.m4a");
        QCOMPARE(exitCodeOf({QStringLiteral("ffmpeg"), QStringLiteral("-nostdin"), QStringLiteral("-loglevel"),
                             QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                             QStringLiteral("-i"), QStringLiteral("testsrc=size=320x240:rate=25:duration=2"),
                             QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                             QStringLiteral("sine=frequency=440:duration=2"), QStringLiteral("-c:v"),
                             QStringLiteral("libx264"), QStringLiteral("-c:a"), QStringLiteral("aac"),
                             QStringLiteral("-shortest"), video}),
                 0);
        QCOMPARE(exitCodeOf({QStringLiteral("ffmpeg"), QStringLiteral("-nostdin"), QStringLiteral("-loglevel"),
                             QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                             QStringLiteral("-i"), QStringLiteral("sine=frequency=440:duration=2"),
                             QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                             QStringLiteral("color=c=red:s=64x64:d=1"), QStringLiteral("-frames:v"), QStringLiteral("1"),
                             QStringLiteral("-map"), QStringLiteral("0"), QStringLiteral("-map"), QStringLiteral("1"),
                             QStringLiteral("-c:a"), QStringLiteral("aac"), QStringLiteral("-c:v"), QStringLiteral("png"),
                             QStringLiteral("-disposition:v"), QStringLiteral("attached_pic"), podcast}),
                 0);
        testenv::writeFile(QStringLiteral("./workspace/lesson.lrc"), "[00:00.00]Look at the picture.\n");
        m_repeta->openMaterial(video);
        QVERIFY(m_repeta->materialHasVideo());
        for (int phase : {PassageImitation, ListenRepeat, Retelling}) {
            log().clear();
            m_repeta->choosePhase(phase);
            QVERIFY2(log().contains(QStringLiteral("tabs.setTabEnabled(2,true)")), qPrintable(QString::number(phase)));
        }
        m_repeta->openMaterial(podcast);
        QVERIFY(!m_repeta->materialHasVideo());
        QVERIFY(log().contains(QStringLiteral("tabs.setTabEnabled(2,false)")));
    }
};

QTEST_MAIN(SentenceFilesTest)
#include "tst_sentencefiles.moc"
