// The real program driven by its keys through the window system, as a
// learner drives it without the mouse: a refused key said once at start-up,
// a dialog that keeps the keys, the sentence loop and its neighbours, the
// speed keys, recording, playing and comparing the take, the drill that any other key
// ends, blind listening, the key sheet and the phases, and the profile that
// keeps what the keys set.
#include "Desktop.h"
#include "ProgramRun.h"
#include "ScreenMap.h"
#include "SoundCapture.h"
#include "SoundMatch.h"
#include "TestEnvironment.h"

#include "app/Dialog.h"
#include "app/InterfaceFont.h"
#include "controller/Repeta.h"
#include "library/TreesView.h"
#include "textview/TabsView.h"
#include "widgets/ChromeTabs.h"
#include "widgets/DrillStatus.h"
#include "widgets/PanelView.h"
#include "widgets/PhaseTabs.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr int kStartTimeoutMs = 40000;
constexpr int kReactionTimeoutMs = 15000;
constexpr int kQuitTimeoutMs = 30000;
// Time for a key to show on the screen when it does anything.
constexpr int kKeyEffectMs = 600;
constexpr double kSilenceDb = -50;
constexpr double kMicrophoneHz = 440;
constexpr double kToneToleranceHz = 5;
constexpr double kFastSpeed = 1.25;
// From a key to the sound at the sink, on a loaded machine.
constexpr double kStartAllowanceSeconds = 1.5;
constexpr double kRoundToleranceSeconds = 0.05;
const QString kMaterial = QStringLiteral("./workspace/greetings.mp3");
const QString kFirstTake = QStringLiteral("files/greetings.mp3/shadowpieces/recordpiece000.mp3");
// Listen & Repeat on the karaoke page; the blind-listening key asked for is
// the drill's, so it is refused and stays H.
const QByteArray kProfile = "[General]\nMaterialName=./workspace/greetings.mp3\nPhase=1\nPage=0\n"
                            "[Shortcuts]\nBlind=D\n";

bool prepareData(const QString& folder)
{
    if (exitCodeOf({QStringLiteral(REPETA_PREPARE_DATA), folder, QStringLiteral(REPETA_SAMPLES_DIR)}) != 0)
        return false;
    testenv::writeFile(folder + QStringLiteral("/profile.ini"), kProfile);
    return true;
}

bool press(const QString& key, int times = 1)
{
    for (int i = 0; i < times; ++i) {
        if (!desktop::pressKey(key))
            return false;
    }
    return true;
}

} // namespace

class KeysTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_data;
    QTemporaryDir m_twinData;
    QString m_origin;
    std::unique_ptr<Dialog> m_twin;
    ProgramRun m_program;
    ScreenMap m_map;
    ScreenWindow m_main;
    ScreenWindow m_message;
    QVector<float> m_starts;
    QVector<float> m_ends;
    Pcm m_sound;
    bool m_broken = false;

    const DialogForm& ui() const { return m_twin->form(); }
    QString inData(const QString& relative) const { return m_data.path() + QLatin1Char('/') + relative; }
    Pcm sentence(int index) const { return m_sound.slice(m_starts[index], m_ends[index]); }
    double length(int index) const { return double(m_ends[index] - m_starts[index]); }
    QImage region(const QWidget* twin) const { return desktop::screenshot().copy(m_map.rect(twin)); }

    // What the sink plays while the keys are pressed and for `ms` after.
    Pcm hear(const QStringList& keys, int ms)
    {
        SoundCapture capture;
        if (!capture.start())
            return {};
        for (const QString& key : keys)
            press(key);
        QTest::qWait(ms);
        return capture.stop();
    }

    // Waits until the widget's region on the screen differs from `before`.
    bool changes(const QWidget* twin, const QImage& before)
    {
        return desktop::pollUntil([&] { return desktop::changedPixels(region(twin), before) > 0; }, kReactionTimeoutMs);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(testenv::soundServerRunning());
        QVERIFY(prepareData(m_data.path()) && prepareData(m_twinData.path()));
        m_origin = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_twinData.path()));
        preferSimplifiedChinese();
        m_twin = std::make_unique<Dialog>();
        m_twin->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_twin.get()));

        QVERIFY(m_program.start(QStringLiteral(REPETA_BINARY), m_data.path()));
        // The three windows and the message about the refused key.
        const QList<ScreenWindow> windows = desktop::waitForWindows(m_program.pid(), 4, kStartTimeoutMs);
        QString error;
        for (const QWidget* twin : {static_cast<QWidget*>(m_twin.get()), static_cast<QWidget*>(ui().ctrlpanel),
                                    ui().tsWidget})
            QVERIFY2(m_map.place(twin, windows, &error), qPrintable(error));
        const QRect main = m_map.rect(m_twin.get());
        for (const ScreenWindow& window : windows) {
            if (window.geometry == main)
                m_main = window;
            else if (!m_map.rect(ui().ctrlpanel).intersects(window.geometry) &&
                     !m_map.rect(ui().tsWidget).contains(window.geometry))
                m_message = window;
        }
        QVERIFY(!m_main.id.isEmpty());
        QVERIFY2(!m_message.id.isEmpty(), "no message about the refused key");

        m_starts = m_twin->controller()->sentenceStarts();
        m_ends = m_twin->controller()->sentenceEnds();
        QVERIFY(m_starts.size() >= 3);
        m_sound = decodeFile(inData(kMaterial));
        QVERIFY(desktop::moveTo(QPoint(0, 0)));
    }

    void init()
    {
        if (m_broken)
            QSKIP("an earlier step failed");
    }

    void cleanup()
    {
        if (QTest::currentTestFailed())
            m_broken = true;
    }

    void cleanupTestCase()
    {
        m_program.terminate();
        int status = -1;
        m_program.waitForExit(kQuitTimeoutMs, &status);
        m_twin.reset();
        QDir::setCurrent(m_origin);
    }

    // While the message about the refused key is open, the main window's
    // keys do nothing; Return closes it.
    void aDialogKeepsTheKeys()
    {
        QVERIFY(desktop::focus(m_message));
        const QImage text = region(ui().txtLrc);
        QVERIFY(press(QStringLiteral("h")) && press(QStringLiteral("3")));
        QTest::qWait(kKeyEffectMs);
        QCOMPARE(desktop::changedPixels(region(ui().txtLrc), text), 0);
        QVERIFY(press(QStringLiteral("Return")));
        QVERIFY(desktop::waitUntilGone(m_program.pid(), m_message, kReactionTimeoutMs));
    }

    // Space loops the sentence; → moves on to the next, ← back.
    void spaceLoopsTheSentenceAndArrowsMove()
    {
        QVERIFY(desktop::focus(m_main));
        Pcm heard = hear({QStringLiteral("space")}, int((2 * length(0) + kStartAllowanceSeconds) * 1000));
        QVERIFY(press(QStringLiteral("space")));
        QVERIFY2(occurrencesOf(sentence(0), heard).size() >= 2, "the first sentence did not loop");

        heard = hear({QStringLiteral("Right"), QStringLiteral("space")},
                     int((length(1) + kStartAllowanceSeconds) * 1000));
        QVERIFY(press(QStringLiteral("space")));
        QVERIFY2(!occurrencesOf(sentence(1), heard).isEmpty(), "the next sentence did not play");
        QVERIFY(occurrencesOf(sentence(0), heard).isEmpty());
        QVERIFY(press(QStringLiteral("Left")));
    }

    // [ five times and ] ten times: 1.25×, and a round of the loop lasts
    // the sentence over the speed.
    void bracketsSetTheSpeed()
    {
        QVERIFY(press(QStringLiteral("bracketleft"), 5) && press(QStringLiteral("bracketright"), 10));
        const double round = length(0) / kFastSpeed;
        const Pcm heard = hear({QStringLiteral("space")}, int((2 * round + kStartAllowanceSeconds) * 1000));
        QVERIFY(press(QStringLiteral("space")));
        const double period = repeatPeriod(heard, 0.8 * round, 1.2 * round);
        QVERIFY2(qAbs(period - round) < kRoundToleranceSeconds,
                 qPrintable(QStringLiteral("%1 s for %2 s").arg(period).arg(round)));
    }

    // R records the microphone into the sentence's take; P plays it, and C
    // plays the sentence and then it.
    void recordsAndPlaysTheTake()
    {
        const QImage text = region(ui().txtLrc);
        QVERIFY(press(QStringLiteral("r")));
        QTest::qWait(1500);
        QVERIFY(press(QStringLiteral("r")));
        QVERIFY(desktop::pollUntil([this] { return QFileInfo(inData(kFirstTake)).size() > 0; }, kReactionTimeoutMs));
        // The take's comparison with the sentence comes forward.
        QVERIFY2(changes(ui().txtLrc, text), "no comparison after the take");
        const Pcm take = decodeFile(inData(kFirstTake));
        QVERIFY2(qAbs(toneFrequency(take.slice(0.3, take.seconds() - 0.3)) - kMicrophoneHz) < kToneToleranceHz,
                 "the take is not the microphone's tone");
        // Played at the speed set above, the take still sounds at its pitch.
        const Pcm heard = hear({QStringLiteral("p")}, 1200);
        const Pcm steady = heard.slice(0.4, 0.9);
        QVERIFY2(qAbs(toneFrequency(steady) - kMicrophoneHz) < kToneToleranceHz,
                 qPrintable(QStringLiteral("%1 Hz at %2 dB").arg(toneFrequency(steady)).arg(levelDb(steady))));

        // C: the sentence, then the take, then silence.
        const double both = (length(0) + take.seconds()) / kFastSpeed;
        const Pcm compared = hear({QStringLiteral("c")}, int((both + 2 * kStartAllowanceSeconds) * 1000));
        const SoundSpan span = soundSpan(compared);
        QVERIFY2(qAbs(span.length() - both) < 0.5, qPrintable(QStringLiteral("%1 s of %2 s").arg(span.length()).arg(both)));
        QVERIFY(qAbs(toneFrequency(compared.slice(span.end - 0.7, span.end - 0.2)) - kMicrophoneHz) < kToneToleranceHz);
        QVERIFY(levelDb(compared.slice(span.end + 0.1)) < kSilenceDb);
    }

    // D starts the drill: the sentence plays and the status shows; a speed
    // key leaves it running; any other key ends it at once.
    void theDrillRunsUntilAnotherKey()
    {
        const QImage idle = region(ui().drillStatus);
        SoundCapture capture;
        QVERIFY(capture.start());
        QVERIFY(press(QStringLiteral("d")));
        QVERIFY2(changes(ui().drillStatus, idle), "the drill's status did not show");
        QVERIFY(press(QStringLiteral("bracketright")));
        QTest::qWait(1000);
        const Pcm running = capture.stop();
        QVERIFY2(levelDb(running.slice(running.seconds() - 0.5)) > kSilenceDb, "the speed key ended the drill");
        QVERIFY(press(QStringLiteral("a")));
        QTest::qWait(400);
        const Pcm after = hear({}, 1000);
        QVERIFY2(levelDb(after) < kSilenceDb, qPrintable(QString::number(levelDb(after))));
        QVERIFY(desktop::pollUntil([&] { return desktop::changedPixels(region(ui().drillStatus), idle) == 0; },
                                   kReactionTimeoutMs));
    }

    // H hides the words behind bars; V shows the sentence as it was.
    void blindListeningHidesTheWords()
    {
        // Back from the comparison to the karaoke page, by its dot.
        const QRect dot = ui().txtLrc->chromeTabs()->dotRect(0);
        QVERIFY(desktop::click(m_map.toScreen(ui().txtLrc->chromeTabs(), dot.center())));
        QTest::qWait(kKeyEffectMs);
        QVERIFY(desktop::focus(m_main));
        const QImage text = region(ui().txtLrc);
        QVERIFY(press(QStringLiteral("h")));
        QVERIFY2(changes(ui().txtLrc, text), "blind listening hid nothing");
        QVERIFY(press(QStringLiteral("v")));
        QVERIFY2(desktop::pollUntil([&] { return desktop::changedPixels(region(ui().txtLrc), text) == 0; },
                                    kReactionTimeoutMs),
                 "V did not show the sentence");
    }

    // F1 opens the sheet of keys and Escape closes it; 3 goes to Retelling.
    void theSheetAndThePhases()
    {
        const QList<ScreenWindow> before = desktop::windowsOf(m_program.pid());
        QVERIFY(press(QStringLiteral("F1")));
        ScreenWindow sheet;
        QVERIFY2(desktop::waitForNewWindow(m_program.pid(), before, kReactionTimeoutMs, &sheet), "no sheet");
        QVERIFY(desktop::focus(sheet));
        QVERIFY(press(QStringLiteral("Escape")));
        QVERIFY(desktop::waitUntilGone(m_program.pid(), sheet, kReactionTimeoutMs));

        QVERIFY(desktop::focus(m_main));
        const QImage tabs = region(ui().phaseTabs);
        QVERIFY(press(QStringLiteral("3")));
        QVERIFY2(changes(ui().phaseTabs, tabs), "3 did not change the phase");
    }

    // What the keys set is in the profile after quitting.
    void theProfileKeepsWhatTheKeysSet()
    {
        m_program.terminate();
        int status = -1;
        QVERIFY2(m_program.waitForExit(kQuitTimeoutMs, &status), "still running");
        QCOMPARE(status, 0);
        const QSettings profile(inData(QStringLiteral("profile.ini")), QSettings::IniFormat);
        QVERIFY(qAbs(profile.value(QStringLiteral("Speed")).toDouble() - (kFastSpeed + 0.05)) < 1e-6);
        QCOMPARE(profile.value(QStringLiteral("Blind")).toString(), QStringLiteral("true"));
        QCOMPARE(profile.value(QStringLiteral("Phase")).toInt(), int(Retelling));
    }
};

REPETA_TEST_MAIN(KeysTest)
#include "tst_keys.moc"
