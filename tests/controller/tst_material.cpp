// The controller opening materials, reading their sentences, switching
// phases and sentences, driven through recording fakes of its views.
#include "ControllerFixture.h"

#include <QFile>

namespace {
const QString kSentences = QStringLiteral("./workspace/sentences.mp3");
const QString kNoLrc = QStringLiteral("./workspace/sine1k.mp3");

using testenv::writeFile;

// Every file below the working directory, for "nothing was written" checks.
QStringList treeBelow(const QString& root)
{
    QStringList all;
    QDir dir(root);
    for (const QFileInfo& info : dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        all.append(info.filePath());
        if (info.isDir())
            all += treeBelow(info.filePath());
    }
    return all;
}
} // namespace

class MaterialTest : public ControllerFixture {
    Q_OBJECT
private slots:
    void initTestCase() { enterHome(); }
    void cleanupTestCase() { leaveHome(); }

    void init()
    {
        resetHome();
        copyMedia(QStringLiteral("sentences.mp3"), kSentences);
        copyMedia(QStringLiteral("sentences.lrc"), QStringLiteral("./workspace/sentences.lrc"));
        copyMedia(QStringLiteral("sine1k.mp3"), kNoLrc);
        makeController();
    }

    void cleanup() { destroyController(); }

    void constructionPreparesThePlots()
    {
        FakeViews views;
        Repeta repeta(&views.ctrl, &views.tabs, &views.rec, &views.pce, &views.ori, nullptr);
        QStringList expected;
        for (const char* plot : {"ori", "pce", "rec"})
            expected << QStringLiteral("%1.setTintColor(27,177,255,82)").arg(QLatin1String(plot))
                     << QStringLiteral("%1.setHandlerObject").arg(QLatin1String(plot))
                     << QStringLiteral("%1.setText(请选择练习材料)").arg(QLatin1String(plot));
        expected << QStringLiteral("rec.setSeekHandler(set)");
        QCOMPARE(views.log.calls(), expected);
        QCOMPARE(views.rec.handlerObject, &repeta);
        QVERIFY(views.rec.seekHandler == &Repeta::seekRecording);
        QCOMPARE(repeta.phase(), -1);
        QCOMPARE(repeta.currentSentence(), -1);
        QVERIFY(repeta.materialPath().isEmpty());
    }

    void openingAMaterialReadsItsSentencesAndMakesItsFolders()
    {
        m_repeta->openMaterial(kSentences);
        QCOMPARE(m_repeta->materialPath(), kSentences);
        QCOMPARE(m_repeta->sentenceCount(), 4u);
        QCOMPARE(m_repeta->sentenceStarts(), (QVector<float>{0, 2, 4, 6}));
        QCOMPARE(m_repeta->sentences().value(1).text, QStringLiteral("Second tone"));
        QCOMPARE(m_repeta->sentenceEnds(), (QVector<float>{2, 4, 6, -1}));
        QCOMPARE(m_repeta->currentSentence(), 0);
        QCOMPARE(m_repeta->recordDir(), QStringLiteral("files/sentences.mp3"));
        for (const char* folder : {"imitatepieces", "shadowpieces", "retellpieces"})
            QVERIFY(QFileInfo(QStringLiteral("files/sentences.mp3/") + QLatin1String(folder)).isDir());
        QVERIFY(log().inOrder({
            QStringLiteral("ctrl.setHelpMode(false)"),
            QStringLiteral("ori.setPixmap(null)"),
            QStringLiteral("ori.setPlotting(true)"),
            QStringLiteral("ctrl.setPracticeEnabled(true)"),
            QStringLiteral("ctrl.setOriPlayEnabled(true)"),
            QStringLiteral("ctrl.setPhaseEnabled(false,1)"),
            QStringLiteral("ctrl.setOriPlayChecked(false)"),
            QStringLiteral("tabs.setSentences(4)"),
            QStringLiteral("ctrl.setPcePlayChecked(false)"),
            QStringLiteral("ori.setCurrentSentence(0)"),
            QStringLiteral("tabs.showSentence(0,-1,-1)"),
            QStringLiteral("ctrl.setPhaseEnabled(true,1)"),
            // the phase is applied again, then the recording is switched off
            QStringLiteral("pce.setText(全文模仿时，不显示单句波形)"),
            QStringLiteral("ctrl.setRecPlayChecked(false)"),
        }));
        QCOMPARE(m_repeta->recordPath(), QStringLiteral("files/sentences.mp3/imitatepieces/the-only-one.mp3"));
    }

    void reopeningTheSameMaterialChangesNothing()
    {
        m_repeta->openMaterial(kSentences);
        writeFile(QStringLiteral("./workspace/sentences.lrc"), "[0:01]changed\n");
        log().clear();
        m_repeta->openMaterial(kSentences);
        QVERIFY(log().calls().isEmpty());
        QCOMPARE(m_repeta->sentenceCount(), 4u);
    }

    void aPathThatIsNoFileStillReadsItsLrcButMakesNothing()
    {
        writeFile(QStringLiteral("./workspace/gone.lrc"), "[0:00]a\n[0:03]b\n");
        m_repeta->openMaterial(QStringLiteral("./workspace/gone.mp3"));
        QVERIFY(!QFileInfo::exists(QStringLiteral("files/gone.mp3")));
        QVERIFY(log().contains(QStringLiteral("ctrl.setPracticeEnabled(false)")));
        QVERIFY(log().contains(QStringLiteral("ctrl.setOriPlayEnabled(false)")));
        QVERIFY(!log().contains(QStringLiteral("ctrl.setHelpMode(false)")));
        QVERIFY(!log().contains(QStringLiteral("pce.setText(全文模仿时，不显示单句波形)")));
        QCOMPARE(m_repeta->sentenceCount(), 2u);
        QVERIFY(m_repeta->recordPath().isEmpty());

        m_repeta->openMaterial(QStringLiteral("./workspace"));
        QVERIFY(m_repeta->recordPath().isEmpty());
    }

    void withoutSentencesNoSentenceBecomesCurrent()
    {
        m_repeta->openMaterial(kSentences);
        m_repeta->selectSentence(3);
        log().clear();
        m_repeta->openMaterial(kNoLrc);
        QCOMPARE(m_repeta->sentenceCount(), 0u);
        QVERIFY(log().contains(QStringLiteral("tabs.setSentences(0)")));
        QVERIFY(!log().contains(QStringLiteral("ctrl.setPhaseEnabled(true,1)")));
        QCOMPARE(m_repeta->currentSentence(), 3); // stale, and out of range now
        m_repeta->selectSentence(0);
        QCOMPARE(m_repeta->currentSentence(), 3);
    }

    void aMaterialWithoutSentencesRecordsIntoItsOwnFolder()
    {
        m_repeta->openMaterial(kSentences);
        m_repeta->openMaterial(kNoLrc);
        QCOMPARE(m_repeta->recordPath(), QStringLiteral("files/sine1k.mp3/imitatepieces/the-only-one.mp3"));
        m_repeta->choosePhase(Retelling);
        QCOMPARE(m_repeta->recordPath(), QStringLiteral("files/sine1k.mp3/retellpieces/the-only-one.mp3"));
        // Listen & Repeat stays chosen when its tab is disabled; with no
        // sentence there is nothing to record against.
        m_repeta->openMaterial(kSentences);
        m_repeta->choosePhase(ListenRepeat);
        m_repeta->openMaterial(kNoLrc);
        QVERIFY(m_repeta->recordPath().isEmpty());
    }

    void listenAndRepeatShowsSentences()
    {
        m_repeta->openMaterial(kSentences);
        m_repeta->selectSentence(2);
        log().clear();
        m_repeta->choosePhase(ListenRepeat);
        QCOMPARE(m_repeta->phase(), int(ListenRepeat));
        QVERIFY(m_views->ori.sentenceTimes == &m_repeta->sentenceStarts());
        QVERIFY(m_views->ori.sentenceHandler == &Repeta::selectSentence);
        QVERIFY(m_views->pce.seekHandler == &Repeta::seekInSentence);
        QVERIFY(log().inOrder({
            QStringLiteral("ctrl.setOriPlayChecked(false)"),
            QStringLiteral("ctrl.setRecPlayChecked(false)"),
            QStringLiteral("ori.setSentenceTimes(4)"),
            QStringLiteral("ori.setSentenceHandler(set)"),
            QStringLiteral("pce.setSeekHandler(set)"),
            QStringLiteral("ctrl.setPcePlayEnabled(true)"),
            QStringLiteral("ctrl.setTextTabOffset(0,0)"),
            QStringLiteral("tabs.setCurrentIndex(0)"),
            QStringLiteral("tabs.setTabEnabled(0,true)"),
            QStringLiteral("ori.setCurrentSentence(2)"),
            QStringLiteral("pce.setPlotting(true)"),
            QStringLiteral("ctrl.setPceTime(00:00:00|00:00:02)"),
            QStringLiteral("rec.setText(你还没有录音)"),
            QStringLiteral("tabs.showSentence(2,-1,-1)"),
            QStringLiteral("ctrl.setRecTime(00:00:00|00:00:00)"),
            QStringLiteral("ctrl.setRecPlayEnabled(false)"),
            QStringLiteral("ori.setPosition(0)"),
            QStringLiteral("pce.setPosition(0)"),
            QStringLiteral("rec.setPosition(0)"),
        }));
        QCOMPARE(m_repeta->recordPath(), QStringLiteral("files/sentences.mp3/shadowpieces/recordpiece002.mp3"));
    }

    void passageImitationAndRetellingHideTheSentencePlot_data()
    {
        QTest::addColumn<int>("phase");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("file");
        QTest::newRow("imitation") << int(PassageImitation) << QStringLiteral("全文模仿时，不显示单句波形")
                                   << QStringLiteral("imitatepieces/the-only-one.mp3");
        QTest::newRow("retelling") << int(Retelling) << QStringLiteral("复述练习时，不显示单句波形")
                                   << QStringLiteral("retellpieces/the-only-one.mp3");
    }

    void passageImitationAndRetellingHideTheSentencePlot()
    {
        QFETCH(int, phase);
        QFETCH(QString, message);
        QFETCH(QString, file);
        m_repeta->openMaterial(kSentences);
        m_repeta->choosePhase(ListenRepeat);
        log().clear();
        m_repeta->choosePhase(phase);
        QVERIFY(log().inOrder({
            QStringLiteral("ori.setSentenceTimes(null)"),
            QStringLiteral("pce.setPixmap(null)"),
            QStringLiteral("pce.setText(") + message + QLatin1Char(')'),
            QStringLiteral("ori.setSentenceHandler(null)"),
            QStringLiteral("pce.setSeekHandler(null)"),
            QStringLiteral("ctrl.setPcePlayEnabled(false)"),
            QStringLiteral("ctrl.setPceTime(00:00:00|00:00:00)"),
            QStringLiteral("ctrl.setTextTabOffset(-17,0)"),
            QStringLiteral("tabs.setCurrentIndex(1)"),
            QStringLiteral("tabs.setTabEnabled(0,false)"),
            QStringLiteral("ctrl.setRecPlayEnabled(false)"),
        }));
        QCOMPARE(m_repeta->recordPath(), QStringLiteral("files/sentences.mp3/") + file);
        // Another sentence records over the same file in these phases.
        m_repeta->selectSentence(3);
        QCOMPARE(m_repeta->recordPath(), QStringLiteral("files/sentences.mp3/") + file);
    }

    void anInvalidPhaseOnlyRunsTheCommonTail()
    {
        m_repeta->openMaterial(kSentences);
        for (int phase : {-1, 3, 1000}) {
            log().clear();
            m_repeta->choosePhase(phase);
            QCOMPARE(m_repeta->phase(), int(PassageImitation));
            QVERIFY(!log().contains(QStringLiteral("ctrl.setOriPlayChecked(false)")));
            QCOMPARE(log().startingWith(QStringLiteral("ctrl.setRecPlayEnabled")).size(), 1);
            QCOMPARE(log().startingWith(QStringLiteral("ori.setPosition(0)")).size(), 1);
        }
    }

    void selectingASentence()
    {
        m_repeta->openMaterial(kSentences);
        m_repeta->choosePhase(ListenRepeat);
        for (int outside : {4, -1, 1 << 30}) {
            log().clear();
            m_repeta->selectSentence(outside);
            QVERIFY(log().calls().isEmpty());
        }
        QCOMPARE(m_repeta->currentSentence(), 0);

        // An existing recording enables its play button and keeps its label.
        writeFile(QStringLiteral("files/sentences.mp3/shadowpieces/recordpiece001.mp3"), "mp3");
        log().clear();
        m_repeta->selectSentence(1);
        QCOMPARE(m_repeta->currentSentence(), 1);
        QVERIFY(log().contains(QStringLiteral("ctrl.setRecPlayEnabled(true)")));
        QVERIFY(!log().contains(QStringLiteral("ctrl.setRecTime(00:00:00|00:00:00)")));
        QVERIFY(log().contains(QStringLiteral("rec.setPlotting(true)")));
    }

    void theSentenceFileNameHasAtLeastThreeDigits()
    {
        QByteArray lrc;
        for (int i = 0; i < 1236; ++i)
            lrc += "[" + QByteArray::number(i / 60) + ":" + QByteArray::number(i % 60) + "]s\n";
        writeFile(QStringLiteral("./workspace/sentences.lrc"), lrc);
        m_repeta->openMaterial(kSentences);
        m_repeta->choosePhase(ListenRepeat);
        m_repeta->selectSentence(1234);
        QCOMPARE(m_repeta->recordPath(), QStringLiteral("files/sentences.mp3/shadowpieces/recordpiece1234.mp3"));
        // The last sentence has no end: its length label is left alone.
        log().clear();
        m_repeta->selectSentence(1235);
        QVERIFY(log().startingWith(QStringLiteral("ctrl.setPceTime")).isEmpty());
    }

    void theSeekTargetMoves()
    {
        FakePlot slider(log(), QStringLiteral("slider"));
        m_repeta->setSeekTarget(&slider);
        QVERIFY(log().inOrder({QStringLiteral("ori.setSeekHandler(null)"), QStringLiteral("slider.setSeekHandler(set)")}));
        QVERIFY(slider.seekHandler == &Repeta::seekOriginal);
        m_repeta->openMaterial(kSentences);
        QVERIFY(log().contains(QStringLiteral("slider.setPlotting(true)")));
        // No target at all is allowed, and nothing breaks.
        m_repeta->setSeekTarget(nullptr);
        QVERIFY(slider.seekHandler == nullptr);
        m_repeta->choosePhase(ListenRepeat);
        m_repeta->selectSentence(1);
        m_repeta->setSeekTarget(&m_views->ori);
        QVERIFY(m_views->ori.seekHandler == &Repeta::seekOriginal);
    }

    void helpVideosPlayInHelpModeAndKeepTheRecordingFolder()
    {
        m_repeta->openMaterial(kSentences);
        copyMedia(QStringLiteral("video.flv"), QStringLiteral("help.flv"));
        writeFile(QStringLiteral("help.lrc"), "[0:00]Welcome\n[0:01]欢迎\n");
        log().clear();
        m_repeta->openVideo(QStringLiteral("help.flv"));
        QCOMPARE(m_repeta->recordDir(), QStringLiteral("files/sentences.mp3"));
        QVERIFY(!QFileInfo::exists(QStringLiteral("files/help.flv")));
        QVERIFY(!log().contains(QStringLiteral("ctrl.setHelpMode(false)")));
        QCOMPARE(m_repeta->sentenceCount(), 2u);
        QVERIFY(log().inOrder({
            QStringLiteral("ctrl.setPracticeEnabled(true)"),
            QStringLiteral("ctrl.setOriPlayChecked(true)"),
            QStringLiteral("tabs.setCurrentIndex(2)"),
            QStringLiteral("ctrl.setPracticeEnabled(false)"),
            QStringLiteral("pce.setPixmap(null)"),
            QStringLiteral("pce.setText(请从右边列表选择练习材料)"),
            QStringLiteral("rec.setPixmap(null)"),
            QStringLiteral("rec.setText(请从右边列表选择练习材料)"),
            QStringLiteral("ctrl.setRecPlayChecked(false)"),
            QStringLiteral("ctrl.setRecPlayEnabled(false)"),
            QStringLiteral("ctrl.setHelpMode(true)"),
        }));
        // The next real material leaves help mode.
        log().clear();
        m_repeta->openMaterial(kNoLrc);
        QCOMPARE(log().calls().value(0), QStringLiteral("ctrl.setHelpMode(false)"));
    }

    void aMissingRecordingRootIsCreated()
    {
        QVERIFY(!QFileInfo::exists(QStringLiteral("files")));
        m_repeta->openMaterial(QStringLiteral("./workspace/sentences.mp3"));
        QVERIFY(QFileInfo(QStringLiteral("files/sentences.mp3/shadowpieces")).isDir());
        // Materials in a sub-folder of the workspace get their parents too.
        QDir().mkpath(QStringLiteral("workspace/train"));
        copyMedia(QStringLiteral("tone440.mp3"), QStringLiteral("./workspace/train/tone.mp3"));
        m_repeta->openMaterial(QStringLiteral("./workspace/train/tone.mp3"));
        QVERIFY(QFileInfo(QStringLiteral("files/train/tone.mp3/retellpieces")).isDir());
    }

    void anUnusableRecordingRootWritesNothing()
    {
        // A file where the folder should be: no folder can be made below it.
        writeFile(QStringLiteral("files"), "not a folder");
        const QStringList before = treeBelow(QStringLiteral("."));
        m_repeta->openMaterial(kSentences);
        m_repeta->choosePhase(ListenRepeat);
        m_repeta->selectSentence(2);
        QCOMPARE(treeBelow(QStringLiteral(".")), before);
        QCOMPARE(m_repeta->sentenceCount(), 4u);
    }

    void aCraftedPathStaysInsideTheRecordingRoot()
    {
        QDir().mkpath(QStringLiteral("workspace/deep"));
        copyMedia(QStringLiteral("tone440.mp3"), QStringLiteral("./workspace/deep/x.mp3"));
        m_repeta->openMaterial(QStringLiteral("./workspace/deep/../../workspace/deep/x.mp3"));
        for (const QString& path : treeBelow(QStringLiteral("."))) {
            const bool expected = path.startsWith(QLatin1String("./files")) || path.startsWith(QLatin1String("./workspace"));
            QVERIFY2(expected, qPrintable(path));
        }
    }
};

REPETA_TEST_MAIN(MaterialTest)
#include "tst_material.moc"
