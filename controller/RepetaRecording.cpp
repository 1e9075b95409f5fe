// The recording target of each phase and sentence, starting and ending a
// recording, the recording time, and the export of the recordings.
#include "Repeta.h"

#include "ComparisonExport.h"
#include "FileJoin.h"
#include "RecordLayout.h"
#include "SentenceDrill.h"
#include "TakeComparison.h"
#include "TakeJudge.h"
#include "TimeLabel.h"

#include "media/MediaEngine.h"
#include "record/PaRecThread.h"
#include "waveform/Ploter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>

#include <cstdio>

namespace {
// A recording amplification fraction of 0.1 maps PortAudio's -1..1 floats
// onto LAME's 16-bit float range.
constexpr float kGainScale = 327670.0f;
const QString kPartialSuffix = QStringLiteral(".part");
} // namespace

QString Repeta::recordTarget(int sentence) const
{
    if (m_recordDir.isEmpty())
        return QString();
    return recordFileFor(m_recordDir, m_phase, sentence);
}

void Repeta::refreshRecordTarget()
{
    if (hasCurrentSentence() && m_phase == ListenRepeat) {
        const float s = m_sentenceStarts[m_currentSentence];
        const float e = sentenceEnd(m_currentSentence);
        m_pcePlotId.start = s;
        m_pcePlotId.end = e;
        m_pcePlot->setPixmap(nullptr);
        m_pcePlot->setPlotting(true);
        m_ploter->doPlot(m_pcePlotId);
        if (e - s > 0)
            m_ctrl->setPceTime(totalTimeLabel(e - s));
        m_recordPath = recordTarget(m_currentSentence);
    } else if (m_phase == PassageImitation || m_phase == Retelling) {
        // Needs no sentence, so a material without any still records into
        // its own folder, never into the previous material's.
        m_recordPath = recordTarget(-1);
    } else if (m_phase == ListenRepeat) {
        m_recordPath.clear(); // no sentence, nothing to record against
    } else {
        return;
    }
    m_recPlotId = PlotIdentifier{m_recordPath, -1.0f, -1.0f};
    m_recPlot->setPixmap(nullptr);
    if (recordingExists()) {
        m_recPlot->setRecording(false);
        m_recPlot->setPlotting(true);
        m_ploter->doPlot(m_recPlotId);
        const float duration = m_ploter->plotDuration(m_recPlotId);
        if (duration > 0)
            m_ctrl->setRecTime(totalTimeLabel(duration));
    } else {
        m_recPlot->setPlotting(false);
        m_recPlot->setText(tr("你还没有录音"));
    }
    compareCurrentTake();
}

void Repeta::compareCurrentTake()
{
    if (m_phase != ListenRepeat || !hasCurrentSentence()) {
        m_takeComparison->cancel();
        return;
    }
    const Sentence& sentence = m_sentences[m_currentSentence];
    if (!recordingExists()) {
        m_takeComparison->cancel();
        m_tabs->showComparison(Comparison(), sentence);
        return;
    }
    m_takeComparison->compare(m_materialPath, m_sentenceStarts[m_currentSentence], sentenceEnd(m_currentSentence),
                              m_recordPath, m_currentSentence);
}

void Repeta::doCompared(int sentence, const QString& take, const Comparison& result)
{
    if (sentence != m_currentSentence || take != m_recordPath || !hasCurrentSentence())
        return;
    m_tabs->showComparison(result, m_sentences[sentence]);
    if (m_showComparisonPage && !m_drill->isRunning())
        m_tabs->showComparisonPage();
    m_showComparisonPage = false;
}

void Repeta::startRecording(bool on)
{
    if (!on) {
        m_recPlot->setRecording(false);
        m_recorder->requestFinish();
        m_recordTimer->stop();
        return;
    }
    if (m_recorder->isRunning() || (m_takeNeedsSpeech && !m_recordFile)) {
        // The previous recording is still being flushed or judged; its file is in use.
        m_ctrl->setRecordChecked(false);
        return;
    }
    if (m_phase == Retelling) {
        m_tabs->setSentences(QVector<Sentence>());
        m_textHidden = true;
    }
    if (m_activity & REC_PLAYING) {
        playRecording(false);
        m_activity &= ~REC_PLAYING;
    }
    m_engine->doStart(m_recMedia, false);
    if (m_activity & (ORI_PLAYING | PCE_PLAYING)) {
        playOriginal(false);
        m_activity &= ~(ORI_PLAYING | PCE_PLAYING);
    }
    m_activity |= RECORDING;
    m_ctrl->setRecPlayChecked(false);
    m_ctrl->setPcePlayChecked(false);
    m_ctrl->setOriPlayChecked(false);
    m_ctrl->setRecPlayEnabled(false);
    if (m_recordFile) {
        std::fclose(m_recordFile);
        m_recordFile = nullptr;
    }
    // The learner's previous recording stays untouched until the new one has
    // sound: the recorder writes beside it and doRecDone puts it in place.
    m_recordingTarget = m_recordPath;
    const QByteArray partial = QFile::encodeName(m_recordingTarget + kPartialSuffix);
    m_recordFile = m_recordPath.isEmpty() ? nullptr : std::fopen(partial.constData(), "w+b");
    if (!m_recordFile) {
        // Nothing will record, so no doRecDone follows: undo what was set.
        m_activity &= ~RECORDING;
        m_ctrl->setRecordChecked(false);
        m_ctrl->setRecPlayEnabled(recordingExists());
        return;
    }
    m_ploter->removePlot(m_recPlotId);
    m_recPlot->setPosition(0);
    m_recPlot->setPixmap(nullptr);
    m_recPlot->setRecording(true);
    m_recorder->setOutputFile(m_recordFile);
    m_recTicks = 0;
    m_recordTimer->start();
    m_recorder->start(QThread::InheritPriority);
}

void Repeta::doRecProg()
{
    ++m_recTicks;
    const int seconds = m_recTicks * m_recordTimer->interval() / 1000;
    m_ctrl->setRecTime(elapsedTimeLabel(seconds));
}

void Repeta::doRecDone()
{
    if (!m_recordFile) {
        finishTake(false, QString());
        return;
    }
    const bool captured = m_recorder->succeeded();
    const bool written = captured && std::fflush(m_recordFile) == 0 && std::ftell(m_recordFile) > 0;
    const bool closed = std::fclose(m_recordFile) == 0;
    m_recordFile = nullptr;
    QString failure;
    if (!captured)
        failure = m_recorder->errorText().startsWith(QLatin1String("portaudio")) ? tr("找不到麦克风")
                                                                                 : tr("录音无法写入磁盘");
    else if (!(written && closed))
        failure = tr("录音无法写入磁盘");
    // A drill's take stays aside (and the recording flag up) until it is
    // known to hold speech.
    if (failure.isEmpty() && m_takeNeedsSpeech) {
        m_takeJudge->judge(m_recordingTarget + kPartialSuffix);
        return;
    }
    finishTake(failure.isEmpty(), failure);
}

void Repeta::doTakeJudged(const QString& takePath, bool holdsSpeech)
{
    if ((m_activity & RECORDING) && takePath == m_recordingTarget + kPartialSuffix)
        finishTake(holdsSpeech, QString());
}

void Repeta::finishTake(bool keep, const QString& failure)
{
    bool kept = false;
    if (!m_recordingTarget.isEmpty()) {
        const QString partial = m_recordingTarget + kPartialSuffix;
        // rename() replaces the old recording in one step; a failed, empty
        // or silent take is dropped and the old one stays.
        kept = keep && std::rename(QFile::encodeName(partial).constData(),
                                   QFile::encodeName(m_recordingTarget).constData()) == 0;
        if (!kept)
            QFile::remove(partial);
    }
    // A take of the learner's own, not the drill's, brings its comparison forward.
    m_showComparisonPage = kept && m_phase == ListenRepeat && !m_drill->isRunning();
    m_takeNeedsSpeech = false;
    refreshRecordTarget();
    m_ctrl->setRecPlayEnabled(true);
    m_activity &= ~RECORDING;
    // Only a retelling hid the text; the views stay on the current sentence.
    if (m_textHidden) {
        m_tabs->setSentences(m_sentences);
        m_textHidden = false;
    }
    showSentenceText();
    m_drill->takeDone(kept, failure);
}

bool Repeta::startTake()
{
    startRecording(true);
    m_takeNeedsSpeech = (m_activity & RECORDING) != 0;
    if (m_takeNeedsSpeech)
        m_ctrl->setRecordChecked(true);
    return m_takeNeedsSpeech;
}

void Repeta::setRecGain(float fraction)
{
    m_recorder->setGain(fraction * kGainScale);
}

bool Repeta::exportRecordings(vExporter* dialog, QString* failedTarget)
{
    dialog->setSentenceCount(static_cast<int>(m_sentenceCount));
    dialog->setMaterialDir(m_recordDir);
    dialog->refresh();
    if (dialog->exec() == 0)
        return true;
    QString imitation;
    QString repeat;
    QString retelling;
    QString comparison;
    dialog->targetPaths(imitation, repeat, retelling, comparison);

    QStringList pieces;
    const QDir shadow(m_recordDir + QStringLiteral("/shadowpieces/"));
    static const QRegularExpression pieceName(QStringLiteral("recordpiece[\\d]{3}\\.mp3"));
    for (const QString& name : shadow.entryList(QDir::Files, QDir::Name)) {
        if (!name.endsWith(kPartialSuffix) && pieceName.match(name, 0, QRegularExpression::NormalMatch,
                            QRegularExpression::AnchorAtOffsetMatchOption)
                .hasMatch())
            pieces.append(shadow.filePath(name));
    }
    const struct {
        const QString& target;
        QStringList sources;
    } exports[] = {
        {imitation, {m_recordDir + QStringLiteral("/imitatepieces/the-only-one.mp3")}},
        {repeat, pieces},
        {retelling, {m_recordDir + QStringLiteral("/retellpieces/the-only-one.mp3")}},
    };
    for (const auto& item : exports) {
        if (item.target.isEmpty())
            continue;
        if (!concatenateFiles(item.target, item.sources)) {
            if (failedTarget)
                *failedTarget = item.target;
            return false;
        }
    }
    if (comparison.isEmpty())
        return true;
    QVector<ComparisonPiece> takes;
    for (int i = 0; i < static_cast<int>(m_sentenceCount); ++i) {
        const QString take = recordFileFor(m_recordDir, ListenRepeat, i);
        if (QFileInfo(take).isFile())
            takes.append({m_sentenceStarts[i], sentenceEnd(i), take});
    }
    if (exportComparison(comparison, m_materialPath, takes))
        return true;
    if (failedTarget)
        *failedTarget = comparison;
    return false;
}
