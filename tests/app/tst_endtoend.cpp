// The real program on the X display and the sound server, driven by pointer
// clicks as a learner drives it: choosing a material in the library, playing
// the passage, recording the microphone, seeing, playing and exporting the
// recording, looping a sentence, quitting from the window, and finding the
// material, phase, page and volumes again at the next start.
// Where to click comes from twins of the program's windows that the test
// builds offscreen with the program's own code (ScreenMap.h); each step keeps
// a screenshot in the artifacts folder.
#include "Desktop.h"
#include "ProgramRun.h"
#include "ScreenMap.h"
#include "SoundCapture.h"
#include "SoundMatch.h"
#include "TestEnvironment.h"

#include "app/Dialog.h"
#include "app/InterfaceFont.h"
#include "controller/Repeta.h"
#include "export/Exporter.h"
#include "library/MatTree.h"
#include "library/TreesView.h"
#include "library/TsWidget.h"
#include "skin/QSkinObject.h"
#include "textview/LrcLstView.h"
#include "textview/TabsView.h"
#include "waveform/PlotView.h"
#include "widgets/ChromeTabs.h"
#include "widgets/OctImgBtn.h"
#include "widgets/PanelView.h"
#include "widgets/PhaseTabs.h"
#include "widgets/VoicerImg.h"
#include "widgets/VolSlider.h"

#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidgetItemIterator>

#include <memory>

namespace {

// Generous for a sanitizer build on a loaded two-core machine.
constexpr int kStartTimeoutMs = 40000;
constexpr int kReactionTimeoutMs = 15000;
constexpr int kQuitTimeoutMs = 30000;
// How long the microphone is recorded, and how long the passage is listened
// to beyond its first sentence; the second sentence must be heard in the
// first part of that.
constexpr int kRecordingMs = 2000;
constexpr int kListenBeyondMs = 1500;
constexpr double kNextSentenceSeconds = 0.75;
constexpr double kMicrophoneHz = 440; // the services' test source
constexpr double kToneToleranceHz = 5;
constexpr double kSilenceDb = -50;
// A waveform spans most of its plot; a message is a few words in the middle.
constexpr double kWaveformColumns = 0.5;
// A tone's waveform spans all of it.
constexpr double kToneColumns = 0.9;
// The text view's page with the list of all sentences.
constexpr int kListPage = 1;
// A basic sample material, found by its title in the library.
const QString kMaterialTitle = QStringLiteral("Greetings");
// Where the twin main window reads its frame, as the program does.
const QString kMainSkin = QStringLiteral("./skin/main.ini");

QString artifactsFolder()
{
    return QStringLiteral(REPETA_ARTIFACTS_DIR);
}

// A learner who has been here before: no help video at the start.
bool prepareData(const QString& folder)
{
    if (exitCodeOf({QStringLiteral(REPETA_PREPARE_DATA), folder, QStringLiteral(REPETA_SAMPLES_DIR)}) != 0)
        return false;
    testenv::writeFile(folder + QStringLiteral("/profile.ini"), "[General]\nFullPlaying=false\n");
    return true;
}

QTreeWidgetItem* rowTitled(MatTree* tree, const QString& title)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->text(MatTree::TitleColumn).contains(title))
            return *it;
    }
    return nullptr;
}

// The middle of a row's cell, in the tree's viewport.
QPoint cellCentre(MatTree* tree, QTreeWidgetItem* row, int column)
{
    const QRect rowRect = tree->visualItemRect(row);
    return QPoint(tree->columnViewportPosition(column) + tree->columnWidth(column) / 2, rowRect.center().y());
}

// Phase tabs take clicks on the lower half of their dot.
QPoint phaseTabPoint(const PhaseTabs* tabs, int index)
{
    const QRect dot = tabs->dotRect(index);
    return QPoint(dot.center().x(), dot.top() + dot.height() * 3 / 4);
}

// The sound from its first to its last loud moment, less the edges, where
// the tone fades in and out.
Pcm steadyPart(const Pcm& pcm)
{
    constexpr double kEdgeSeconds = 0.1;
    const SoundSpan span = soundSpan(pcm);
    return pcm.slice(span.start + kEdgeSeconds, span.end - kEdgeSeconds);
}

// A second or more of the microphone's tone.
bool isTone(const Pcm& pcm)
{
    const Pcm steady = steadyPart(pcm);
    const double frequency = toneFrequency(steady);
    if (steady.seconds() < 1.0 || qAbs(frequency - kMicrophoneHz) > kToneToleranceHz) {
        qWarning("not a second of the tone: %.2f s of %.1f Hz at %.1f dB", steady.seconds(), frequency,
                 levelDb(steady));
        return false;
    }
    return true;
}

} // namespace

class EndToEndTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_data;
    QTemporaryDir m_twinData;
    QTemporaryDir m_exportFolder;
    QString m_origin;
    std::unique_ptr<Dialog> m_twin;
    std::unique_ptr<ProgramRun> m_program;
    ScreenMap m_map;
    int m_shots = 0;
    bool m_broken = false;

    QString m_material;    // the chosen material's path, relative to the data folder
    QString m_recording;   // the passage recording, absolute
    Pcm m_materialSound;
    QVector<float> m_starts; // sentence start times
    QImage m_freshScreen;    // as the first start showed the program
    QImage m_recordingPlotBefore;
    QImage m_beforeQuit;

    const DialogForm& ui() const { return m_twin->form(); }
    QString inData(const QString& relative) const { return m_data.path() + QLatin1Char('/') + relative; }

    Pcm firstSentence() const { return m_materialSound.slice(m_starts[0], m_starts[1]); }
    int firstSentenceMs() const { return int((m_starts[1] - m_starts[0]) * 1000); }

    void keepScreenshot(const QString& name, const QImage& shot = QImage())
    {
        const QImage image = shot.isNull() ? desktop::screenshot() : shot;
        const QString number = QStringLiteral("%1").arg(++m_shots, 2, 10, QLatin1Char('0'));
        const QString path = QStringLiteral("%1/%2-%3.png").arg(artifactsFolder(), number, name);
        if (!image.save(path))
            qWarning("cannot keep the screenshot %s", qPrintable(path));
    }

    QImage regionOf(const QImage& screen, const QWidget* twin) const { return screen.copy(m_map.rect(twin)); }
    // How the region of a twin widget differs between two screenshots.
    qsizetype changedPixelsOf(const QWidget* twin, const QImage& a, const QImage& b) const
    {
        return desktop::changedPixels(regionOf(a, twin), regionOf(b, twin));
    }
    int changedColumnsOf(const QWidget* twin, const QImage& a, const QImage& b) const
    {
        return desktop::changedColumns(regionOf(a, twin), regionOf(b, twin));
    }

    bool startProgram()
    {
        m_program = std::make_unique<ProgramRun>();
        if (!m_program->start(QStringLiteral(REPETA_BINARY), m_data.path()))
            return false;
        const QList<ScreenWindow> windows = desktop::waitForWindows(m_program->pid(), 3, kStartTimeoutMs);
        QString error;
        for (const QWidget* twin : {static_cast<QWidget*>(m_twin.get()), static_cast<QWidget*>(ui().ctrlpanel),
                                    ui().tsWidget}) {
            if (!m_map.place(twin, windows, &error)) {
                qWarning("%s", qPrintable(error));
                return false;
            }
        }
        return true;
    }

    // A point outside the program's windows, where the pointer lights nothing up.
    bool parkPointer() { return desktop::moveTo(QPoint(0, 0)); }

    // Waits until the region of a twin widget differs on the screen from
    // `before` in at least that fraction of its columns, and in one at
    // least; the screenshot then.
    QImage waitForChange(const QWidget* twin, const QImage& before, double columns)
    {
        const int wanted = std::max(1, int(columns * twin->width()));
        bool met = false;
        const QImage shot = desktop::waitForScreen([&](const QImage& screen) {
            return desktop::changedColumns(regionOf(screen, twin), before) >= wanted;
        }, kReactionTimeoutMs, &met);
        if (!met)
            qWarning("%s did not change on the screen", qPrintable(twin->objectName()));
        return met ? shot : QImage();
    }

    // Waits until two screenshots in a row show the main window alike: it
    // is painted and nothing in it moves.
    QImage settledScreen()
    {
        QImage previous;
        bool met = false;
        const QImage shot = desktop::waitForScreen([&](const QImage& screen) {
            const bool same = !previous.isNull() && changedPixelsOf(m_twin.get(), screen, previous) == 0;
            previous = screen;
            return same;
        }, kStartTimeoutMs, &met);
        return met ? shot : QImage();
    }

    // Waits until a plot of the program shows what the twin's plot shows,
    // the twin being in the same state, and that is no message: a waveform
    // drawn by the program's code from the same material.
    QImage waitForTwinWaveform(PlotView* twin, const QImage& before)
    {
        bool met = false;
        const QImage shot = desktop::waitForScreen([&](const QImage& screen) {
            const QImage shown = regionOf(screen, twin);
            const QImage drawn = twin->grab().toImage().convertToFormat(QImage::Format_RGB32);
            return desktop::changedPixels(shown, drawn) <= shown.width() * shown.height() / 100
                   && desktop::changedColumns(shown, before) >= int(kWaveformColumns * twin->width());
        }, kReactionTimeoutMs, &met);
        return met ? shot : QImage();
    }

    // Clicks a widget of the program and gives the twin the same click, so
    // that the twin's layout follows (phase tabs move the text tabs).
    bool clickBoth(QWidget* twin, QPoint local)
    {
        if (!desktop::click(m_map.toScreen(twin, local)))
            return false;
        QTest::mouseClick(twin, Qt::LeftButton, {}, local);
        return true;
    }

    bool click(const QWidget* twin) { return desktop::click(m_map.centre(twin)); }

    // Shows a row's hidden volume slider by pointing at its icon, then
    // clicks the slider `fraction` of the way along, in the program and in
    // the twin: the twin's slider then holds the value the program must have.
    bool setVolumeByPointer(VoicerImg* icon, VolSlider* slider, double fraction)
    {
        const QImage hidden = desktop::screenshot();
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QCoreApplication::sendEvent(icon, &enter);
        m_twin->layout()->activate();
        if (!slider->isVisible() || !desktop::moveTo(m_map.centre(icon))
            || waitForChange(slider, regionOf(hidden, slider), 0.3).isNull())
            return false;
        const int before = slider->value();
        const bool clicked = clickBoth(slider, QPoint(int(fraction * slider->width()), slider->height() / 2));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(icon, &leave);
        return clicked && slider->value() != before;
    }

    QPoint closeButtonOnScreen() const
    {
        QWidget probe;
        probe.resize(m_twin->size());
        QSkinObject frame(&probe, QSkinObject::MinimizeClose);
        frame.setSettingsPath(kMainSkin);
        frame.startSkinning();
        return m_map.toScreen(m_twin.get(), frame.closeButtonRect().center());
    }

    // Clicks a play button and waits until its row's time label moves: the
    // program is playing.
    bool startPlaying(const OctImgBtn* play, const QLabel* time)
    {
        const QImage before = regionOf(desktop::screenshot(), time);
        return click(play) && !waitForChange(time, before, 0).isNull();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(testenv::soundServerRunning());
        QVERIFY(prepareData(m_data.path()) && prepareData(m_twinData.path()));
        QVERIFY(QDir().mkpath(artifactsFolder()));
        for (const QString& old : QDir(artifactsFolder()).entryList({QStringLiteral("*.png")}))
            QFile::remove(artifactsFolder() + QLatin1Char('/') + old);

        // The twin reads the same lists and profile as the program, from
        // its own copy of the folder.
        m_origin = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_twinData.path()));
        preferSimplifiedChinese();
        m_twin = std::make_unique<Dialog>();
        m_twin->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_twin.get()));

        QVERIFY(startProgram());
        QVERIFY(parkPointer());
        m_freshScreen = settledScreen();
        QVERIFY2(!m_freshScreen.isNull(), "the main window never settled");
        keepScreenshot(QStringLiteral("started"), m_freshScreen);
    }

    void init()
    {
        if (m_broken)
            QSKIP("an earlier step failed");
    }

    void cleanup()
    {
        if (QTest::currentTestFailed()) {
            m_broken = true;
            keepScreenshot(QStringLiteral("failed-%1").arg(QString::fromLatin1(QTest::currentTestFunction())));
        }
    }

    void cleanupTestCase()
    {
        if (m_program) {
            m_program->terminate();
            int status = -1;
            m_program->waitForExit(kQuitTimeoutMs, &status);
        }
        m_twin.reset();
        QDir::setCurrent(m_origin);
        qInfo("screenshots: %s", qPrintable(artifactsFolder()));
    }

    void choosesAMaterialInTheLibrary()
    {
        MatTree* tree = ui().tabWidget->page(0)->matTree();
        QTreeWidgetItem* row = rowTitled(tree, kMaterialTitle);
        QVERIFY(row);
        QVERIFY(clickBoth(tree->viewport(), cellCentre(tree, row, MatTree::TitleColumn)));
        m_material = m_twin->controller()->materialPath();
        QVERIFY(!m_material.isEmpty());
        // The program shows the passage's waveform and its sentences.
        const QImage shot = waitForTwinWaveform(ui().ori.plot, regionOf(m_freshScreen, ui().ori.plot));
        QVERIFY2(!shot.isNull(), "no waveform of the passage");
        QVERIFY(changedColumnsOf(ui().lstLrc, shot, m_freshScreen) > ui().lstLrc->width() / 2);
        keepScreenshot(QStringLiteral("material-chosen"), shot);

        m_starts = m_twin->controller()->sentenceStarts();
        QVERIFY(m_starts.size() >= 2);
        m_materialSound = decodeFile(inData(m_material));
        QVERIFY(m_materialSound.seconds() > m_starts.last());
    }

    // The passage plays from its start and runs on past the first sentence.
    void playsTheWholePassage()
    {
        SoundCapture capture;
        QVERIFY(capture.start());
        QVERIFY2(startPlaying(ui().ori.play, ui().ori.time), "it did not start playing");
        QTest::qWait(firstSentenceMs() + kListenBeyondMs);
        keepScreenshot(QStringLiteral("passage-playing"));
        const Pcm heard = capture.stop();
        QVERIFY(click(ui().ori.play)); // pauses

        QVERIFY2(levelDb(heard) > kSilenceDb, qPrintable(QString::number(levelDb(heard))));
        const QVector<double> found = occurrencesOf(firstSentence(), heard);
        QCOMPARE(found.size(), 1);
        const double after = found[0] + m_starts[1] - m_starts[0];
        QVERIFY2(levelDb(heard.slice(after, after + kNextSentenceSeconds)) > kSilenceDb,
                 "nothing after the first sentence");
    }

    // Passage Imitation records the whole passage: the test microphone's
    // tone, into the material's folder under "files/".
    void recordsTheMicrophone()
    {
        m_recording = inData(m_twin->controller()->recordPath());
        QVERIFY2(m_recording.startsWith(inData(QStringLiteral("files/"))), qPrintable(m_recording));
        QVERIFY(!QFile::exists(m_recording));
        m_recordingPlotBefore = regionOf(desktop::screenshot(), ui().rec.plot);
        QVERIFY(click(ui().recCtrl));
        // The plot says that it records.
        QVERIFY(!waitForChange(ui().rec.plot, m_recordingPlotBefore, 0.05).isNull());
        QTest::qWait(kRecordingMs);
        keepScreenshot(QStringLiteral("recording"));
        QVERIFY(click(ui().recCtrl));
        QVERIFY(desktop::pollUntil([this] { return QFileInfo(m_recording).isFile(); }, kReactionTimeoutMs));

        const Pcm recorded = decodeFile(m_recording);
        QVERIFY2(recorded.seconds() > 1.0 && recorded.seconds() < 5.0, qPrintable(QString::number(recorded.seconds())));
        QVERIFY(isTone(recorded));
    }

    void showsTheRecordingsWaveform()
    {
        const QImage shot = waitForChange(ui().rec.plot, m_recordingPlotBefore, kToneColumns);
        QVERIFY(!shot.isNull());
        keepScreenshot(QStringLiteral("recording-waveform"), shot);
    }

    void playsTheRecording()
    {
        SoundCapture capture;
        QVERIFY(capture.start());
        QVERIFY2(startPlaying(ui().rec.play, ui().rec.time), "it did not start playing");
        keepScreenshot(QStringLiteral("recording-playing"));
        QTest::qWait(int(decodeFile(m_recording).seconds() * 1000));
        const Pcm heard = capture.stop();

        QVERIFY(isTone(heard));
    }

    // The export cell of the material's row opens the export dialog; its
    // folder button the folder dialog, answered by typing the folder; the
    // export button writes the file and a message box confirms it.
    void exportsTheRecording()
    {
        const qint64 pid = m_program->pid();
        MatTree* tree = ui().tabWidget->page(0)->matTree();
        QTreeWidgetItem* row = rowTitled(tree, kMaterialTitle);
        QVERIFY(row);
        QList<ScreenWindow> windows = desktop::windowsOf(pid);
        QVERIFY(desktop::click(m_map.toScreen(tree->viewport(), cellCentre(tree, row, MatTree::ActionColumn))));
        ScreenWindow dialog;
        QVERIFY2(desktop::waitForNewWindow(pid, windows, kReactionTimeoutMs, &dialog), "no export dialog");
        Exporter twin;
        twin.show();
        QString error;
        QVERIFY2(m_map.place(&twin, {dialog}, &error), qPrintable(error));
        keepScreenshot(QStringLiteral("export-dialog"));

        windows = desktop::windowsOf(pid);
        QVERIFY(click(twin.form().btnChoDir));
        ScreenWindow folders;
        QVERIFY2(desktop::waitForNewWindow(pid, windows, kReactionTimeoutMs, &folders), "no folder dialog");
        QVERIFY2(desktop::waitForFocus(folders, kReactionTimeoutMs), "the folder dialog has no keyboard");
        QVERIFY(desktop::type(m_exportFolder.path()));
        keepScreenshot(QStringLiteral("export-folder-typed"));
        QVERIFY(desktop::pressKey(QStringLiteral("Return")));
        QVERIFY(desktop::waitUntilGone(pid, folders, kReactionTimeoutMs));
        keepScreenshot(QStringLiteral("export-folder-chosen"));

        windows = desktop::windowsOf(pid);
        QVERIFY(click(twin.form().btnExport));
        QVERIFY2(desktop::waitUntilGone(pid, dialog, kReactionTimeoutMs), "the export dialog stayed");
        ScreenWindow message;
        QVERIFY2(desktop::waitForNewWindow(pid, windows, kReactionTimeoutMs, &message), "no message box");
        QVERIFY2(desktop::waitForFocus(message, kReactionTimeoutMs), "the message box has no keyboard");
        keepScreenshot(QStringLiteral("export-done"));
        QVERIFY(desktop::pressKey(QStringLiteral("Return")));
        QVERIFY(desktop::waitUntilGone(pid, message, kReactionTimeoutMs));

        const QFileInfoList exported = QDir(m_exportFolder.path()).entryInfoList(QDir::Files);
        QCOMPARE(exported.size(), 1);
        QCOMPARE(exported[0].suffix(), QStringLiteral("mp3"));
        QCOMPARE(testenv::readFile(exported[0].filePath()), testenv::readFile(m_recording));
        QVERIFY(isTone(decodeFile(exported[0].filePath())));
    }

    // Listen & Repeat: the first sentence, chosen on the passage's waveform,
    // plays over and over, one sentence length apart.
    void loopsASentenceInListenAndRepeat()
    {
        const QImage before = regionOf(desktop::screenshot(), ui().pce.plot);
        QVERIFY(clickBoth(ui().phaseTabs, phaseTabPoint(ui().phaseTabs, ListenRepeat)));
        // The passage's waveform now takes clicks on its sentences.
        PlotView* passage = ui().ori.plot;
        const double middle = (m_starts[0] + m_starts[1]) / 2 / m_materialSound.seconds();
        QVERIFY(clickBoth(passage, QPoint(int(middle * passage->width()), passage->height() / 2)));
        // The sentence row shows the first sentence's waveform.
        QVERIFY2(!waitForTwinWaveform(ui().pce.plot, before).isNull(), "no waveform of the first sentence");
        keepScreenshot(QStringLiteral("listen-repeat"));

        SoundCapture capture;
        QVERIFY(capture.start());
        QVERIFY2(startPlaying(ui().pce.play, ui().pce.time), "it did not start playing");
        QTest::qWait(2 * firstSentenceMs() + kListenBeyondMs / 3);
        keepScreenshot(QStringLiteral("sentence-looping"));
        const Pcm heard = capture.stop();
        QVERIFY(click(ui().pce.play)); // stops

        const QVector<double> found = occurrencesOf(firstSentence(), heard);
        QVERIFY2(found.size() >= 2, qPrintable(QString::number(found.size())));
        const double period = found[1] - found[0];
        QVERIFY2(qAbs(period - (m_starts[1] - m_starts[0])) < 0.25, qPrintable(QString::number(period)));
    }

    // The list page, the two volumes and the recording level are set with
    // the pointer; the window's close button quits and the profile keeps it all.
    void quitsFromItsWindowAndKeepsTheState()
    {
        QVERIFY(clickBoth(ui().txtLrc->chromeTabs(), ui().txtLrc->chromeTabs()->dotRect(kListPage).center()));
        QVERIFY(setVolumeByPointer(ui().ori.volumeIcon, ui().ori.volume, 0.3));
        QVERIFY(setVolumeByPointer(ui().rec.volumeIcon, ui().rec.volume, 0.15));
        VolSlider* recordingLevel = ui().recCtrlVol; // always shown
        const int level = recordingLevel->value();
        QVERIFY(clickBoth(recordingLevel, QPoint(int(0.6 * recordingLevel->width()), recordingLevel->height() / 2)));
        QVERIFY(recordingLevel->value() != level);
        QVERIFY(parkPointer());
        // The sliders hide again once the pointer has left.
        m_beforeQuit = settledScreen();
        QVERIFY(!m_beforeQuit.isNull());
        keepScreenshot(QStringLiteral("before-quit"), m_beforeQuit);

        const QPoint window = m_map.rect(m_twin.get()).topLeft();
        QVERIFY(desktop::click(closeButtonOnScreen()));
        int status = -1;
        QVERIFY2(m_program->waitForExit(kQuitTimeoutMs, &status), "still running");
        QCOMPARE(status, 0);

        const QSettings profile(inData(QStringLiteral("profile.ini")), QSettings::IniFormat);
        QCOMPARE(profile.value(QStringLiteral("MaterialName")).toString(), m_material);
        QCOMPARE(profile.value(QStringLiteral("Phase")).toInt(), int(ListenRepeat));
        QCOMPARE(profile.value(QStringLiteral("Page")).toInt(), kListPage);
        QCOMPARE(profile.value(QStringLiteral("vol-ori")).toInt(), ui().ori.volume->value());
        QCOMPARE(profile.value(QStringLiteral("vol-rec")).toInt(), ui().rec.volume->value());
        QCOMPARE(profile.value(QStringLiteral("apl-rec")).toInt(), ui().recCtrlVol->value());
        QCOMPARE(profile.value(QStringLiteral("pos-x")).toInt(), window.x());
        QCOMPARE(profile.value(QStringLiteral("pos-y")).toInt(), window.y());
    }

    // The next start shows what the learner left: the same phase tabs, page
    // and volume icons as before quitting, unlike a fresh start.
    void restoresTheStateAtTheNextStart()
    {
        const QByteArray written = testenv::readFile(inData(QStringLiteral("profile.ini")));
        QVERIFY(startProgram());
        QVERIFY(parkPointer());
        // The library shows the material's row chosen, as before quitting.
        const QList<const QWidget*> restored = {ui().phaseTabs, ui().txtLrc, ui().ori.volumeIcon,
                                                ui().rec.volumeIcon, ui().recCtrlVol,
                                                ui().tabWidget->page(0)->matTree()};
        bool met = false; // whether or not it came, the checks below name what differs
        const QImage shot = desktop::waitForScreen([&](const QImage& screen) {
            return std::all_of(restored.cbegin(), restored.cend(), [&](const QWidget* twin) {
                return changedPixelsOf(twin, screen, m_beforeQuit) == 0;
            });
        }, kStartTimeoutMs, &met);
        keepScreenshot(QStringLiteral("restarted"), shot);
        for (const QWidget* twin : restored) {
            QVERIFY2(changedPixelsOf(twin, shot, m_beforeQuit) == 0, qPrintable(twin->objectName()));
            QVERIFY2(changedPixelsOf(twin, shot, m_freshScreen) > 0, qPrintable(twin->objectName()));
        }
        // The material is open in Listen & Repeat at its first sentence:
        // the passage with its sentence bands, and the sentence.
        for (PlotView* plot : {ui().ori.plot, ui().pce.plot}) {
            const QImage fresh = regionOf(m_freshScreen, plot);
            QVERIFY2(!waitForTwinWaveform(plot, fresh).isNull(), qPrintable(plot->objectName()));
        }

        m_program->terminate();
        int status = -1;
        QVERIFY2(m_program->waitForExit(kQuitTimeoutMs, &status), "still running");
        QCOMPARE(status, 0);
        // What was restored is what is written back.
        QCOMPARE(testenv::readFile(inData(QStringLiteral("profile.ini"))), written);
    }
};

REPETA_TEST_MAIN(EndToEndTest)
#include "tst_endtoend.moc"
