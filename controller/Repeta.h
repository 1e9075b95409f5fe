// The practice controller: the open material, its sentence timeline, the
// phases, playback, recording and export. Lives in the GUI thread and reaches
// the widgets only through the interfaces of Contracts.h.
#pragma once

#include "Contracts.h"
#include "DrillSettings.h"
#include "NullPlotWidget.h"
#include "PracticeSpeed.h"
#include "sentences/PauseSentences.h"

#include <QObject>
#include <QString>
#include <QVector>

#include <cstdint>
#include <cstdio>

class IAudio;
class MediaEngine;
class Ploter;
class PaRecThread;
class QTimer;
class SentenceDrill;
class TakeComparison;
class TakeJudge;

enum PracticePhase { PassageImitation = 0, ListenRepeat = 1, Retelling = 2 };

class Repeta : public QObject {
    Q_OBJECT
public:
    enum Activity : std::uint8_t {
        ORI_PLAYING = 1 << 0,
        PCE_PLAYING = 1 << 1,
        REC_PLAYING = 1 << 2,
        RECORDING = 1 << 3,
    };

    Repeta(vCtrlWidget* ctrl, vTabsWidget* tabs, vPlotWidget* recPlot, vPlotWidget* pcePlot,
           vPlotWidget* oriPlot, VideoDev* video, QObject* parent = nullptr);
    ~Repeta() override;

    // Material and timeline.
    void openMaterial(const QString& path);
    void openVideo(const QString& name);
    void choosePhase(int phase);
    void selectSentence(int index);
    void showSentenceText();
    void setSeekTarget(vPlotWidget* target);
    QString materialPath() const { return m_materialPath; }
    unsigned int sentenceCount() const { return m_sentenceCount; }

    // Playback.
    void playOriginal(bool on);
    void playSentence(bool on);
    void playRecording(bool on);
    void setOriVolume(float volume);
    void setRecVolume(float volume);
    void seekOriginal(float fraction);
    void seekInSentence(float fraction);
    void seekRecording(float fraction);
    // The learner's speed, for the original and the recording alike; snapped
    // onto the speed grid.
    void setSpeed(double speed);
    double speed() const { return m_speed; }
    // The sentence `delta` away from the current one; playing goes on there.
    void stepSentence(int delta);
    // The current sentence again from its start: the sentence in Listen &
    // Repeat, the passage from there otherwise.
    void replaySentence();

    // The hands-free drill; false when it cannot start.
    bool startDrill(const drill::Settings& settings);
    // The current sentence at the learner's speed, then its take, then stop;
    // false without a take. It ends as the drill does.
    bool compareWithTake();
    void stopDrill();
    bool drilling() const;

    // Recording.
    void refreshRecordTarget();
    void startRecording(bool on);
    void setRecGain(float fraction);
    // Runs the export dialog and writes the chosen files. False, with the
    // target that could not be written, when writing failed.
    bool exportRecordings(vExporter* dialog, QString* failedTarget = nullptr);

    // LRC editing.
    void setLrcEditing(bool on);
    void splitSentence();

    // Read-only views of the state, for the main window and for tests.
    QString recordPath() const { return m_recordPath; }
    QString recordDir() const { return m_recordDir; }
    int currentSentence() const { return m_currentSentence; }
    int phase() const { return m_phase; }
    std::uint8_t activity() const { return m_activity; }
    const QVector<Sentence>& sentences() const { return m_sentences; }
    const QVector<float>& sentenceStarts() const { return m_sentenceStarts; }
    const QVector<float>& sentenceEnds() const { return m_sentenceEnds; }
    // The sentence file the timeline was read from; empty when none.
    QString sentenceFile() const { return m_sentenceFile; }
    bool materialHasVideo() const { return m_hasVideo; }
    const MediaIdentifier& originalMedia() const { return m_oriMedia; }
    MediaEngine* engine() const { return m_engine; }
    Ploter* ploter() const { return m_ploter; }
    const PaRecThread* recorder() const { return m_recorder; }

public slots:
    void doUpdateProg();
    void doPlayStopped(MediaIdentifier id);
    void doPlotDone(PlotIdentifier id);
    void doRecProg();
    void doRecDone();
    // Sentences found by pauses for a material that had no sentence file.
    void doPausesFound(const QString& mediaPath, const PauseSentences& result);

private:
    friend class SentenceDrill;
    void doMarkOut(MediaIdentifier id);
    void doTakeJudged(const QString& takePath, bool holdsSpeech);
    // In Listen & Repeat, the current sentence's take against the model, or
    // that there is none; the result arrives in doCompared.
    void compareCurrentTake();
    void doCompared(int sentence, const QString& take, const Comparison& result);
    // Puts a finished take in place of the sentence's recording (keep) or
    // drops it; failure: why the recorder failed, for the learner.
    void finishTake(bool keep, const QString& failure);
    // The engine's speed for the original (the drill's round speed) and the recording.
    void applySpeed();
    // The sentence loop stops at the sentence's end instead of starting again.
    void holdAtSentenceEnd(bool on);
    // A recording whose take replaces the sentence's only when it holds speech.
    bool startTake();
    // Sentence `index`'s length in the original, in seconds.
    double sentenceSeconds(int index) const;
    // Reads the material's sentence file into the timeline and hands it to
    // the views; mediaDuration ends a last sentence the file leaves open.
    void loadSentences(float mediaDuration);
    void applyPhaseViews(int phase);
    void makeSentenceCurrentDuringPlayback(int index);
    // Marks the current sentence as the loop of the original media.
    void loopCurrentSentence();
    void updateProgressTimer();
    void pauseRecordingPlayback();
    void endRecording();
    MediaIdentifier newMedia(const QString& path);
    bool hasCurrentSentence() const;
    // Where sentence `index` ends: its file's own end, else the next start;
    // -1 for a last sentence that runs to the end of the media.
    float sentenceEnd(int index) const;
    // The sentence that the passage is in at t seconds.
    int sentenceAt(float t) const;
    bool recordingExists() const;
    QString recordTarget(int sentence) const;
    bool markTimes(float* in, float* out);
    void reloadAfterRewrite();

    vCtrlWidget* m_ctrl;
    vTabsWidget* m_tabs;
    vPlotWidget* m_recPlot;
    vPlotWidget* m_pcePlot;
    vPlotWidget* m_oriPlot;
    vPlotWidget* m_seekTarget; // never null: m_noSeekTarget stands in
    NullPlotWidget m_noSeekTarget;
    VideoDev* m_video;

    MediaEngine* m_engine;
    Ploter* m_ploter;
    PaRecThread* m_recorder;
    QTimer* m_progressTimer;
    QTimer* m_recordTimer;
    PauseScanner* m_pauseScanner;
    TakeJudge* m_takeJudge;
    TakeComparison* m_takeComparison;
    SentenceDrill* m_drill;

    QString m_recordPath;
    QString m_recordingTarget; // where the running recording goes when it is done
    QString m_materialPath;
    QString m_recordDir;
    unsigned int m_sentenceCount = 0;
    QVector<Sentence> m_sentences;
    QVector<float> m_sentenceStarts; // the sentences' starts and ends, for the waveform views
    QVector<float> m_sentenceEnds;
    QString m_sentenceFile;
    bool m_hasVideo = false;
    std::uint8_t m_activity = 0;
    MediaIdentifier m_recMedia;
    MediaIdentifier m_oriMedia;
    PlotIdentifier m_recPlotId;
    PlotIdentifier m_pcePlotId;
    int m_currentSentence = -1;
    int m_phase = -1;
    float m_recVolume = 0.75f;
    float m_oriVolume = 0.75f;
    bool m_editing = true;
    double m_speed = speed::kNormal;
    float m_duration = -1.0f; // the material's, as opening found it; -1 when unknown
    bool m_takeNeedsSpeech = false; // the running recording is a drill's take
    bool m_showComparisonPage = false; // a take just made: its comparison comes forward
    bool m_textHidden = false; // a retelling's recording hides the sentences until it is done
    std::FILE* m_recordFile = nullptr;
    int m_recTicks = 0;
    QVector<IAudio*> m_audioDevices; // created by newMedia, deleted when their media stops
};
