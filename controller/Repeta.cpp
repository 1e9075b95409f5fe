// Construction, the open material, the sentence timeline, the phases and the
// current sentence.
#include "Repeta.h"

#include "RecordLayout.h"
#include "SentenceDrill.h"
#include "TakeComparison.h"
#include "TakeJudge.h"
#include "TimeLabel.h"

#include "media/IAudio.h"
#include "media/MediaEngine.h"
#include "decoder/MediaProbe.h"
#include "record/PaRecThread.h"
#include "sentences/SentenceFinding.h"
#include "waveform/Ploter.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace {
constexpr int kProgressTickMs = 50;
constexpr int kRecordTickMs = 100;
const QColor kPlotTint(27, 177, 255, 82);
const QString kHelpVideo = QStringLiteral("help.flv");
const QString kAboutVideo = QStringLiteral("about.flv");
constexpr int kKaraokePage = 0;
constexpr int kListPage = 1;
constexpr int kVideoPage = 2;
} // namespace

Repeta::Repeta(vCtrlWidget* ctrl, vTabsWidget* tabs, vPlotWidget* recPlot, vPlotWidget* pcePlot,
               vPlotWidget* oriPlot, VideoDev* video, QObject* parent)
    : QObject(parent)
    , m_ctrl(ctrl)
    , m_tabs(tabs)
    , m_recPlot(recPlot)
    , m_pcePlot(pcePlot)
    , m_oriPlot(oriPlot)
    , m_seekTarget(oriPlot ? oriPlot : &m_noSeekTarget)
    , m_video(video)
    , m_engine(new MediaEngine(this))
    , m_ploter(new Ploter(this))
    , m_recorder(new PaRecThread(this))
    , m_progressTimer(new QTimer(this))
    , m_recordTimer(new QTimer(this))
    , m_pauseScanner(new PauseScanner(this))
    , m_takeJudge(new TakeJudge(this))
    , m_takeComparison(new TakeComparison(this))
    , m_drill(new SentenceDrill(*this, ctrl))
{
    m_progressTimer->setInterval(kProgressTickMs);
    m_recordTimer->setInterval(kRecordTickMs);
    connect(m_engine, &MediaEngine::sigPlayStopped, this, &Repeta::doPlayStopped);
    connect(m_ploter, &Ploter::sigPlotDone, this, &Repeta::doPlotDone);
    connect(m_recorder, &QThread::finished, this, &Repeta::doRecDone);
    connect(m_progressTimer, &QTimer::timeout, this, &Repeta::doUpdateProg);
    connect(m_recordTimer, &QTimer::timeout, this, &Repeta::doRecProg);
    connect(m_pauseScanner, &PauseScanner::sigScanned, this, &Repeta::doPausesFound);
    connect(m_engine, &MediaEngine::sigMarkOut, this, &Repeta::doMarkOut);
    connect(m_takeComparison, &TakeComparison::sigCompared, this, &Repeta::doCompared);
    connect(m_takeJudge, &TakeJudge::sigJudged, this, [this](const QString& path, bool speech, const QString&) {
        doTakeJudged(path, speech);
    });

    for (vPlotWidget* plot : {m_oriPlot, m_pcePlot, m_recPlot}) {
        plot->setTintColor(kPlotTint);
        plot->setHandlerObject(this);
        plot->setText(tr("请选择练习材料"));
    }
    m_recPlot->setSeekHandler(&Repeta::seekRecording);
}

Repeta::~Repeta()
{
    // Stopped, the drill ignores what the media report as they stop below;
    // it goes with the other children.
    m_drill->stop();
    delete m_progressTimer;
    delete m_pauseScanner;
    m_recorder->requestFinish();
    m_recorder->wait();
    delete m_recorder;
    if (m_recordFile)
        std::fclose(m_recordFile);
    delete m_takeJudge;
    delete m_takeComparison;
    delete m_ploter;
    // Stops every open media; each one reports through doPlayStopped, which
    // deletes its audio device.
    delete m_engine;
    qDeleteAll(m_audioDevices);
}

void Repeta::openMaterial(const QString& path)
{
    if (path == m_materialPath)
        return;
    m_drill->stop();
    m_materialPath = path;
    const bool isFile = QFileInfo(path).isFile();
    const MediaFacts facts = isFile ? probeMedia(path) : MediaFacts();
    m_hasVideo = facts.hasVideo;
    float duration = float(facts.duration);
    if (isFile && path != tr("help.flv") && path != tr("about.flv")) {
        m_ctrl->setHelpMode(false);
        m_recordDir = recordDirFor(path);
        makeRecordFolders(m_recordDir);
        m_pcePlotId.path = path;
        m_seekTarget->setPixmap(nullptr);
        m_seekTarget->setPlotting(true);
        const PlotIdentifier whole{path, -1.0f, -1.0f};
        m_ploter->doPlot(whole);
        if (m_ploter->plotDuration(whole) > 0)
            duration = m_ploter->plotDuration(whole);
        if (duration > 0)
            m_ctrl->setOriTime(totalTimeLabel(duration));
    } else if (!isFile) {
        // No file, no recordings: keeping the previous material's folder
        // would let this one record over that material's files.
        m_recordDir.clear();
    }
    m_ctrl->setPracticeEnabled(isFile);
    m_ctrl->setOriPlayEnabled(isFile);
    m_ctrl->setPhaseEnabled(false, ListenRepeat);
    m_ctrl->setOriPlayChecked(false);
    m_duration = duration;
    loadSentences(duration);
    m_pauseScanner->cancel();
    if (isFile && !m_recordDir.isEmpty() && m_sentenceFile.isEmpty() && facts.hasAudio)
        m_pauseScanner->start(path);
    m_ctrl->setPcePlayChecked(false);
    if (m_sentenceCount != 0) {
        selectSentence(0);
        m_ctrl->setPhaseEnabled(true, ListenRepeat);
    }
    choosePhase(m_phase);
    if (m_activity & ORI_PLAYING)
        playOriginal(true);
    if (m_activity & PCE_PLAYING)
        playSentence(true);
    playRecording(false);
}

void Repeta::loadSentences(float mediaDuration)
{
    // The timeline keeps -1 for a last sentence that runs to the end of the
    // media, so that it plays out rather than loops against a container's
    // guess of the length; the views get that guess to draw and colour by.
    SentenceRead read = loadSentencesFor(m_materialPath, -1.0f);
    m_sentences = std::move(read.file.sentences);
    m_sentenceFile = read.ok ? read.file.path : QString();
    m_sentenceStarts.resize(m_sentences.size());
    m_sentenceEnds.resize(m_sentences.size());
    for (int i = 0; i < m_sentences.size(); ++i) {
        m_sentenceStarts[i] = m_sentences[i].start;
        m_sentenceEnds[i] = m_sentences[i].end;
    }
    if (!m_sentences.isEmpty() && m_sentences.last().end < 0 && mediaDuration > m_sentences.last().start)
        m_sentences.last().end = mediaDuration;
    m_sentenceCount = static_cast<unsigned int>(m_sentences.size());
    if (m_phase == ListenRepeat && m_sentenceCount != 0)
        m_seekTarget->setSentenceTimes(&m_sentenceStarts, &m_sentenceEnds);
    m_tabs->setSentences(m_sentences);
}

void Repeta::doPausesFound(const QString& mediaPath, const PauseSentences& result)
{
    if (mediaPath != m_materialPath || !result.ok)
        return;
    loadSentences(m_ploter->plotDuration(PlotIdentifier{m_materialPath, -1.0f, -1.0f}));
    if (m_sentenceCount == 0)
        return;
    selectSentence(0);
    m_ctrl->setPhaseEnabled(true, ListenRepeat);
}

void Repeta::openVideo(const QString& name)
{
    openMaterial(name);
    playOriginal(true);
    m_tabs->setCurrentIndex(kVideoPage);
    m_tabs->setTabEnabled(kVideoPage, true);
    m_ctrl->setPracticeEnabled(false);
    for (vPlotWidget* plot : {m_pcePlot, m_recPlot}) {
        plot->setPixmap(nullptr);
        plot->setText(tr("请从右边列表选择练习材料"));
    }
    m_ctrl->setRecPlayChecked(false);
    m_ctrl->setRecPlayEnabled(false);
    m_ctrl->setHelpMode(true);
}

void Repeta::choosePhase(int phase)
{
    if (static_cast<unsigned int>(phase) <= Retelling) {
        m_drill->stop();
        m_phase = phase;
        playOriginal(false);
        playRecording(false);
        // A recording that playOriginal just asked to finish stays marked
        // until doRecDone: clearing it here would let a new recording reuse
        // the file handle while the old one is still being written.
        m_activity &= RECORDING;
        applyPhaseViews(phase);
    }
    refreshRecordTarget();
    m_ctrl->setRecPlayEnabled(recordingExists());
    for (vPlotWidget* plot : {m_seekTarget, m_pcePlot, m_recPlot})
        plot->setPosition(0);
}

void Repeta::applyPhaseViews(int phase)
{
    // A material with a picture shows it in every phase.
    m_tabs->setTabEnabled(kVideoPage, m_hasVideo);
    if (phase == ListenRepeat) {
        m_seekTarget->setSentenceTimes(&m_sentenceStarts, &m_sentenceEnds);
        m_seekTarget->setSentenceHandler(&Repeta::selectSentence);
        m_pcePlot->setSeekHandler(&Repeta::seekInSentence);
        m_ctrl->setPcePlayEnabled(m_sentenceCount != 0);
        m_ctrl->setTextTabOffset(QPoint(0, 0));
        m_tabs->setCurrentIndex(kKaraokePage);
        m_tabs->setTabEnabled(kKaraokePage, true);
        selectSentence(m_currentSentence);
        return;
    }
    m_seekTarget->setSentenceTimes(nullptr, nullptr);
    m_pcePlot->setPixmap(nullptr);
    if (QFileInfo(m_materialPath).isFile())
        m_pcePlot->setText(phase == PassageImitation ? tr("全文模仿时，不显示单句波形")
                                                     : tr("复述练习时，不显示单句波形"));
    m_seekTarget->setSentenceHandler(nullptr);
    m_pcePlot->setSeekHandler(nullptr);
    m_ctrl->setPcePlayEnabled(false);
    m_ctrl->setPceTime(kEmptyTimeLabel);
    m_ctrl->setTextTabOffset(QPoint(-17, 0));
    m_tabs->setCurrentIndex(m_hasVideo ? kVideoPage : kListPage);
    m_tabs->setTabEnabled(kKaraokePage, false);
}

void Repeta::selectSentence(int index)
{
    if (static_cast<unsigned int>(index) >= m_sentenceCount)
        return;
    m_currentSentence = index;
    m_seekTarget->setCurrentSentence(index);
    m_engine->doSeekTime(m_oriMedia, m_sentenceStarts[index]);
    if (m_activity & PCE_PLAYING)
        loopCurrentSentence();
    refreshRecordTarget();
    showSentenceText();
    const bool exists = recordingExists();
    m_ctrl->setRecPlayEnabled(exists);
    if (!exists)
        m_ctrl->setRecTime(kEmptyTimeLabel);
    pauseRecordingPlayback();
    endRecording();
}

void Repeta::showSentenceText()
{
    if (hasCurrentSentence())
        m_tabs->showSentence(m_currentSentence, -1, -1);
}

void Repeta::setSeekTarget(vPlotWidget* target)
{
    m_seekTarget->setSeekHandler(nullptr);
    m_seekTarget = target ? target : &m_noSeekTarget;
    m_seekTarget->setSeekHandler(&Repeta::seekOriginal);
}

bool Repeta::hasCurrentSentence() const
{
    return static_cast<unsigned int>(m_currentSentence) < m_sentenceCount;
}

float Repeta::sentenceEnd(int index) const
{
    return static_cast<unsigned int>(index) < m_sentenceCount ? m_sentenceEnds[index] : -1.0f;
}

bool Repeta::recordingExists() const
{
    return !m_recordPath.isEmpty() && QFileInfo(m_recordPath).isFile();
}
