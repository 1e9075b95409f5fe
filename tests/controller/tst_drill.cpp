// The hands-free drill through the real engine, recorder and sound server:
// rounds at the chosen speed, the learner's pause, moving on to the end, a
// take that replaces the recording only when it holds speech, and a failure
// that ends the drill with a message and costs nothing.
#include "ControllerFixture.h"

#include "Subprocess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

namespace {
const QString kMaterial = QStringLiteral("./workspace/sentences.mp3");
const QString kLastTake = QStringLiteral("files/sentences.mp3/shadowpieces/recordpiece003.mp3");
constexpr int kLastSentence = 3;
constexpr double kSentenceSeconds = 2.0; // every sentence of the material
constexpr int kDrillTimeoutMs = 20000;
using testenv::readFile;
using testenv::writeFile;

// Mutes the test microphone's steady tone, so that what is played into the
// microphone stands alone as a learner's voice does, until destroyed.
class QuietMicrophone {
public:
    QuietMicrophone() : m_input(toneInput()) { mute(true); }
    ~QuietMicrophone() { mute(false); }
    bool muted() const { return !m_input.isEmpty(); }

private:
    static QString toneInput()
    {
        const QByteArray inputs = outputOf({QStringLiteral("pactl"), QStringLiteral("list"), QStringLiteral("short"),
                                            QStringLiteral("sink-inputs")});
        for (const QByteArray& line : inputs.split('\n')) {
            if (line.contains("module-sine"))
                return QString::fromLatin1(line.split('\t').value(0));
        }
        return QString();
    }
    void mute(bool on)
    {
        if (!m_input.isEmpty())
            exitCodeOf({QStringLiteral("pactl"), QStringLiteral("set-sink-input-mute"), m_input,
                        on ? QStringLiteral("1") : QStringLiteral("0")});
    }
    const QString m_input;
};
} // namespace

class DrillTest : public ControllerFixture {
    Q_OBJECT
private:
    // Runs the drill (or waits for one already started) to its end.
    bool runDrill(const drill::Settings& settings, const std::function<void()>& whileSpeaking = {},
                  bool started = false)
    {
        if (!started && !m_repeta->startDrill(settings))
            return false;
        bool spoke = false;
        QElapsedTimer clock;
        clock.start();
        while (m_repeta->drilling() && clock.elapsed() < kDrillTimeoutMs) {
            QTest::qWait(20);
            if (!spoke && whileSpeaking && m_views->ctrl.drill.stage == DrillState::Speaking) {
                spoke = true;
                whileSpeaking();
            }
        }
        return !m_repeta->drilling();
    }

private slots:
    void initTestCase() { enterHome(); }
    void cleanupTestCase() { leaveHome(); }

    void init()
    {
        openToneSentences(kMaterial);
        m_repeta->choosePhase(ListenRepeat);
    }

    void cleanup() { destroyController(); }

    // From the current sentence to the last: N rounds at the speed, then the
    // pause of k times the sentence as heard, then the next sentence.
    void drillsEachSentenceToTheEnd()
    {
        constexpr double kSpeed = 1.5;
        m_repeta->setSpeed(kSpeed);
        m_repeta->selectSentence(kLastSentence - 1);
        log().clear();
        drill::Settings settings;
        settings.rounds = 2;
        settings.pauseFactor = 0.5;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(runDrill(settings));
        const double heard = kSentenceSeconds / kSpeed;
        const double expected = 2 * (settings.rounds * heard + settings.pauseFactor * heard);
        const double took = clock.elapsed() / 1000.0;
        QVERIFY2(took > expected - 0.2 && took < expected + 1.5, qPrintable(QString::number(took)));
        QVERIFY(qAbs(m_views->ctrl.speakingSeconds - settings.pauseFactor * heard) < 0.05);
        const QString round1 = QStringLiteral("ctrl.showDrill(1,1/2)");
        const QString round2 = QStringLiteral("ctrl.showDrill(1,2/2)");
        QVERIFY2(log().inOrder({QStringLiteral("ctrl.setDrillChecked(true)"), round1, round2,
                                QStringLiteral("tabs.showSentence(3,-1,-1)"), round1, round2,
                                QStringLiteral("ctrl.setDrillChecked(false)"), QStringLiteral("ctrl.showDrill(0,0/0)")}),
                 qPrintable(log().startingWith(QStringLiteral("ctrl.")).join(QLatin1Char(' '))));
        QCOMPARE(m_repeta->currentSentence(), kLastSentence);
        QCOMPARE(m_repeta->activity() & (Repeta::PCE_PLAYING | Repeta::RECORDING), 0);
        QCOMPARE(m_repeta->speed(), kSpeed); // the chosen speed outlasts the drill
    }

    // The microphone's steady tone is no speech: that take is dropped. Speech
    // played into the quiet microphone makes a take that replaces the earlier
    // one and is played back.
    void aTakeReplacesTheRecordingOnlyWhenItHoldsSpeech()
    {
        m_repeta->selectSentence(kLastSentence);
        writeFile(kLastTake, "the learner's earlier take");
        drill::Settings settings;
        settings.rounds = 1;
        settings.pauseFactor = 1.5;
        settings.record = true;
        settings.playBack = true;
        QVERIFY(runDrill(settings));
        QCOMPARE(readFile(kLastTake), QByteArray("the learner's earlier take"));
        QVERIFY(!QFile::exists(kLastTake + QStringLiteral(".part")));
        QVERIFY(!log().contains(QStringLiteral("ctrl.showDrill(3,0/0)")));

        const QString speech = QDir::current().filePath(QStringLiteral("speech.wav"));
        QCOMPARE(exitCodeOf({QStringLiteral("ffmpeg"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                             QStringLiteral("-i"), testenv::media(QStringLiteral("speech.mp3")), QStringLiteral("-t"),
                             QStringLiteral("2.5"), speech}),
                  0);
        QProcess speaker;
        const QuietMicrophone quiet;
        QVERIFY(quiet.muted());
        log().clear();
        QVERIFY(runDrill(settings, [&speaker, &speech] {
            speaker.start(QStringLiteral("paplay"), {QStringLiteral("--device=micsink"), speech});
        }));
        speaker.waitForFinished(5000);
        QVERIFY(readFile(kLastTake).startsWith("ID3") || readFile(kLastTake).size() > 1000);
        QVERIFY(readFile(kLastTake) != QByteArray("the learner's earlier take"));
        QVERIFY(log().inOrder({QStringLiteral("ctrl.showDrill(3,0/0)"), QStringLiteral("ctrl.setDrillChecked(false)")}));
    }

    // A/B: the sentence once, then its take, then nothing more; without a
    // take there is nothing to compare.
    void comparesTheSentenceWithItsTake()
    {
        m_repeta->selectSentence(kLastSentence);
        QVERIFY(!m_repeta->compareWithTake());
        QCOMPARE(exitCodeOf({QStringLiteral("ffmpeg"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                             QStringLiteral("-i"), testenv::media(QStringLiteral("tone440.mp3")), kLastTake}),
                 0);
        m_repeta->selectSentence(kLastSentence); // sees the take
        log().clear();
        QVERIFY(m_repeta->compareWithTake());
        QVERIFY(runDrill({}, {}, true));
        QVERIFY2(log().inOrder({QStringLiteral("ctrl.showDrill(1,1/1)"), QStringLiteral("ctrl.setRecPlayChecked(true)"),
                                QStringLiteral("ctrl.showDrill(0,0/0)")}),
                 qPrintable(log().startingWith(QStringLiteral("ctrl.")).join(QLatin1Char(' '))));
        QVERIFY(!log().contains(QStringLiteral("ctrl.setDrillChecked(true)")));
        QCOMPARE(m_repeta->activity() & (Repeta::PCE_PLAYING | Repeta::REC_PLAYING), 0);
    }

    // A full disk ends the drill with a message for the learner; the earlier
    // take stays.
    void aFailedTakeEndsTheDrillWithAMessage()
    {
        m_repeta->selectSentence(kLastSentence);
        writeFile(kLastTake, "the learner's earlier take");
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), kLastTake + QStringLiteral(".part")));
        drill::Settings settings;
        settings.rounds = 1;
        settings.pauseFactor = 0.5;
        settings.record = true;
        QVERIFY(runDrill(settings));
        QCOMPARE(m_views->ctrl.drill.stage, DrillState::Failed);
        QVERIFY(!m_views->ctrl.drill.message.isEmpty());
        QCOMPARE(readFile(kLastTake), QByteArray("the learner's earlier take"));
    }
};

REPETA_TEST_MAIN(DrillTest)
#include "tst_drill.moc"
