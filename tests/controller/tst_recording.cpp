// Recording from the test microphone (a 440 Hz tone) through the controller:
// which file each phase and sentence records into, that a failed recording
// never costs the learner the previous one, and the export that joins them.
#include "ControllerFixture.h"

#include "SoundAnalysis.h"

#include <QElapsedTimer>
#include <QFile>

namespace {
const QString kMaterial = QStringLiteral("./workspace/sentences.mp3");
const QString kDir = QStringLiteral("files/sentences.mp3/");
constexpr int kDoneTimeoutMs = 10000;
using testenv::readFile;
using testenv::writeFile;
} // namespace

class RecordingTest : public ControllerFixture {
    Q_OBJECT
private:
    // Records for about the given time; returns the time from start to done.
    double record(int milliseconds)
    {
        QElapsedTimer clock;
        clock.start();
        m_repeta->startRecording(true);
        QTest::qWait(milliseconds);
        m_repeta->startRecording(false);
        [&] { QTRY_VERIFY_WITH_TIMEOUT(!(m_repeta->activity() & Repeta::RECORDING), kDoneTimeoutMs); }();
        return clock.elapsed() / 1000.0;
    }

    void expectTone(const QString& path, double seconds)
    {
        const Pcm sound = decodeFile(path);
        const SoundSpan span = soundSpan(sound);
        QVERIFY2(span.length() > seconds - 0.35 && span.length() < seconds + 0.3,
                 qPrintable(QStringLiteral("%1: %2 s of sound, %3 s recorded").arg(path).arg(span.length()).arg(seconds)));
        const Pcm steady = sound.slice(span.start + 0.1, span.end - 0.1);
        QVERIFY(qAbs(toneFrequency(steady, 0) - 440) < 2);
        QVERIFY(qAbs(toneFrequency(steady, 1) - 440) < 2);
    }

private slots:
    void initTestCase()
    {
        enterHome();
        QVERIFY(testenv::soundServerRunning());
    }

    void cleanupTestCase() { leaveHome(); }

    void init()
    {
        openToneSentences(kMaterial);
    }

    void cleanup() { destroyController(); }

    void eachPhaseRecordsIntoItsOwnFile()
    {
        const double imitation = record(1500);
        expectTone(kDir + QStringLiteral("imitatepieces/the-only-one.mp3"), imitation);
        m_repeta->choosePhase(ListenRepeat);
        m_repeta->selectSentence(2);
        const double repeat = record(1000);
        expectTone(kDir + QStringLiteral("shadowpieces/recordpiece002.mp3"), repeat);
        m_repeta->choosePhase(Retelling);
        const double retelling = record(700);
        expectTone(kDir + QStringLiteral("retellpieces/the-only-one.mp3"), retelling);
        // The first recording is still there, untouched by the others.
        expectTone(kDir + QStringLiteral("imitatepieces/the-only-one.mp3"), imitation);
        QVERIFY(!QFile::exists(kDir + QStringLiteral("shadowpieces/recordpiece000.mp3")));
    }

    void aNewRecordingReplacesOnlyItsOwnFile()
    {
        m_repeta->choosePhase(ListenRepeat);
        record(600);
        m_repeta->selectSentence(1);
        log().clear();
        record(600);
        // The text stays on the sentence recorded.
        QVERIFY(log().contains(QStringLiteral("tabs.showSentence(1,-1,-1)")));
        QVERIFY(!log().contains(QStringLiteral("tabs.showSentence(0,-1,-1)")));
        const QByteArray second = readFile(kDir + QStringLiteral("shadowpieces/recordpiece001.mp3"));
        const QByteArray firstBefore = readFile(kDir + QStringLiteral("shadowpieces/recordpiece000.mp3"));
        m_repeta->selectSentence(0);
        const double again = record(1200);
        QCOMPARE(readFile(kDir + QStringLiteral("shadowpieces/recordpiece001.mp3")), second);
        QVERIFY(readFile(kDir + QStringLiteral("shadowpieces/recordpiece000.mp3")) != firstBefore);
        expectTone(kDir + QStringLiteral("shadowpieces/recordpiece000.mp3"), again);
        QVERIFY(QDir(kDir + QStringLiteral("shadowpieces")).entryList(QDir::Files).size() == 2);
    }

    // In Listen & Repeat a new take is compared with its sentence and its
    // page comes forward; a sentence without a take says there is none.
    void aTakeIsComparedWithItsSentence()
    {
        m_repeta->choosePhase(ListenRepeat);
        m_repeta->selectSentence(1);
        QCOMPARE(m_views->tabs.comparison.ok, false);
        QVERIFY(m_views->tabs.comparison.error.isEmpty());
        log().clear();
        record(1200);
        QTRY_VERIFY_WITH_TIMEOUT(log().contains(QStringLiteral("tabs.showComparisonPage()")), kDoneTimeoutMs);
        const Comparison& shown = m_views->tabs.comparison;
        QCOMPARE(m_views->tabs.comparedText, m_repeta->sentences()[1].text);
        // The tones are no voice: the comparison says so rather than score them.
        QVERIFY(!shown.ok && !shown.error.isEmpty());
        m_repeta->selectSentence(2);
        QVERIFY(!m_views->tabs.comparison.ok && m_views->tabs.comparison.error.isEmpty());
    }

    void aFailedRecordingKeepsThePreviousOne()
    {
        const QString target = kDir + QStringLiteral("imitatepieces/the-only-one.mp3");
        writeFile(target, "the learner's earlier recording");
        // A full disk: the recorder's writes all fail.
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), target + QStringLiteral(".part")));
        record(500);
        QCOMPARE(readFile(target), QByteArray("the learner's earlier recording"));
        QVERIFY(!QFile::exists(target + QStringLiteral(".part")));
        QVERIFY(log().contains(QStringLiteral("ctrl.setRecPlayEnabled(true)")));
    }

    void aFileThatCannotBeCreatedReleasesTheRecordButton()
    {
        QDir(kDir + QStringLiteral("imitatepieces")).removeRecursively();
        writeFile(kDir + QStringLiteral("imitatepieces"), "a file where the folder should be");
        log().clear();
        m_repeta->startRecording(true);
        QVERIFY(!(m_repeta->activity() & Repeta::RECORDING));
        QVERIFY(log().inOrder({QStringLiteral("ctrl.setRecPlayChecked(false)"), QStringLiteral("ctrl.setRecordChecked(false)")}));
    }

    void retellingHidesTheTextWhileRecording()
    {
        m_repeta->choosePhase(Retelling);
        log().clear();
        m_repeta->startRecording(true);
        QCOMPARE(m_views->tabs.sentences.size(), 0);
        QVERIFY(log().contains(QStringLiteral("rec.setRecording(true)")));
        m_repeta->startRecording(false);
        QTRY_VERIFY_WITH_TIMEOUT(!(m_repeta->activity() & Repeta::RECORDING), kDoneTimeoutMs);
        QCOMPARE(m_views->tabs.sentences.size(), 4);
        QVERIFY(log().inOrder({QStringLiteral("rec.setRecording(false)"), QStringLiteral("tabs.setSentences(4)"),
                               QStringLiteral("tabs.showSentence(0,-1,-1)")}));
    }

    void theRecordingTimeCountsWholeSeconds()
    {
        for (int tick = 0; tick < 9; ++tick)
            m_repeta->doRecProg();
        QCOMPARE(log().calls().last(), QStringLiteral("ctrl.setRecTime(00:00:00|00:00:00)"));
        m_repeta->doRecProg();
        QCOMPARE(log().calls().last(), QStringLiteral("ctrl.setRecTime(00:00:01|00:00:00)"));
    }

    void selectingAnotherSentenceEndsTheRecording()
    {
        m_repeta->choosePhase(ListenRepeat);
        m_repeta->startRecording(true);
        QTest::qWait(500);
        log().clear();
        m_repeta->selectSentence(3);
        QVERIFY(log().contains(QStringLiteral("ctrl.setRecordChecked(false)")));
        QTRY_VERIFY_WITH_TIMEOUT(!(m_repeta->activity() & Repeta::RECORDING), kDoneTimeoutMs);
        // The recording belongs to the sentence it was started for.
        QVERIFY(QFile::exists(kDir + QStringLiteral("shadowpieces/recordpiece000.mp3")));
        QVERIFY(!QFile::exists(kDir + QStringLiteral("shadowpieces/recordpiece003.mp3")));
    }

    void exportJoinsThePiecesInIndexOrder()
    {
        m_repeta->choosePhase(ListenRepeat);
        QVector<double> lengths;
        for (int sentence : {2, 0}) {
            m_repeta->selectSentence(sentence);
            record(sentence == 0 ? 600 : 1100);
            lengths.prepend(soundSpan(decodeFile(m_repeta->recordPath())).length());
        }
        writeFile(kDir + QStringLiteral("shadowpieces/recordpiece1000.mp3"), "not a piece");
        writeFile(kDir + QStringLiteral("shadowpieces/recordpiece001.mp3.part"), "a recording in progress");
        const QString target = QStringLiteral("out/跟读训练.mp3");
        QDir().mkpath(QStringLiteral("out"));
        writeFile(target, QByteArray(4 << 20, 'x')); // longer than the export

        FakeExporter exporter(log());
        exporter.repeatTarget = target;
        QString failed;
        QVERIFY(m_repeta->exportRecordings(&exporter, &failed));
        QVERIFY(log().inOrder({QStringLiteral("exporter.setSentenceCount(4)"),
                               QStringLiteral("exporter.setMaterialDir(files/sentences.mp3)"),
                               QStringLiteral("exporter.refresh"), QStringLiteral("exporter.exec")}));
        const QByteArray joined = readFile(target);
        QCOMPARE(joined, readFile(kDir + QStringLiteral("shadowpieces/recordpiece000.mp3")) +
                             readFile(kDir + QStringLiteral("shadowpieces/recordpiece002.mp3")));
        const Pcm sound = decodeFile(target);
        QVERIFY2(qAbs(sound.seconds() - (decodeFile(kDir + QStringLiteral("shadowpieces/recordpiece000.mp3")).seconds() +
                                         decodeFile(kDir + QStringLiteral("shadowpieces/recordpiece002.mp3")).seconds())) < 0.1,
                 qPrintable(QString::number(sound.seconds())));
        // In index order: the shorter piece (sentence 0) comes first.
        QVERIFY(soundSpan(sound.slice(0, lengths[0] - 0.1)).length() > 0);
    }

    // A target that names one of the pieces: every piece is read whole
    // before the join replaces that one.
    void exportOntoOneOfItsPiecesLosesNothing()
    {
        m_repeta->choosePhase(ListenRepeat);
        for (int sentence : {0, 1}) {
            m_repeta->selectSentence(sentence);
            record(500);
        }
        QByteArray expected;
        for (int sentence = 0; sentence < 4; ++sentence) {
            const QString piece = kDir + QStringLiteral("shadowpieces/recordpiece00%1.mp3").arg(sentence);
            if (QFile::exists(piece))
                expected += readFile(piece);
        }
        const QString target = kDir + QStringLiteral("shadowpieces/recordpiece001.mp3");
        FakeExporter exporter(log());
        exporter.repeatTarget = target;
        QVERIFY(m_repeta->exportRecordings(&exporter));
        QCOMPARE(readFile(target), expected);
    }

    void exportWritesOnlyWhatIsChosenAndReportsFailures()
    {
        record(500);
        FakeExporter exporter(log());
        exporter.confirmed = false;
        exporter.imitationTarget = QStringLiteral("cancelled.mp3");
        QVERIFY(m_repeta->exportRecordings(&exporter));
        QVERIFY(!QFile::exists(QStringLiteral("cancelled.mp3")));

        exporter.confirmed = true;
        exporter.imitationTarget = QStringLiteral("全文模仿.mp3");
        exporter.retellingTarget = QStringLiteral("no/such/folder/源语复述.mp3");
        QString failed;
        QVERIFY(!m_repeta->exportRecordings(&exporter, &failed));
        QCOMPARE(failed, exporter.retellingTarget);
        QCOMPARE(readFile(QStringLiteral("全文模仿.mp3")), readFile(kDir + QStringLiteral("imitatepieces/the-only-one.mp3")));
        // A retelling that was never recorded exports as an empty file.
        exporter.retellingTarget = QStringLiteral("源语复述.mp3");
        QVERIFY(m_repeta->exportRecordings(&exporter));
        QCOMPARE(QFileInfo(QStringLiteral("源语复述.mp3")).size(), 0);
    }
};

REPETA_TEST_MAIN(RecordingTest)
#include "tst_recording.moc"
