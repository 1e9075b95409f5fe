// Playing the original, a sentence of it and the recording; the 50 ms
// progress tick; the seek handlers and the volumes.
#include "Repeta.h"

#include "SentenceDrill.h"
#include "TimeLabel.h"

#include "media/IAudio.h"
#include "media/MediaEngine.h"
#include "waveform/Ploter.h"

#include <QTimer>

#include <algorithm>

MediaIdentifier Repeta::newMedia(const QString& path)
{
    MediaIdentifier id;
    id.path = path;
    auto* audio = new IAudio();
    audio->useDefaultOutput();
    m_audioDevices.append(audio);
    id.audio = audio;
    id.video = m_video;
    return id;
}

void Repeta::setSpeed(double speed)
{
    m_speed = speed::snapped(speed);
    applySpeed();
    m_ctrl->setSpeed(m_speed);
}

void Repeta::applySpeed()
{
    m_engine->doSetSpeed(m_oriMedia, m_drill->roundSpeed(m_speed));
    m_engine->doSetSpeed(m_recMedia, m_speed);
}

void Repeta::holdAtSentenceEnd(bool on) { m_engine->doSetLoopHold(m_oriMedia, on); }

void Repeta::doMarkOut(MediaIdentifier id)
{
    if (id.path == m_materialPath && (m_activity & PCE_PLAYING))
        m_drill->roundEnded();
}

double Repeta::sentenceSeconds(int index) const
{
    if (static_cast<unsigned int>(index) >= m_sentenceCount)
        return 0;
    // A last sentence runs to the end of the media, which may have stopped.
    float end = sentenceEnd(index);
    if (end == -1.0f)
        end = m_duration;
    return std::max(0.0, double(end) - double(m_sentenceStarts[index]));
}

void Repeta::stepSentence(int delta)
{
    if (hasCurrentSentence())
        selectSentence(std::clamp(m_currentSentence + delta, 0, int(m_sentenceCount) - 1));
}

void Repeta::replaySentence()
{
    if (!hasCurrentSentence())
        return;
    if (m_phase == ListenRepeat) {
        playSentence(true);
        m_engine->doSeekTime(m_oriMedia, m_sentenceStarts[m_currentSentence]);
        return;
    }
    playOriginal(true);
    m_engine->doSeekTime(m_oriMedia, m_sentenceStarts[m_currentSentence]);
}

bool Repeta::startDrill(const drill::Settings& settings) { return m_drill->start(settings); }

bool Repeta::compareWithTake() { return m_drill->startComparison(); }

void Repeta::stopDrill() { m_drill->stop(); }

bool Repeta::drilling() const { return m_drill->isRunning(); }

void Repeta::pauseRecordingPlayback()
{
    if (!(m_activity & REC_PLAYING))
        return;
    m_engine->doPause(m_recMedia, true);
    m_ctrl->setRecPlayChecked(false);
    m_activity &= ~REC_PLAYING;
}

void Repeta::endRecording()
{
    if (!(m_activity & RECORDING))
        return;
    startRecording(false);
    m_ctrl->setRecordChecked(false);
}

void Repeta::updateProgressTimer()
{
    if (m_activity & (ORI_PLAYING | PCE_PLAYING | REC_PLAYING))
        m_progressTimer->start();
    else
        m_progressTimer->stop();
}

void Repeta::playOriginal(bool on)
{
    if (m_activity & PCE_PLAYING) {
        m_engine->doSetInOut(m_oriMedia, -1, -1);
        m_ctrl->setPcePlayChecked(false);
        m_activity &= ~PCE_PLAYING;
    }
    pauseRecordingPlayback();
    endRecording();
    if (m_oriMedia.path != m_materialPath)
        m_engine->doStart(m_oriMedia, false);
    if (on) {
        m_engine->doSetVolume(m_oriMedia, m_oriVolume);
        m_engine->doSetLooping(m_oriMedia, false); // the passage runs on through a paused sentence's marks
    }
    if (m_engine->doPause(m_oriMedia, !on) && m_oriMedia.path == m_materialPath) {
        if (on)
            m_activity |= ORI_PLAYING;
        else
            m_activity &= ~ORI_PLAYING;
    } else if (on) {
        m_oriMedia = newMedia(m_materialPath);
        m_engine->doOpen(m_oriMedia);
        m_engine->doSetVolume(m_oriMedia, m_oriVolume);
        m_engine->doSetSpeed(m_oriMedia, m_speed);
        m_engine->doStart(m_oriMedia, true);
        m_activity |= ORI_PLAYING;
    } else {
        m_activity &= ~ORI_PLAYING;
    }
    updateProgressTimer();
    m_ctrl->setOriPlayChecked(on);
}

void Repeta::playSentence(bool on)
{
    if (!hasCurrentSentence())
        return;
    endRecording();
    const float start = m_sentenceStarts[m_currentSentence];
    const float end = sentenceEnd(m_currentSentence);
    m_engine->doSetInOut(m_oriMedia, start, end);
    if (m_activity & ORI_PLAYING) {
        m_ctrl->setOriPlayChecked(false);
        m_activity &= ~ORI_PLAYING;
    }
    pauseRecordingPlayback();
    if (m_oriMedia.path != m_materialPath)
        m_engine->doStart(m_oriMedia, false);
    if (on) {
        m_engine->doSetVolume(m_oriMedia, m_oriVolume);
        if (!m_engine->doPause(m_oriMedia, false) || m_oriMedia.path != m_materialPath) {
            m_oriMedia = newMedia(m_materialPath);
            m_engine->doOpen(m_oriMedia);
            m_engine->doSetVolume(m_oriMedia, m_oriVolume);
            m_engine->doSetSpeed(m_oriMedia, m_drill->roundSpeed(m_speed));
            m_engine->doStart(m_oriMedia, true);
        }
        loopCurrentSentence();
        const double position = m_engine->currentTime(m_oriMedia);
        if (position < start || (end != -1.0f && position >= end))
            m_engine->doSeekTime(m_oriMedia, start);
        m_activity |= PCE_PLAYING;
    } else {
        m_engine->doPause(m_oriMedia, true);
        m_activity &= ~PCE_PLAYING;
    }
    updateProgressTimer();
    m_ctrl->setPcePlayChecked(on);
}

void Repeta::loopCurrentSentence()
{
    // The engine restarts the sentence at its end to the sample; the check
    // in doUpdateProg() remains for a sentence that it cannot loop (the last).
    m_engine->doSetInOut(m_oriMedia, m_sentenceStarts[m_currentSentence], sentenceEnd(m_currentSentence));
    m_engine->doSetLooping(m_oriMedia, true);
    m_engine->doSetLoopHold(m_oriMedia, false);
}

void Repeta::playRecording(bool on)
{
    if (on && (m_activity & (ORI_PLAYING | PCE_PLAYING))) {
        m_engine->doPause(m_oriMedia, true);
        m_ctrl->setOriPlayChecked(false);
        m_ctrl->setPcePlayChecked(false);
        m_activity &= ~(ORI_PLAYING | PCE_PLAYING);
    }
    auto playing = [this] {
        m_activity |= REC_PLAYING;
        m_progressTimer->start();
        m_ctrl->setRecPlayChecked(true);
    };
    auto startNew = [this] {
        m_recMedia = newMedia(m_recordPath);
        m_engine->doOpen(m_recMedia);
        m_engine->doSetVolume(m_recMedia, m_recVolume);
        m_engine->doSetSpeed(m_recMedia, m_speed);
        m_engine->doStart(m_recMedia, true);
    };
    if (m_recMedia.path == m_recordPath) {
        if (on)
            m_engine->doSetVolume(m_recMedia, m_recVolume);
        if (m_engine->doPause(m_recMedia, !on)) {
            if (on)
                return playing();
        } else if (on) {
            if (recordingExists())
                startNew();
            return playing();
        }
    } else if (recordingExists()) {
        m_engine->doStart(m_recMedia, false);
        if (on) {
            startNew();
            return playing();
        }
    } else {
        m_engine->doPause(m_recMedia, true);
        if (on)
            return playing();
    }
    m_activity &= ~REC_PLAYING;
    updateProgressTimer();
    m_ctrl->setRecPlayChecked(false);
}

void Repeta::doUpdateProg()
{
    if (m_activity & (ORI_PLAYING | PCE_PLAYING)) {
        const float t = static_cast<float>(m_engine->currentTime(m_oriMedia));
        if (t != -1.0f) {
            if (hasCurrentSentence()) {
                float s = m_sentenceStarts[m_currentSentence];
                float e = sentenceEnd(m_currentSentence);
                if (m_activity & ORI_PLAYING) {
                    // The passage moves on at the next start, not at a cue's
                    // own end: the pause after a sentence still belongs to it.
                    const int at = sentenceAt(t);
                    if (at != m_currentSentence) {
                        makeSentenceCurrentDuringPlayback(at);
                        s = m_sentenceStarts[m_currentSentence];
                        e = sentenceEnd(m_currentSentence);
                    }
                } else if ((e != -1.0f && t > e) || s > t) {
                    m_engine->doSeekTime(m_oriMedia, s);
                }
                if (m_phase == ListenRepeat) {
                    if (e == -1.0f)
                        e = static_cast<float>(m_engine->duration(m_oriMedia));
                    const float fraction = (t - s) / (e - s);
                    m_tabs->setKaraokeProgress(fraction);
                    m_pcePlot->setPosition(fraction);
                    m_ctrl->setPceTime(timeLabel(t - s, e - s));
                }
            }
            const double d = m_engine->duration(m_oriMedia);
            m_seekTarget->setPosition(static_cast<float>(t / d));
            m_ctrl->setOriTime(timeLabel(t, d));
        }
    }
    if (m_activity & REC_PLAYING) {
        const double t = m_engine->currentTime(m_recMedia);
        if (t != -1.0) {
            const double d = m_engine->duration(m_recMedia);
            m_recPlot->setPosition(static_cast<float>(t / d));
            m_ctrl->setRecTime(timeLabel(t, d));
        }
    }
}

int Repeta::sentenceAt(float t) const
{
    // The last sentence whose start is not after t; sentence 0 before all.
    const auto after = std::upper_bound(m_sentenceStarts.cbegin(), m_sentenceStarts.cend(), t);
    return after == m_sentenceStarts.cbegin() ? 0 : int(after - m_sentenceStarts.cbegin()) - 1;
}

void Repeta::makeSentenceCurrentDuringPlayback(int index)
{
    m_currentSentence = index;
    m_seekTarget->setCurrentSentence(index);
    refreshRecordTarget();
    showSentenceText();
    m_ctrl->setRecPlayEnabled(recordingExists());
}

void Repeta::doPlayStopped(MediaIdentifier id)
{
    for (int i = 0; i < m_audioDevices.size(); ++i) {
        if (static_cast<AudioDev*>(m_audioDevices[i]) == id.audio) {
            delete m_audioDevices.takeAt(i);
            break;
        }
    }
    if (id.path == m_materialPath) {
        m_ctrl->setOriPlayChecked(false);
        m_ctrl->setPcePlayChecked(false);
        m_activity &= ~(ORI_PLAYING | PCE_PLAYING);
        m_drill->originalEnded();
    }
    const bool isRecording = id.path.contains(QLatin1String("recordpiece")) ||
                             id.path.contains(QLatin1String("the-only-one"));
    if (isRecording && id.path == m_recordPath) {
        m_ctrl->setRecPlayChecked(false);
        m_activity &= ~REC_PLAYING;
        m_drill->playbackEnded();
    }
}

void Repeta::doPlotDone(PlotIdentifier id)
{
    vPlotWidget* plot = nullptr;
    if (id.path == m_materialPath) {
        if (id.start == -1.0f && id.end == -1.0f) {
            m_seekTarget->setDuration(m_ploter->plotDuration(id));
            plot = m_seekTarget;
        } else if (id == m_pcePlotId) {
            plot = m_pcePlot;
        }
    } else if (id == m_recPlotId) {
        plot = m_recPlot;
    }
    if (plot)
        plot->setPixmap(m_ploter->plotPixmap(id));
}

void Repeta::seekOriginal(float fraction)
{
    const double d = m_engine->duration(m_oriMedia);
    if (d > 0)
        m_engine->doSeekTime(m_oriMedia, d * fraction);
}

void Repeta::seekRecording(float fraction)
{
    const double d = m_engine->duration(m_recMedia);
    if (d >= 0)
        m_engine->doSeekTime(m_recMedia, d * fraction);
}

void Repeta::seekInSentence(float fraction)
{
    if (!hasCurrentSentence())
        return;
    const float s = m_sentenceStarts[m_currentSentence];
    float e = sentenceEnd(m_currentSentence);
    if (e == -1.0f)
        e = static_cast<float>(m_engine->duration(m_oriMedia));
    m_engine->doSeekTime(m_oriMedia, s + (e - s) * fraction);
}

void Repeta::setOriVolume(float volume)
{
    m_oriVolume = volume;
    if (m_activity & (ORI_PLAYING | PCE_PLAYING))
        m_engine->doSetVolume(m_oriMedia, volume);
}

void Repeta::setRecVolume(float volume)
{
    m_recVolume = volume;
    if (m_activity & REC_PLAYING)
        m_engine->doSetVolume(m_recMedia, volume);
}
